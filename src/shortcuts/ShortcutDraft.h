#pragma once

#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutImageStore.h"

#include <QString>
#include <QUrl>
#include <map>
#include <optional>
#include <vector>

/// The editor's working copy of a shortcut list, with the files and pictures
/// chosen for it and the shortcuts deleted from it, none of it saved until the
/// store saves the draft. A plain value: it touches no store, file or window.
struct ShortcutDraft {
  /// A deleted shortcut, kept so it can be put back.
  struct Removal {
    Shortcut item;
    /// Where it stood in `items` when it was deleted.
    int index = 0;
    /// The file that was chosen for it, if any.
    std::optional<QUrl> file;

    bool operator==(const Removal&) const = default;
  };

  /// The list the draft started from; never changed.
  std::vector<Shortcut> original;
  /// The edited list in catalog order, active and not active interleaved.
  std::vector<Shortcut> items;
  /// Folders and applications chosen for shortcuts, by shortcut id.
  std::map<QString, QUrl> selectedFiles;
  /// Pictures chosen as custom buttons, by image reference.
  PendingImages selectedImages;
  /// Deleted shortcuts, most recent last.
  std::vector<Removal> removed;

  /// A draft of `items` with nothing chosen or deleted yet.
  explicit ShortcutDraft(std::vector<Shortcut> items = {});

  /// True when the list differs from `original` or a file or picture is chosen.
  bool hasChanges() const;
  /// True when a deleted shortcut is waiting and the list has room for it.
  bool canUndoRemoval() const;

  /// Appends a new, unconfigured, active shortcut of `kind`; gives its index,
  /// or none when the list is full.
  std::optional<int> add(ShortcutKind kind);
  /// Moves the shortcut at `index` to Not Active, in place.
  void remove(int index);
  /// Makes the shortcut at `index` active, in place.
  void activate(int index);
  /// Deletes the shortcut at `index` so that it can be put back; stock shortcuts stay.
  void deleteAt(int index);
  /// Puts back the most recently deleted shortcut; gives where, or none.
  std::optional<int> undoRemoval();
  /// Moves the shortcut at `index` by `offset` places within its own list
  /// (active or not active); gives its new index, or none when it cannot move.
  std::optional<int> move(int index, int offset);
  /// Exchanges the active shortcut `id` with the active shortcut at `position`
  /// among the active ones; false when either is not there.
  bool swapActive(const QString& id, int position);
};

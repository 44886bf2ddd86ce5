#pragma once

#include "clipboard/ClipboardFavoritesFile.h"
#include "platform/core/FileIdentity.h"
#include "shortcuts/ShortcutCatalogRepository.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

/// One companion's clipboard favorites in "clipboard-favorites.json". Keeps
/// the last good contents in memory and makes every change as one locked
/// read, check and write of the whole file, so a change made by another
/// running copy is never silently overwritten. A file that cannot be read is
/// never written over. Failures throw `QuibError`, `pf::JsonError` or
/// `pf::FileError`, whose sentences are shown unchanged.
class ClipboardFavoritesStore final {
 public:
  using Writer = std::function<void(const QByteArray& bytes, const QString& path)>;

  /// Reads the file in `directory`; a failed read leaves the empty file and sets `failure()`.
  explicit ClipboardFavoritesStore(QString directory = ShortcutCatalogRepository::applicationDirectory());

  const QString& directory() const { return m_directory; }
  /// The favorites file's path.
  QString primary() const;
  /// The favorites in stored order.
  const std::vector<ClipboardFavorite>& items() const { return m_current.file.items; }
  /// The lists in the order the user sees them.
  const std::vector<ClipboardFavoriteList>& lists() const { return m_current.file.lists; }
  /// "Favorites are unavailable: " and the reason, after a failed reload.
  const std::optional<QString>& failure() const { return m_failure; }

  /// Reads the file again; on failure keeps the last good contents, sets `failure()` and rethrows.
  void reload();

  /// Adds `favorite` (no `expected`) or replaces the stored favorite with its
  /// id, which must still equal `expected`, the favorite as the caller saw it.
  void save(const ClipboardFavorite& favorite, const std::optional<ClipboardFavorite>& expected);
  /// Removes the favorite, which must still be as the caller saw it.
  void deleteFavorite(const ClipboardFavorite& favorite);
  /// Appends a list with the trimmed name and a new id, and returns it.
  ClipboardFavoriteList addList(const QString& name);
  /// Renames `list`, which must still be as the caller saw it, to the trimmed name.
  void renameList(const ClipboardFavoriteList& list, const QString& name);
  /// Deletes `list`, which must still be as the caller saw it; its favorites move to "Others".
  void deleteList(const ClipboardFavoriteList& list);

  /// Writes every file the store writes; atomic by default. Replaceable, e.g. to inject failures.
  Writer write;

 private:
  /// A checked file and where it came from.
  struct Snapshot {
    ClipboardFavoritesFile file = ClipboardFavoritesFile::empty();
    /// The version on disk it was read from or written as; none when there
    /// was no file. Its bytes are not kept: they would double what the
    /// favorites take in memory.
    std::optional<pf::FileIdentity> identity;
    /// The version those bytes declare.
    qint64 storedVersion = ClipboardFavoritesFile::currentVersion;
  };

  Snapshot read() const;
  void adopt(Snapshot snapshot);
  void change(const std::function<void(ClipboardFavoritesFile&)>& step);
  void keepOlderVersion(const Snapshot& snapshot);
  void writePrivately(const QByteArray& bytes, const QString& path);
  QString path(const QString& name) const;

  QString m_directory;
  /// The last good contents.
  Snapshot m_current;
  std::optional<QString> m_failure;
};

#pragma once

#include "launcher/LauncherGrid.h"
#include "launcher/LauncherSlot.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutCatalog.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace pf {
class JsonObjectReader;
}

/// Which shortcut sits on which launcher button, as saved in the positions
/// file. Small buttons are refilled on every reconciliation; wide buttons and
/// any order the user makes are kept.
struct LauncherAssignments {
  /// The only format version.
  static constexpr qint64 currentVersion = 1;
  /// The most entries "slots" and "waiting" may each hold: each names a shortcut of the catalog.
  static constexpr qsizetype maximumEntries = ShortcutCatalog::maximumShortcuts;

  qint64 version = currentVersion;
  /// The grid's columns at the last reconciliation.
  qint64 columns = 2;
  /// The grid's rows at the last reconciliation.
  qint64 rows = 2;
  /// Slot key to shortcut id: the button of each placed shortcut. Stored in
  /// the file as "slots" (a name Qt reserves in code).
  std::map<QString, QString> slotIDs;
  /// Active shortcuts that hold no button; empty after every reconciliation
  /// unless the grid has no small buttons.
  QStringList waiting;

  LauncherAssignments() = default;
  /// A fresh model for the grid, reconciled with `items`.
  LauncherAssignments(const std::vector<Shortcut>& items, const LauncherGrid& grid);

  bool operator==(const LauncherAssignments&) const = default;

  /// Brings the model in line with the catalog (`items`, in catalog order) and
  /// the grid: wide buttons keep their shortcuts where they are, small buttons
  /// are refilled from the first small slot of page 0 in their saved reading
  /// order, then the waiting ids, then the remaining active shortcuts.
  void reconcile(const std::vector<Shortcut>& items, const LauncherGrid& grid);

  /// Throws `CatalogError::invalid` when the model breaks a rule of the file.
  void validate() const;

  /// The id stored for `slot` when it names an active shortcut of `items`.
  std::optional<QString> id(const LauncherSlot& slot, const std::vector<Shortcut>& items) const;

  /// The slot that holds `id`, if any.
  std::optional<LauncherSlot> slot(const QString& id) const;

  /// Puts the shortcut `id` on `target`, swapping with the slot's occupant;
  /// without an id, clears the slot and sends its shortcut to the waiting
  /// list. Throws `CatalogError::invalid` when `id` is not an active shortcut.
  void assign(const std::optional<QString>& id, const LauncherSlot& target, const std::vector<Shortcut>& items);

  /// The launcher's page count: 1 + the highest page holding an active
  /// shortcut of `items`, at least 1.
  qint64 pageCount(const std::vector<Shortcut>& items) const;

  /// Reads the file's object: every member required and typed; others ignored.
  /// Throws `pf::JsonError`. Not validated.
  static LauncherAssignments fromJson(const pf::JsonObjectReader& object);
  /// Parses and reads the file's bytes. Throws `pf::JsonError`. Not validated.
  static LauncherAssignments decode(const QByteArray& bytes);

  QJsonObject json() const;
  /// Pretty-printed with sorted keys: equal models give equal bytes.
  QByteArray encoded() const;
};

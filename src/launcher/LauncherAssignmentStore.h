#pragma once

#include "launcher/LauncherAssignments.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

/// The positions file "launcher-positions.json" of a running copy, shared by
/// the launchers of every companion. There is no lock file: the store keeps
/// the exact bytes it last read or wrote and refuses to write when the file no
/// longer holds them, comparing and replacing under a lock on the folder
/// itself, so another running copy's write is never overwritten. A
/// file it cannot read is preserved, and the store then refuses every change
/// until the process ends. Main thread only.
class LauncherAssignmentStore final {
 public:
  /// The notification posted, with the store as object, after an `assign`.
  static inline const QString changed = QStringLiteral("LauncherAssignmentsChanged");

  /// The process's store, created on the first call over the application-data
  /// folder with these items and grid; later calls ignore their arguments.
  static LauncherAssignmentStore& shared(const std::vector<Shortcut>& items,
                                         const LauncherGrid& grid);
  /// Forgets the process's store, so the next `shared` opens the file afresh.
  /// For tests, which give each case its own home; references taken before
  /// are dangling afterwards.
  static void resetShared();

  /// Opens "launcher-positions.json" in `directory`: reads and validates it,
  /// or writes a first file for `items` and `grid` when there is none. Any
  /// failure is kept in `error` and the file is left untouched.
  LauncherAssignmentStore(const QString& directory, const std::vector<Shortcut>& items,
                          const LauncherGrid& grid);
  LauncherAssignmentStore(const LauncherAssignmentStore&) = delete;
  LauncherAssignmentStore& operator=(const LauncherAssignmentStore&) = delete;

  /// The positions file.
  const QString& url() const { return m_url; }
  /// Its copy from before the last write that replaced it.
  QString previousURL() const;
  /// The exact bytes last read from or written to the file.
  const std::optional<QByteArray>& expected() const { return m_expected; }
  /// The current model.
  const LauncherAssignments& value() const { return m_value; }
  /// Why the store refuses changes; set by a failed load or update.
  const std::optional<QString>& error() const { return m_error; }

  /// Reconciles the model with the catalog and grid and saves it; an unchanged
  /// result writes nothing. False on failure, which leaves the store refusing
  /// every change (the reason in `error`); the model in memory is reconciled
  /// all the same, so every active shortcut keeps a button. Posts nothing.
  bool update(const std::vector<Shortcut>& items, const LauncherGrid& grid);

  /// Puts `id` on `target` (or clears it without an id), reconciles, saves and
  /// posts `changed`. Throws `CatalogError` or `pf::FileError`; a failure
  /// leaves the store as it was.
  void assign(const std::optional<QString>& id, const LauncherSlot& target,
              const std::vector<Shortcut>& items, const LauncherGrid& grid);

 private:
  void load();
  void save(const LauncherAssignments& model);

  QString m_url;
  std::optional<QByteArray> m_expected;
  LauncherAssignments m_value;
  std::optional<QString> m_error;
};

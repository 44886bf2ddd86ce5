#pragma once

#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutCatalog.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

/// The files of one shortcut catalog in one folder: the catalog, its copy
/// before the last save, a one-time migration record, a lock file and copies
/// of damaged catalogs. Every read and write of them runs under
/// "shortcuts.lock", so a second running copy is refused at once instead of
/// waited for; a save is refused when the file no longer holds the bytes this
/// repository last read or wrote. Every file is written atomically and
/// privately; none is ever deleted.
class ShortcutCatalogRepository final {
 public:
  /// The result of a load: the catalog and, when it was restored from a copy,
  /// a sentence to report.
  struct Loaded {
    ShortcutCatalog catalog;
    std::optional<QString> notice;
  };

  /// The record of the catalog's creation from the seed.
  struct Migration {
    int schemaVersion = 1;
    std::optional<QByteArray> originalLegacyData;
    ShortcutCatalog catalog;
  };

  using Seed = std::function<ShortcutCatalog()>;
  using Writer = std::function<void(const QByteArray& bytes, const QString& path)>;

  /// The program's application-data folder, computed from the home folder on every call; creates nothing.
  static QString applicationDirectory();

  /// The error of a load or save that found the lock held by another copy.
  static CatalogError busy();
  /// The error of a load or save that could not open the lock file.
  static CatalogError lockUnavailable();

  /// A repository over `directory`; nothing is touched on disk.
  explicit ShortcutCatalogRepository(QString directory);

  /// The catalog folder.
  const QString& directory() const { return m_directory; }

  /// The exact bytes of "shortcuts.json" as last read or written; none until a load succeeds.
  const std::optional<QByteArray>& expectedData() const { return m_expectedData; }

  /// Reads the catalog: the primary file, else the previous copy, else the
  /// migration record, else `seed` (called only when none of them exists).
  /// A damaged or newer file is never overwritten.
  Loaded load(const Seed& seed, const std::optional<QByteArray>& legacyData);

  /// The primary catalog read without the lock, for a folder where the lock
  /// file cannot be opened: nothing is written, and the repository stays
  /// unable to save. None when the file is missing, unreadable or damaged.
  std::optional<ShortcutCatalog> readWithoutLock() const;

  /// Validates and stores `catalog`. `prepare` runs after the check for outside
  /// changes and before any catalog file is written. Throws `CatalogError::conflict`
  /// before a successful load or when the file changed since.
  void save(const ShortcutCatalog& catalog, const std::function<void()>& prepare);

  /// The raw file writer; atomic by default. Replaceable, e.g. to inject failures.
  Writer write;

 private:
  template <typename Operation>
  auto underLock(Operation&& operation);
  std::optional<Loaded> acceptPrimary(const QByteArray& bytes);
  std::optional<Loaded> loadExisting();
  Loaded loadFromMigration(const QByteArray& bytes);
  Loaded seedCatalog(const Seed& seed, const std::optional<QByteArray>& legacyData);
  Loaded accept(const ShortcutCatalog& catalog, const QByteArray& bytes, std::optional<QString> notice = {});
  void atomicWrite(const QByteArray& bytes, const QString& name);
  QString preserveDamaged(const QByteArray& bytes);
  std::optional<QByteArray> read(const QString& name) const;
  QString path(const QString& name) const;

  QString m_directory;
  std::optional<QByteArray> m_expectedData;
  bool m_loaded = false;
};

#pragma once

#include "platform/core/Files.h"
#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "support/FileMode.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>

namespace test {

/// A catalog folder inside the test's home.
inline QString catalogFolder() { return home() + QStringLiteral("/catalog"); }

inline QString catalogFile(const QString& name) { return catalogFolder() + u'/' + name; }

inline std::optional<QByteArray> readCatalogFile(const QString& name) { return pf::Files::read(catalogFile(name)); }

/// The names in the catalog folder, hidden ones included, sorted.
inline QStringList catalogFolderNames() {
  return QDir(catalogFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

/// A repository over the test's catalog folder, loaded from `seed` when the folder is new.
inline ShortcutCatalogRepository loadedRepository(const ShortcutCatalog& seed = catalogOf(2)) {
  ShortcutCatalogRepository repository(catalogFolder());
  repository.load([&] { return seed; }, std::nullopt);
  return repository;
}

}  // namespace test

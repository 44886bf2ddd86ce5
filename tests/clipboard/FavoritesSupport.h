#pragma once

#include "clipboard/ClipboardFavoritesStore.h"
#include "platform/core/Files.h"
#include "shortcuts/CatalogSupport.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>

namespace test {

/// The favorites folder inside the test's home; not created.
inline QString favoritesFolder() { return home() + QStringLiteral("/favorites"); }

inline QString favoritesPath(const QString& name = QStringLiteral("clipboard-favorites.json")) {
  return favoritesFolder() + u'/' + name;
}

/// The bytes at `name` in the favorites folder, or "(missing)".
inline QByteArray favoritesBytes(const QString& name = QStringLiteral("clipboard-favorites.json")) {
  return pf::Files::read(favoritesPath(name)).value_or("(missing)");
}

/// Puts `json` in place as the favorites file.
inline void writeFavorites(const QByteArray& json) { writeFile(favoritesPath(), json); }

/// The names in the favorites folder, hidden ones included, sorted.
inline QStringList favoritesFolderNames() {
  return QDir(favoritesFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline ClipboardFavorite favorite(const QString& id, const QString& listID = QStringLiteral("others")) {
  return {id, QStringLiteral("Name ") + id, QStringLiteral("Text of ") + id, listID};
}

}  // namespace test

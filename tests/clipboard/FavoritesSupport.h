#pragma once

#include "clipboard/ClipboardFavoritesStore.h"
#include "platform/core/Files.h"
#include "shortcuts/CatalogSupport.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>

namespace test {

/// Sentences more than one test file expects.
inline const QString busyMessage = QStringLiteral("Another Wendle is saving favorites. Try again shortly.");
inline const QString unsupportedMessage =
    QStringLiteral("This favorites file is from an unsupported version. It has been preserved.");
inline const QString incompleteMessage =
    QStringLiteral("This older favorites file is incomplete. It has been preserved.");
inline const QString missingListMessage =
    QStringLiteral("A saved favorite refers to a missing list. The file has been preserved.");
inline const QString listMessage =
    QStringLiteral("Enter a list name of up to 40 characters. All is reserved for the combined view.");
inline const QString nameMessage = QStringLiteral("Enter a name of up to 100 characters.");

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

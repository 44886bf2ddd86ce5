#pragma once

#include "clipboard/ClipboardFavoritesFile.h"
#include "clipboard/FavoritesSupport.h"
#include "clipboard/ui/ClipboardFavoriteTable.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace test {

/// A text with every character a text view likes to change: CR LF, a lone
/// CR, a line separator, non-breaking spaces, a paragraph separator, a tab
/// and trailing spaces.
inline const QString trickyText =
    QStringLiteral("line one\r\nline\u00A0two\rthree\u2028four\u2029\tfive\u00A0\u00A0  ");

/// Puts a favorites file holding `items` (in the built-in lists plus `extraLists`) in place.
inline void writeFavoriteItems(const std::vector<ClipboardFavorite>& items,
                               const std::vector<ClipboardFavoriteList>& extraLists = {}) {
  ClipboardFavoritesFile file = ClipboardFavoritesFile::empty();
  file.lists.insert(file.lists.end(), extraLists.begin(), extraLists.end());
  file.items = items;
  writeFavorites(file.encoded());
}

/// The button titled `title` in `window`.
inline QPushButton* buttonTitled(QWidget* window, const QString& title) {
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (button->text() == title) return button;
  return nullptr;
}

inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

/// The alert shown as a sheet on `window`, or null.
inline pf::Alert* sheetOf(pf::Window* window) { return qobject_cast<pf::Alert*>(window->attachedSheet()); }

/// Clicks the sheet's button titled `title` and lets the sheet finish.
inline void answerSheet(pf::Window* window, const QString& title) {
  pf::Alert* alert = sheetOf(window);
  ASSERT_NE(alert, nullptr);
  click(buttonTitled(alert, title));
  QCoreApplication::processEvents();
}

}  // namespace test

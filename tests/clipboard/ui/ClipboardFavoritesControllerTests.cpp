#include "FavoritesWindowSupport.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoriteEditor.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ViewLayer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace test;

namespace {

const QString countSentence = QStringLiteral(" shown · Select an item and Copy, or double-click it.");
const QString changedSentence =
    QStringLiteral("This favorite changed elsewhere. Review its latest text before copying.");

const ClipboardFavoriteList work{QStringLiteral("work"), QStringLiteral("Work")};

std::vector<ClipboardFavorite> sampleItems() {
  return {
      {QStringLiteral("A"), QStringLiteral("meeting notes"), QStringLiteral("agenda"), QStringLiteral("others")},
      {QStringLiteral("B"), QStringLiteral("Home page"), QStringLiteral("https://example.org"), QStringLiteral("links")},
      {QStringLiteral("C"), QStringLiteral("Signature"), QStringLiteral("Best regards\nMeeting room 4"),
       QStringLiteral("tags")},
      {QStringLiteral("D"), QStringLiteral("Docs"), QStringLiteral("https://docs.example.org"),
       QStringLiteral("links")},
  };
}

class FavoritesWindow : public ::testing::Test {
 protected:
  void open(const std::vector<ClipboardFavorite>& items = sampleItems()) {
    writeFavoriteItems(items, {work});
    controller = std::make_unique<ClipboardFavoritesController>(
        std::make_unique<ClipboardFavoritesStore>(favoritesFolder()));
    controller->onHold = [this](bool holding) { holds.push_back(holding); };
    controller->present();
    window = controller->window();
  }

  template <typename Widget>
  Widget* find(const QString& accessibleName = {}) const {
    for (Widget* widget : window->findChildren<Widget*>())
      if (accessibleName.isEmpty() || widget->accessibleName() == accessibleName) return widget;
    return nullptr;
  }
  QLineEdit* search() const { return find<QLineEdit>(QStringLiteral("Find clipboard items")); }
  QComboBox* listPopup() const { return find<QComboBox>(QStringLiteral("Clipboard list")); }
  ClipboardFavoriteTable* table() const { return find<ClipboardFavoriteTable>(); }
  QString status() const { return window->findChild<QLabel*>(QStringLiteral("status"))->text(); }
  QPushButton* button(const QString& title) const { return buttonTitled(window, title); }
  QAction* option(const QString& title) const {
    for (QAction* action : find<QPushButton>(QStringLiteral("List options"))->menu()->actions())
      if (action->text() == title) return action;
    return nullptr;
  }

  /// The names and preview lines the table shows.
  QStringList shown() const {
    QStringList lines;
    for (int row = 0; row < table()->rowCount(); ++row) {
      const QModelIndex index = table()->model()->index(row, 0);
      lines << index.data().toString() + u'|' + index.data(ClipboardFavoriteTable::previewRole).toString();
    }
    return lines;
  }

  /// Chooses item `index` of the list pop-up with the keyboard, as a person would.
  void chooseList(int index) {
    QComboBox* popup = listPopup();
    popup->setFocus();
    const Qt::Key key = index > popup->currentIndex() ? Qt::Key_Down : Qt::Key_Up;
    while (popup->currentIndex() != index) QTest::keyClick(popup, key);
  }

  void selectRow(int row) {
    const QRect rect = table()->visualRect(table()->model()->index(row, 0));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rect.center());
  }

  std::unique_ptr<ClipboardFavoritesController> controller;
  pf::Window* window = nullptr;
  std::vector<bool> holds;
};

struct FilterCase {
  const char* label;
  int listItem;  // 0 "All", then "#Tags", "Links", "Others", "Work"
  QString typed;
  QStringList names;
  QString status;
};

TEST_F(FavoritesWindow, FiltersByListAndSearchAndSaysWhatItShows) {
  const FilterCase cases[] = {
      {"all in file order", 0, {}, {"meeting notes", "Home page", "Signature", "Docs"}, "4" + countSentence},
      {"one list", 2, {}, {"Home page", "Docs"}, "2" + countSentence},
      {"capitals find a name and a text", 0, "MEETING", {"meeting notes", "Signature"}, "2" + countSentence},
      {"one hit, no singular", 0, "docs", {"Docs"}, "1" + countSentence},
      {"spaces filter nothing", 3, "   ", {"meeting notes"}, "1" + countSentence},
      {"search within a list", 1, "example", {}, "No matching favorites in this list."},
      {"spaces in an empty list", 4, "  ", {}, "No matching favorites in this list."},
      {"empty list", 4, {}, {}, "No favorites in Work. Use New… to save your text."},
  };
  open();
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.label);
    search()->clear();
    chooseList(c.listItem);
    QTest::keyClicks(search(), c.typed);
    QStringList names;
    for (const QString& line : shown()) names << line.section(u'|', 0, 0);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(status(), c.status);
    for (const char* title : {"Copy", "Edit…", "Delete…"})
      EXPECT_EQ(button(title)->isEnabled(), !c.names.isEmpty()) << title;
  }
}

TEST_F(FavoritesWindow, StatusWithNoFavoritesAtAllNamesAll) {
  open({});
  EXPECT_EQ(status(), QStringLiteral("No favorites in All. Use New… to save your text."));
  EXPECT_FALSE(button(QStringLiteral("Edit…"))->isEnabled());
  EXPECT_TRUE(button(QStringLiteral("New…"))->isEnabled());
}

TEST_F(FavoritesWindow, PreviewIsTheTextUpToItsFirstLineBreakOfAnyKind) {
  open({{QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("\nafter a break"), QStringLiteral("others")},
        {QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("one\u2028two"), QStringLiteral("others")},
        {QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("one\r\ntwo"), QStringLiteral("others")},
        {QStringLiteral("D"), QStringLiteral("d"), QStringLiteral("one\u0085two"), QStringLiteral("others")}});
  EXPECT_EQ(shown(), QStringList({"a|", "b|one", "c|one", "d|one"}));
}

TEST_F(FavoritesWindow, SelectionFollowsTheFavoriteAndFallsBackToTheFirstRow) {
  open();
  selectRow(2);
  QTest::keyClicks(search(), QStringLiteral("e"));
  EXPECT_EQ(controller->selected()->id, QStringLiteral("C"));
  search()->clear();
  QTest::keyClicks(search(), QStringLiteral("http"));
  EXPECT_EQ(controller->selected()->id, QStringLiteral("B"));
}

TEST_F(FavoritesWindow, TheItemButtonsFollowTheUsersSelection) {
  open();
  const struct {
    const char* action;
    Qt::KeyboardModifiers modifiers;
    bool enabled;
  } cases[] = {
      {"a row chosen", {}, true},
      {"the same row Control-clicked away", Qt::ControlModifier, false},
      {"chosen again", {}, true},
  };
  for (const auto& c : cases) {
    const QRect row = table()->visualRect(table()->model()->index(1, 0));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, c.modifiers, row.center());
    for (const char* title : {"Copy", "Edit…", "Delete…"})
      EXPECT_EQ(button(title)->isEnabled(), c.enabled) << c.action << ": " << title;
  }
}

TEST_F(FavoritesWindow, ARefreshLeavesTheTableWhereTheUserScrolledIt) {
  std::vector<ClipboardFavorite> many;
  for (int n = 1; n <= 30; ++n)
    many.push_back({QStringLiteral("F%1").arg(n), QStringLiteral("Item %1").arg(n, 2, 10, QLatin1Char('0')),
                    QStringLiteral("text"), QStringLiteral("others")});
  open(many);
  selectRow(0);
  QScrollBar* bar = table()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum());
  QTest::keyClicks(search(), QStringLiteral("Item"));  // every row still matches
  EXPECT_EQ(controller->selected()->id, QStringLiteral("F1"));
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(FavoritesWindow, CopyPutsTheExactSavedTextOnTheClipboard) {
  open({{QStringLiteral("A"), QStringLiteral("Tricky"), trickyText, QStringLiteral("others")},
        {QStringLiteral("B"), QStringLiteral("Plain"), QStringLiteral("plain"), QStringLiteral("others")}});
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  click(button(QStringLiteral("Copy")));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), trickyText);
  EXPECT_EQ(status(), QStringLiteral("Copied “Tricky”. Paste it wherever you need it."));

  // A person's double-click: the first click selects, the second copies.
  const QRect second = table()->visualRect(table()->model()->index(1, 0));
  QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("plain"));
  EXPECT_EQ(status(), QStringLiteral("Copied “Plain”. Paste it wherever you need it."));
}

TEST_F(FavoritesWindow, CopyOfAFavoriteChangedElsewhereCopiesNothing) {
  open();
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  const ClipboardFavorite seen = sampleItems()[0];
  ClipboardFavorite changed = seen;
  changed.text = QStringLiteral("agenda, revised");
  ClipboardFavoritesStore(favoritesFolder()).save(changed, seen);

  click(button(QStringLiteral("Copy")));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  EXPECT_EQ(status(), changedSentence);
  EXPECT_EQ(shown().first(), QStringLiteral("meeting notes|agenda, revised"));

  click(button(QStringLiteral("Copy")));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("agenda, revised"));

  ClipboardFavoritesStore(favoritesFolder()).deleteFavorite(changed);
  click(button(QStringLiteral("Copy")));
  EXPECT_EQ(status(), changedSentence);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("agenda, revised"));
}

TEST_F(FavoritesWindow, DeletionIsConfirmedFirst) {
  open();
  selectRow(1);
  const QByteArray before = favoritesBytes();
  click(button(QStringLiteral("Delete…")));
  pf::Alert* alert = sheetOf(window);
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->messageText(), QStringLiteral("Delete “Home page”?"));
  EXPECT_EQ(alert->informativeText(),
            QStringLiteral(
                "This removes this saved favorite from Wendle. Text you already copied stays on the clipboard."));
  EXPECT_EQ(favoritesBytes(), before);
  QTest::keyClick(alert, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(favoritesBytes(), before);
  EXPECT_EQ(shown().size(), 4);

  click(button(QStringLiteral("Delete…")));
  answerSheet(window, QStringLiteral("Delete"));
  EXPECT_EQ(ClipboardFavoritesStore(favoritesFolder()).items().size(), 3u);
  EXPECT_FALSE(shown().join(u',').contains(QStringLiteral("Home page")));
  EXPECT_EQ(controller->selected()->id, QStringLiteral("A"));
}

TEST_F(FavoritesWindow, AlertsShowNamesAsTheyWereTyped) {
  open({{QStringLiteral("A"), QStringLiteral("<b>Bold</b>"), QStringLiteral("text"), QStringLiteral("others")}});
  click(button(QStringLiteral("Delete…")));
  pf::Alert* alert = sheetOf(window);
  ASSERT_NE(alert, nullptr);
  for (QLabel* label : alert->findChildren<QLabel*>()) {
    if (label->text().contains(QStringLiteral("<b>"))) {
      EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
  }
  EXPECT_EQ(alert->messageText(), QStringLiteral("Delete “<b>Bold</b>”?"));
}

TEST_F(FavoritesWindow, SheetsCloseWithTheirWindowAnsweringNothing) {
  open();
  chooseList(4);  // "Work"
  const QByteArray before = favoritesBytes();
  option(QStringLiteral("Delete List…"))->trigger();
  const QPointer<pf::Alert> sheet = sheetOf(window);
  ASSERT_NE(sheet, nullptr);
  window->close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(!sheet || !sheet->isVisible());
  EXPECT_EQ(window->attachedSheet(), nullptr);
  EXPECT_EQ(favoritesBytes(), before);
}

TEST_F(FavoritesWindow, TheOwnerPlacesTheEditorBeforeItShows) {
  open();
  pf::Window* placed = nullptr;
  bool shownWhenPlaced = true;
  controller->positionWindow = [&](pf::Window* window) {
    placed = window;
    shownWhenPlaced = window->isVisible();
  };
  click(button(QStringLiteral("New…")));
  ASSERT_NE(controller->editor(), nullptr);
  EXPECT_EQ(placed, controller->editor()->window());
  EXPECT_FALSE(shownWhenPlaced);
}

TEST_F(FavoritesWindow, ListsAreMadeRenamedAndDeletedThroughSheets) {
  open();
  EXPECT_FALSE(option(QStringLiteral("Rename List…"))->isEnabled());  // "All"
  option(QStringLiteral("New List…"))->trigger();
  QTest::keyClicks(sheetOf(window)->findChild<QLineEdit*>(), QStringLiteral("Recipes"));
  QTest::keyClick(sheetOf(window), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("Recipes"));
  EXPECT_EQ(status(), QStringLiteral("No favorites in Recipes. Use New… to save your text."));

  option(QStringLiteral("Rename List…"))->trigger();
  EXPECT_EQ(sheetOf(window)->messageText(), QStringLiteral("Rename “Recipes”"));
  QLineEdit* field = sheetOf(window)->findChild<QLineEdit*>();
  field->clear();
  QTest::keyClicks(field, QStringLiteral("all"));
  answerSheet(window, QStringLiteral("Rename"));
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("Recipes"));
  EXPECT_EQ(status(), QStringLiteral("All is reserved for the combined view."));

  chooseList(2);  // Links
  option(QStringLiteral("Delete List…"))->trigger();
  EXPECT_EQ(sheetOf(window)->messageText(), QStringLiteral("Delete “Links” list?"));
  QTest::keyClick(sheetOf(window), Qt::Key_Return);  // Return cancels
  QCoreApplication::processEvents();
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("Links"));
  option(QStringLiteral("Delete List…"))->trigger();
  answerSheet(window, QStringLiteral("Delete List"));
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("Others"));
  EXPECT_EQ(shown().size(), 3);  // the two links moved to Others
  EXPECT_FALSE(option(QStringLiteral("Rename List…"))->isEnabled());
  EXPECT_FALSE(option(QStringLiteral("Delete List…"))->isEnabled());
}

TEST_F(FavoritesWindow, AChosenListDeletedElsewhereFallsBackToOthers) {
  open();
  chooseList(4);
  ClipboardFavoritesStore(favoritesFolder()).deleteList(work);
  controller->present();
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("Others"));
  EXPECT_EQ(controller->selectedListID(), QStringLiteral("others"));
}

TEST_F(FavoritesWindow, AnUnreadableFileShowsItsFailureAndOffersOnlyNew) {
  writeFavorites("{ not json");
  controller = std::make_unique<ClipboardFavoritesController>(
      std::make_unique<ClipboardFavoritesStore>(favoritesFolder()));
  controller->present();
  window = controller->window();
  EXPECT_TRUE(shown().isEmpty());
  EXPECT_EQ(status(), *controller->store().failure());
  for (const QString& title : {QStringLiteral("Copy"), QStringLiteral("Edit…"), QStringLiteral("Delete…")})
    EXPECT_FALSE(button(title)->isEnabled()) << title.toStdString();
  EXPECT_FALSE(find<QPushButton>(QStringLiteral("List options"))->isEnabled());
  EXPECT_TRUE(button(QStringLiteral("New…"))->isEnabled());
}

TEST_F(FavoritesWindow, SavingFromTheEditorChoosesTheSavedFavoritesList) {
  open();
  click(button(QStringLiteral("New…")));
  ClipboardFavoriteEditor* editor = controller->editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->listPopup()->currentText(), QStringLiteral("Others"));  // "All" is chosen
  QTest::keyClicks(editor->nameField(), QStringLiteral("Address"));
  QTest::keyClicks(editor->textView(), QStringLiteral("1 Main Street"));
  click(buttonTitled(editor->window(), QStringLiteral("Save")));
  EXPECT_FALSE(editor->window()->isVisible());
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("All"));
  EXPECT_EQ(controller->selected()->name, QStringLiteral("Address"));

  chooseList(2);  // Links
  click(button(QStringLiteral("New…")));
  editor = controller->editor();
  EXPECT_EQ(editor->listPopup()->currentText(), QStringLiteral("Links"));
  QTest::keyClicks(editor->nameField(), QStringLiteral("Tag"));
  QTest::keyClicks(editor->textView(), QStringLiteral("#home"));
  editor->listPopup()->setCurrentIndex(0);  // #Tags
  click(buttonTitled(editor->window(), QStringLiteral("Save")));
  EXPECT_EQ(listPopup()->currentText(), QStringLiteral("#Tags"));
  EXPECT_EQ(controller->selected()->name, QStringLiteral("Tag"));
}

TEST_F(FavoritesWindow, AnOpenEditorIsOnlyBroughtForward) {
  open();
  click(button(QStringLiteral("Edit…")));
  ClipboardFavoriteEditor* first = controller->editor();
  selectRow(1);
  click(button(QStringLiteral("Edit…")));
  EXPECT_EQ(controller->editor(), first);
  EXPECT_EQ(first->nameField()->text(), QStringLiteral("meeting notes"));
}

TEST_F(FavoritesWindow, HoldsWhileTheWindowOrItsEditorIsOnScreen) {
  open();
  click(button(QStringLiteral("New…")));
  window->close();
  QCoreApplication::processEvents();
  EXPECT_EQ(holds.back(), true);
  controller->editor()->cancel();
  QCoreApplication::processEvents();
  EXPECT_EQ(holds, (std::vector<bool>{true, true, true, false}));
}

TEST_F(FavoritesWindow, WithTheSmokeEffectTheVisibleCardsAreWreathed) {
  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), QStringLiteral("smoke"));
  open({sampleItems()[0], sampleItems()[1]});
  table()->viewport()->grab();
  const auto smoke = pf::ViewLayer::of(table()->viewport())->sublayerNamed(QuibContentSmoke::layerName);
  ASSERT_NE(smoke, nullptr);
  // Two rows of 46 at the top of the table, which the window's opening height
  // of 530 stretches to 242; each card inset 2 by 1.5, y up.
  EXPECT_EQ(smoke->value(QuibContentSmoke::geometryKey), "{{2, 197.5}, {364, 43}}{{2, 151.5}, {364, 43}}false");
  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), QStringLiteral("none"));
}

}  // namespace

#include "launcher/LauncherSlot.h"
#include "launcher/ui/DragHeader.h"
#include "launcher/ui/LauncherFixture.h"
#include "launcher/ui/LauncherViewController.h"
#include "launcher/ui/ShortcutButton.h"
#include "widgets/GlassSurface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>

namespace {

QStringList ids(const LauncherViewController& launcher) {
  QStringList list;
  for (const ShortcutButton* button : launcher.buttons()) list << button->shortcutID();
  return list;
}

/// The text a tool tip shows: Qt renders one that looks like markup as rich text.
QString shown(const QString& toolTip) {
  return Qt::mightBeRichText(toolTip) ? QTextDocumentFragment::fromHtml(toolTip).toPlainText() : toolTip;
}

void resize(LauncherViewController& launcher, const LauncherGrid& grid) {
  const pf::Size size = grid.size();
  launcher.view()->resize(int(size.width), int(size.height));
}

}  // namespace

using LauncherController = LauncherFixture;

TEST_F(LauncherController, WithoutActiveShortcutsOnlyTheHeaderPagesAndAddButtonShow) {
  auto store = makeStore(0);
  LauncherViewController launcher(*store);
  launcher.view();
  EXPECT_TRUE(launcher.buttons().empty());
  EXPECT_EQ(launcher.pageLabel()->text(), "1 / 1");
  EXPECT_FALSE(launcher.previousButton()->isEnabled());
  EXPECT_FALSE(launcher.nextButton()->isEnabled());
  EXPECT_FALSE(launcher.emptyButton()->isHidden());
  EXPECT_EQ(launcher.emptyButton()->text(), "Add or activate shortcuts…");
}

TEST_F(LauncherController, EverySlotShowsAButtonAndEmptySlotsShowPlaceholders) {
  std::vector<Shortcut> shortcuts{web(1), web(2), web(3)};
  shortcuts[0].note = "<b>Bold</b> &amp;  spaced";
  auto store = makeStore(shortcuts);
  LauncherViewController launcher(*store);
  launcher.view();
  EXPECT_EQ(ids(launcher), (QStringList{"s1", "s2", "s3", "empty-0-s-0-3", "empty-0-s-1-0", "empty-0-s-1-1",
                                        "empty-0-s-1-2", "empty-0-s-1-3", "empty-0-w-0-0", "empty-0-w-0-1",
                                        "empty-0-w-1-0", "empty-0-w-1-1"}));
  const ShortcutButton* small = launcher.buttons()[3];
  EXPECT_EQ(small->label(), "Empty");
  EXPECT_EQ(small->toolTip(), "New active shortcuts fill small buttons.\nNot configured");
  EXPECT_EQ(small->picture()->accessibilityDescription(), "Choose shortcut");
  EXPECT_EQ(launcher.buttons()[10]->label(), "Add shortcut…");
  EXPECT_EQ(launcher.pageLabel()->toolTip(), QString()) << "no error, no tool tip";
  EXPECT_EQ(shown(launcher.buttons()[0]->toolTip()),
            "<b>Bold</b> &amp;  spaced. Drag to swap. Hold over Next or Previous to move between pages.");
  // The buttons stand in their grid frames (y up in the view).
  EXPECT_EQ(launcher.buttons()[0]->geometry(), QRect(18, 64, 110, 78));
}

TEST_F(LauncherController, PagesTurnAndAGridChangeKeepsThePageWithinTheNewCount) {
  saveSize(500.0, 314.0);  // a 2 x 1 grid: 4 small buttons a page
  auto store = makeStore(13);
  LauncherViewController launcher(*store);
  launcher.view()->show();
  EXPECT_EQ(launcher.grid(), (LauncherGrid{2, 1, 1.0}));
  EXPECT_EQ(launcher.pageCount(), 4);
  launcher.previousPage();
  EXPECT_EQ(launcher.page(), 0);
  for (int i = 0; i < 5; ++i) launcher.nextPage();
  EXPECT_EQ(launcher.page(), 3);
  EXPECT_EQ(launcher.pageLabel()->text(), "4 / 4");
  EXPECT_FALSE(launcher.nextButton()->isEnabled());
  EXPECT_EQ(ids(launcher).first(), "s13");
  launcher.previousPage();
  EXPECT_TRUE(launcher.nextButton()->isEnabled());
  launcher.previousPage();
  launcher.previousPage();
  EXPECT_EQ(launcher.page(), 0);
  EXPECT_FALSE(launcher.previousButton()->isEnabled());
  for (int i = 0; i < 3; ++i) launcher.nextPage();
  EXPECT_TRUE(launcher.previousButton()->isEnabled());

  resize(launcher, {3, 2, 1.0});  // 12 small buttons a page
  EXPECT_EQ(launcher.pageCount(), 2);
  EXPECT_EQ(launcher.page(), 1);
  EXPECT_EQ(launcher.pageLabel()->text(), "2 / 2");
}

TEST_F(LauncherController, TheSavedSizeIsUsedOnlyWhenBothNumbersAreSound) {
  const struct {
    QVariant width, height;
    LauncherGrid grid;
  } cases[] = {
      {700.0, 500.0, {2, 3, 1.0}},
      {QStringLiteral("700"), 500.0, {2, 2, 1.0}},
      {700.0, -1.0, {2, 2, 1.0}},
      {700.0, 10001.0, {2, 2, 1.0}},
      {700.0, std::numeric_limits<double>::infinity(), {2, 2, 1.0}},
  };
  auto store = makeStore(2);
  for (const auto& c : cases) {
    saveSize(c.width, c.height);
    LauncherViewController launcher(*store);
    EXPECT_EQ(launcher.grid(), c.grid) << c.width.toString().toStdString() << " x " << c.height.toString().toStdString();
  }
}

TEST_F(LauncherController, TheTitleIsTheChosenCharacterUnlessOverridden) {
  auto store = makeStore(1);
  pf::UserDefaults::standard().set(QStringLiteral("characterSkin"), QStringLiteral("dara"));
  LauncherViewController launcher(*store);
  launcher.view();
  EXPECT_EQ(launcher.titleLabel()->text(), "Dara");
  launcher.companionOverride = CharacterSkin::vezu;
  launcher.refresh();
  EXPECT_EQ(launcher.titleLabel()->text(), "Vezu");
  pf::UserDefaults::standard().set(QStringLiteral("characterSkin"), QStringLiteral("original"));
  LauncherViewController archived(*store);
  archived.view();
  EXPECT_EQ(archived.titleLabel()->text(), "Duvur");
}

TEST_F(LauncherController, EscapeCancelsAnArrangementFirstAndDismissesTheSecondTime) {
  auto store = makeStore(2);
  LauncherViewController launcher(*store);
  QStringList events;
  launcher.onArrangeInteraction = [&](bool on) { events << (on ? "arranging" : "arranged"); };
  launcher.onDismiss = [&] { events << "dismiss"; };
  launcher.view()->show();
  QTest::mousePress(launcher.buttons()[0], Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(launcher.isArranging());
  QTest::keyClick(launcher.view(), Qt::Key_Escape);
  EXPECT_FALSE(launcher.isArranging());
  QTest::keyClick(launcher.view(), Qt::Key_Escape);
  QTest::mouseRelease(launcher.buttons()[0], Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(events, (QStringList{"arranging", "arranged", "dismiss"}));
}

TEST_F(LauncherController, AClickOnAnActiveShortcutReportsItsButtonThenOpensTheStoredShortcut) {
  auto store = makeStore(2);
  LauncherViewController launcher(*store);
  QStringList events;
  launcher.onButtonEffect = [&](pf::Rect r) { events << QStringLiteral("effect %1x%2").arg(r.width()).arg(r.height()); };
  launcher.onOpen = [&](const Shortcut& s) { events << "open " + s.destination; };
  launcher.view()->show();
  QTest::mouseClick(launcher.buttons()[1], Qt::LeftButton, {}, QPoint(20, 20));
  QCoreApplication::processEvents();
  EXPECT_EQ(events, (QStringList{"effect 110x78", "open https://example.com/2"}));
}

TEST_F(LauncherController, AnAssignmentMadeByAnotherLauncherShowsHereToo) {
  auto store = makeStore(3);
  LauncherViewController first(*store);
  LauncherViewController second(*store);
  first.view();
  second.view();
  first.assignments().assign(QStringLiteral("s3"), {0, true, 0, 0}, store->shortcuts(), first.grid());
  EXPECT_EQ(ids(second).mid(0, 3), (QStringList{"s1", "s2", "empty-0-s-0-2"}));
  EXPECT_EQ(second.buttons()[8]->shortcutID(), "s3");
}

TEST_F(LauncherController, TheControlsStandAtTheirPlacesInTheStandardPage) {
  auto store = makeStore(0);
  LauncherViewController launcher(*store);
  launcher.view()->show();
  EXPECT_EQ(launcher.view()->size(), QSize(500, 402));
  const struct {
    QWidget* view;
    QRect frame;
  } cases[] = {
      {launcher.header(), {18, 12, 464, 48}},
      {launcher.titleLabel(), {40, 9, 280, 30}},
      {launcher.clipboardButton(), {352, 17, 38, 38}},
      {launcher.reminderButton(), {400, 17, 40, 38}},
      {launcher.gear(), {448, 17, 38, 38}},
      {launcher.previousButton(), {132, 362, 82, 26}},
      {launcher.nextButton(), {286, 362, 82, 26}},
      {launcher.pageLabel(), {222, 363, 56, 22}},
      {launcher.emptyButton(), {125, 310, 250, 32}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.view->geometry(), c.frame) << c.view->metaObject()->className();
  EXPECT_EQ(launcher.titleLabel()->font().pixelSize(), 23);
  EXPECT_EQ(launcher.gear()->toolTip(), "Wendle Settings");
  EXPECT_EQ(launcher.reminderButton()->accessibleName(), "Wendle Reminders");
}

TEST_F(LauncherController, AKeyboardPageTurnMovesFocusToTheFirstButtonOfTheNewPage) {
  saveSize(500.0, 314.0);  // a 2 x 1 grid: 4 small buttons a page
  auto store = makeStore(9);
  LauncherViewController launcher(*store);
  launcher.view()->show();
  launcher.view()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(launcher.view()));
  const struct {
    QPushButton* pageButton;
    qint64 page;
    QString first;
  } cases[] = {
      {launcher.nextButton(), 1, "s5"},
      {launcher.nextButton(), 2, "s9"},  // Next ends disabled: focus must not stay on it
      {launcher.previousButton(), 1, "s5"},
  };
  for (const auto& c : cases) {
    c.pageButton->setFocus();
    QTest::keyClick(c.pageButton, Qt::Key_Space);
    EXPECT_EQ(launcher.page(), c.page);
    ASSERT_FALSE(launcher.buttons().empty());
    EXPECT_EQ(QApplication::focusWidget(), launcher.buttons().front()) << c.page;
    EXPECT_EQ(launcher.buttons().front()->shortcutID(), c.first);
  }
  // Tab goes from the header's buttons on to the shortcut buttons of the page.
  launcher.gear()->setFocus();
  QTest::keyClick(launcher.gear(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), launcher.buttons().front());
}

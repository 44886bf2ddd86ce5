#include "launcher/ui/ArrangementSupport.h"
#include "launcher/ui/LauncherArrangement.h"
#include "launcher/ui/LauncherFixture.h"
#include "launcher/ui/ShortcutButton.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/ViewLayer.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"

#include <QFile>
#include <QPushButton>

using namespace arrangement;

namespace {

void moveTo(LauncherViewController& launcher, QPoint inRoot) { QTest::mouseMove(windowOf(launcher), inRoot); }

/// Presses the button and moves the pointer past the drag threshold.
void startDrag(LauncherViewController& launcher, int index) {
  const QPoint center = centerOf(launcher.buttons()[std::size_t(index)]);
  QTest::mousePress(windowOf(launcher), Qt::LeftButton, {}, center);
  moveTo(launcher, center + QPoint(12, 12));
}

void releaseAt(LauncherViewController& launcher, QPoint inRoot) {
  QTest::mouseRelease(windowOf(launcher), Qt::LeftButton, {}, inRoot);
  QCoreApplication::processEvents();
}

}  // namespace

WENDLE_TEST_HELPER(writePositions) {
  test::writeFile(args.value(0), args.value(1).toUtf8());
  return 0;
}

using LauncherArrangementTest = LauncherFixture;

TEST_F(LauncherArrangementTest, DroppingAButtonOnAnotherSwapsThemAndSavesThePositions) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  startDrag(launcher, 0);
  ASSERT_NE(launcher.arrangement().dragGhost(), nullptr);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(launcher.arrangement().dropIndex(), 2);
  EXPECT_FALSE(launcher.arrangement().swapMarker()->isHidden());
  EXPECT_EQ(launcher.arrangement().swapMarker()->geometry(), launcher.buttons()[2]->geometry().adjusted(1, 1, -1, -1));
  EXPECT_EQ(pf::ViewLayer::ensure(launcher.arrangement().swapMarker())->cornerRadius(), 12);
  EXPECT_NE(launcher.buttons()[0]->graphicsEffect(), nullptr);
  EXPECT_EQ(launcher.buttons()[2]->graphicsEffect(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));

  EXPECT_EQ(launcher.buttons()[0]->shortcutID(), "s3");
  EXPECT_EQ(launcher.buttons()[2]->shortcutID(), "s1");
  const auto saved = savedSlots(launcher);
  EXPECT_EQ(saved.at("0:s:0:0"), "s3");
  EXPECT_EQ(saved.at("0:s:0:2"), "s1");
  EXPECT_EQ(launcher.arrangement().dragGhost(), nullptr);
  EXPECT_TRUE(launcher.arrangement().swapMarker()->isHidden());
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangementTest, DropsOnItselfOnEmptyPanelOrOnAPageButtonChangeNothing) {
  auto store = makeStore(6);
  saveSize(500.0, 314.0);  // a 2 x 1 grid: 4 small buttons a page
  LauncherViewController launcher(*store);
  show(launcher);
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  const QPoint places[] = {centerOf(launcher.buttons()[0]), QPoint(250, 30), QPoint(-40, 40),
                           centerOf(launcher.nextButton())};
  for (const QPoint& place : places) {
    startDrag(launcher, 0);
    moveTo(launcher, place);
    EXPECT_EQ(launcher.arrangement().dropIndex(), std::nullopt) << place.x() << "," << place.y();
    releaseAt(launcher, place);
    EXPECT_EQ(launcher.page(), 0);
    EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
  }
  startDrag(launcher, 4);  // a placeholder
  EXPECT_EQ(launcher.arrangement().dragGhost(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[0]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
}

TEST_F(LauncherArrangementTest, HoldingOverNextTurnsExactlyOnePageAndTheDropLandsThere) {
  saveSize(500.0, 314.0);  // 8 buttons a page, 4 of them small
  auto store = makeStore(10);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  ASSERT_EQ(launcher.pageCount(), 3);
  const QPoint next = centerOf(launcher.nextButton());
  startDrag(launcher, 0);
  moveTo(launcher, next);
  QTest::qWait(150);
  moveTo(launcher, QPoint(250, 150));
  QTest::qWait(350);
  EXPECT_EQ(launcher.page(), 0) << "leaving Next early turns no page";

  moveTo(launcher, next);
  QTest::qWait(1000);
  EXPECT_EQ(launcher.page(), 1) << "one turn per hover";
  EXPECT_EQ(launcher.arrangement().swapMarker()->geometry(), launcher.nextButton()->geometry().adjusted(1, 1, -1, -1));
  EXPECT_EQ(pf::ViewLayer::ensure(launcher.arrangement().swapMarker())->cornerRadius(), 6);
  for (const ShortcutButton* button : launcher.buttons()) EXPECT_EQ(button->graphicsEffect(), nullptr);
  EXPECT_NE(launcher.arrangement().dragGhost(), nullptr);
  moveTo(launcher, centerOf(launcher.buttons()[1]));
  EXPECT_EQ(launcher.arrangement().dropIndex(), 8 + 1);
  releaseAt(launcher, centerOf(launcher.buttons()[1]));

  EXPECT_EQ(launcher.page(), 1);
  const auto saved = savedSlots(launcher);
  EXPECT_EQ(saved.at("1:s:0:1"), "s1");
  EXPECT_EQ(saved.at("0:s:0:0"), "s6");
  EXPECT_EQ(launcher.buttons()[1]->shortcutID(), "s1");
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangementTest, EscapeCancelsADragWithoutDismissingAndAClickStillOpens) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  QTest::keyClick(launcher.view(), Qt::Key_Escape);
  EXPECT_FALSE(launcher.isArranging());
  EXPECT_EQ(launcher.arrangement().dragGhost(), nullptr);
  for (const ShortcutButton* button : launcher.buttons()) EXPECT_EQ(button->graphicsEffect(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);

  QTest::mouseClick(launcher.buttons()[1], Qt::LeftButton, {}, QPoint(20, 20));
  QCoreApplication::processEvents();
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged", "arranging", "arranged", "open s2"}));
}

TEST_F(LauncherArrangementTest, APointerDraggedInAnotherWindowEndsTheArrangement) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  QWidget other;
  other.resize(200, 200);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  QTest::mouseMove(other.windowHandle(), QPoint(50, 50));
  EXPECT_FALSE(launcher.isArranging());
  EXPECT_EQ(launcher.arrangement().dragGhost(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangementTest, APositionsFileWrittenByAnotherCopyMidDragRefusesTheSwapAndKeepsItsBytes) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  LauncherAssignments other(store->shortcuts(), launcher.grid());
  other.assign(QStringLiteral("s2"), {0, true, 1, 1}, store->shortcuts());
  test::ChildProcess writer("writePositions", {launcher.assignments().url(), QString::fromUtf8(other.encoded())});
  ASSERT_EQ(writer.finish(), 0) << writer.errors().toStdString();
  releaseAt(launcher, centerOf(launcher.buttons()[2]));

  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), other.encoded());
  ASSERT_EQ(journal.events.size(), 3);
  EXPECT_EQ(journal.events.last(), "error: " + conflict);
}

TEST_F(LauncherArrangementTest, ARebuildWhileAButtonIsHeldEndsItsPressAndArranging) {
  auto store = makeStore(3);
  const struct {
    const char* name;
    std::function<void(LauncherViewController&, ShortcutStore&)> rebuild;
  } cases[] = {
      {"the catalog changed",
       [](auto& launcher, auto& store) {
         editCatalog(store);
         launcher.refresh();
       }},
      {"another launcher arranged", [](auto& launcher, auto& store) {
         launcher.assignments().assign(QStringLiteral("s1"), {0, true, 0, 0}, store.shortcuts(), launcher.grid());
       }},
      {"the grid changed", [](auto& launcher, auto&) { launcher.view()->resize(700, 500); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    const auto shown = shownAfresh(*store, journal);
    LauncherViewController& launcher = *shown;
    const QPoint held = centerOf(launcher.buttons()[1]);
    QTest::mousePress(windowOf(launcher), Qt::LeftButton, {}, held);
    c.rebuild(launcher, *store);
    releaseAt(launcher, held);
    EXPECT_FALSE(launcher.isArranging());
    EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
  }
}

TEST_F(LauncherArrangementTest, OnlyAGridChangeReconcilesThePositionsFileAndOnlyARebuildEndsAPress) {
  auto store = makeStore(12);
  const struct {
    const char* name;
    std::function<void(LauncherViewController&)> change;
    bool gridChanges;
    bool keepsArranging;
  } cases[] = {
      {"a few pixels more, the same grid",
       [](auto& launcher) { launcher.view()->resize(launcher.view()->size() + QSize(5, 5)); }, false, true},
      {"a refresh", [](auto& launcher) { launcher.refresh(); }, false, false},
      {"another page", [](auto& launcher) { launcher.nextPage(); }, false, false},
      {"a grid with more buttons", [](auto& launcher) { launcher.view()->resize(900, 600); }, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    const auto shown = shownAfresh(*store, journal);
    LauncherViewController& launcher = *shown;
    const LauncherGrid grid = launcher.grid();
    const QByteArray before = test::contentsOf(launcher.assignments().url());
    QTest::mousePress(windowOf(launcher), Qt::LeftButton, {}, centerOf(launcher.buttons()[1]));
    c.change(launcher);
    EXPECT_EQ(launcher.grid() != grid, c.gridChanges);
    EXPECT_EQ(test::contentsOf(launcher.assignments().url()) != before, c.gridChanges);
    EXPECT_EQ(launcher.isArranging(), c.keepsArranging);
    releaseAt(launcher, QPoint(2, 2));
    QFile::remove(launcher.assignments().url());
  }
}

#include "app/LaunchedProgram.h"
#include "character/QuibAction.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "character/ui/RobotView.h"
#include "filedrop/ui/RobotDropTarget.h"
#include "launcher/ui/LauncherPanel.h"
#include "launcher/ui/LauncherViewController.h"
#include "motion/HoverCoordinator.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderFeature.h"
#include "shortcuts/ui/ShortcutEditorController.h"
#include "support/EventLoop.h"
#include "widgets/GlassSurface.h"

#include <QCursor>
#include <QEnterEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

/// The whole program with one website, its companion at the bottom left, where
/// the windows it opens have room beside it.
class LauncherGivesWay : public test::LaunchedProgram {
 protected:
  void SetUp() override {
    launch({{"docs", "Docs", ShortcutKind::web, "https://docs.example/", {}, std::nullopt, std::nullopt, true}});
    delegate->companionPanel()->setFrameOrigin({0, 0});
  }

  RobotView* view() const { return delegate->companionPanel()->robotView(); }
  bool launcherShown() const { return delegate->launcherPanel()->isVisible(); }

  /// The pointer comes over the companion, as the window system reports it.
  void enterCompanion() {
    const QPointF centre = QRectF(view()->rect()).center();
    QCursor::setPos(view()->mapToGlobal(centre.toPoint()));
    QEnterEvent enter(centre, centre, view()->mapToGlobal(centre));
    QApplication::sendEvent(view(), &enter);
  }
  void leaveCompanion() {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view(), &leave);
  }
  /// The launcher shown from the companion, with the pointer moved onto it.
  void openLauncher() {
    enterCompanion();
    ASSERT_TRUE(launcherShown());
    QCursor::setPos(pf::Screens::toQt(delegate->launcherPanel()->frame().origin) + QPoint(20, -20));
  }
};

}  // namespace

TEST_F(LauncherGivesWay, AWindowOpenedFromTheLauncherOrTheMenuClosesItAndOpensBesideTheCompanion) {
  using Opener = std::function<void(AppDelegate&)>;
  const auto menu = [](const char* title) -> Opener {
    return [title](AppDelegate& d) { d.statusMenu().item(QString::fromUtf8(title))->trigger(); };
  };
  const auto button = [](QPushButton* (LauncherViewController::*which)() const) -> Opener {
    return [which](AppDelegate& d) { QTest::mouseClick((d.launcher()->*which)(), Qt::LeftButton); };
  };
  struct Case {
    const char* name;
    bool fromLauncher;
    Opener open;
    QString title;
    bool fitsTheScreen;
  };
  const Case cases[] = {
      {"the gear", true, button(&LauncherViewController::gear), "Wendle Settings", true},
      {"the clipboard button", true, button(&LauncherViewController::clipboardButton), "Clipboard — Wendle", true},
      {"the bell", true, button(&LauncherViewController::reminderButton), "Wendle Reminders", true},
      {"Settings…", false, menu("Settings…"), "Wendle Settings", true},
      {"Clipboard…", false, menu("Clipboard…"), "Clipboard — Wendle", true},
      {"Reminders…", false, menu("Reminders…"), "Wendle Reminders", true},
      {"Edit Shortcuts…", false, menu("Edit Shortcuts…"), "Edit Shortcuts — Wendle", false},
  };
  const pf::Rect visible = pf::Screens::visibleFrame(pf::Screens::of(delegate->companionPanel()));
  for (const Case& c : cases) {
    // From the menu, the pointer rests on the companion the menu opened from.
    if (c.fromLauncher) openLauncher();
    else enterCompanion();
    c.open(*delegate);
    pf::Window* window = test::windowTitled(c.title);
    ASSERT_TRUE(window) << c.name;
    EXPECT_FALSE(launcherShown()) << c.name;
    const pf::Rect companion = delegate->companionPanel()->frame();
    if (c.fitsTheScreen) {
      EXPECT_TRUE(visible.contains(window->frame())) << c.name;
      EXPECT_FALSE(window->frame().intersects(companion)) << c.name;
    }

    // The window system reports an entry where the pointer rests, as after a menu.
    enterCompanion();
    EXPECT_EQ(launcherShown(), c.fromLauncher) << c.name << ": only a new visit opens it";
    leaveCompanion();
    enterCompanion();
    EXPECT_TRUE(launcherShown()) << c.name;
    QTest::keyClick(delegate->launcher()->view(), Qt::Key_Escape);
    window->close();
  }
}

TEST_F(LauncherGivesWay, MovingTheCompanionOrDraggingAFileClosesItAndAFileDragStopsThePerformance) {
  struct Case {
    const char* name;
    std::function<void()> act;
    bool stopsThePerformance;
  };
  const Case cases[] = {
      {"dragging the companion",
       [&] {
         const QPoint centre = view()->rect().center();
         QTest::mousePress(view(), Qt::LeftButton, {}, centre);
         QMouseEvent move(QEvent::MouseMove, centre + QPoint(40, 0), view()->mapToGlobal(centre + QPoint(40, 0)),
                          Qt::NoButton, Qt::LeftButton, {});
         QApplication::sendEvent(view(), &move);
         QTest::mouseRelease(view(), Qt::LeftButton, {}, centre + QPoint(40, 0));
       },
       false},
      {"Reset Position", [&] { delegate->statusMenu().item(QStringLiteral("Reset Position"))->trigger(); }, false},
      {"a file drag beginning", [&] { delegate->dropTarget().onActivity(true); }, true},
  };
  for (const Case& c : cases) {
    enterCompanion();
    ASSERT_TRUE(launcherShown()) << c.name;
    delegate->performancePlayer()->play(QuibAction::dance);
    c.act();
    EXPECT_FALSE(launcherShown()) << c.name;
    EXPECT_NE(delegate->performancePlayer()->isPlaying(), c.stopsThePerformance) << c.name;
    delegate->performancePlayer()->stop();
    leaveCompanion();
  }
}

TEST_F(LauncherGivesWay, AReminderTakesOverFromTheLauncher) {
  enterCompanion();
  ASSERT_TRUE(launcherShown());
  delegate->reminders().preview(test::reminder());
  ASSERT_TRUE(delegate->reminders().panel()->isVisible());
  EXPECT_FALSE(launcherShown());
}

TEST_F(LauncherGivesWay, ThePointerOnItOrItsHeaderBeingDraggedKeepItOpenAndItClosesAGraceAfter) {
  LauncherViewController* launcher = delegate->launcher();
  const QPoint away(780, 20);
  struct Case {
    const char* name;
    std::function<void()> keep;
    std::function<void()> release;
  };
  const Case cases[] = {
      {"the pointer on it", [&] { QCursor::setPos(delegate->launcherPanel()->geometry().center()); },
       [&] { QCursor::setPos(away); }},
      {"its header dragged",
       [&] {
         launcher->onHeaderDragStart();
         QCursor::setPos(away);
       },
       [&] { launcher->onHeaderDragEnd({}); }},
  };
  for (const Case& c : cases) {
    enterCompanion();
    c.keep();
    QTest::qWait(int(HoverCoordinator::grace * 2000));
    EXPECT_TRUE(launcherShown()) << c.name;
    c.release();
    EXPECT_TRUE(test::processEventsUntil([&] { return !launcherShown(); }, 2)) << c.name;
    leaveCompanion();
  }
}

TEST_F(LauncherGivesWay, TheCompanionsMenuClosesItAndItStaysClosedWhileTheMenuShows) {
  pf::Menu& menu = delegate->statusMenu().menu();
  enterCompanion();
  ASSERT_TRUE(launcherShown());
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(delegate->holds().contains(PacingController::Hold::menu));
    EXPECT_FALSE(launcherShown()) << "the menu opened over the launcher";
    leaveCompanion();
    enterCompanion();
    QTest::mousePress(view(), Qt::LeftButton, {}, view()->rect().center());
    EXPECT_FALSE(launcherShown()) << "the launcher opened behind the menu";
    menu.cancelTracking();
  });
  QTest::mouseClick(view(), Qt::RightButton, {}, view()->rect().center());
  EXPECT_FALSE(delegate->holds().contains(PacingController::Hold::menu));
  // The pointer still rests where the menu opened.
  enterCompanion();
  EXPECT_FALSE(launcherShown());
}

TEST_F(LauncherGivesWay, ItsHeaderMovesItByThePointersOffset) {
  enterCompanion();
  LauncherPanel* panel = delegate->launcherPanel();
  const pf::Point start = panel->frame().origin;
  LauncherViewController* launcher = delegate->launcher();
  launcher->onHeaderDragStart();
  launcher->onHeaderDelta({30, -20});
  launcher->onHeaderDelta({50, -40});
  launcher->onHeaderDragEnd({});
  EXPECT_EQ(panel->frame().origin, (pf::Point{start.x + 50, start.y - 40}));
}

TEST_F(LauncherGivesWay, AShortcutNothingOpensShowsItsFailureBesideTheCompanionAndOpenSettingsShowsTheSettings) {
  delegate->shortcutOpener().webOpen = [](const QUrl&) { return false; };
  delegate->openShortcut(*delegate->shortcutStore().item(QStringLiteral("docs")));
  pf::Alert* alert = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* shown = qobject_cast<pf::Alert*>(widget); shown && shown->isVisible()) alert = shown;
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->messageText(),
            "Your browser could not open Docs. Check your default browser or change the URL in Settings.");
  EXPECT_FALSE(pf::Screens::toYUp(alert->geometry()).intersects(delegate->companionPanel()->frame()));
  alert->buttons().first()->click();
  EXPECT_TRUE(test::windowTitled(QStringLiteral("Wendle Settings")));
}

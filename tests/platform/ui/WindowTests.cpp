#include "platform/core/NotificationCenter.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMoveEvent>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QWindow>
#include <gtest/gtest.h>

using pf::NotificationCenter;
using pf::Panel;
using pf::Rect;
using pf::Window;
using pf::WindowLevel;

namespace {

/// Stands in for the window system: the window hears of the move only as a
/// spontaneous event, as after a configure event, and not as the program's own.
class WindowSystemMove final : public QObject {
 public:
  static void to(QWidget& window, QPoint at) {
    WindowSystemMove quiet;
    window.installEventFilter(&quiet);
    const bool placed = window.testAttribute(Qt::WA_Moved);
    const QPoint from = window.pos();
    window.move(at);
    window.setAttribute(Qt::WA_Moved, placed);
    window.removeEventFilter(&quiet);
    QMoveEvent event(at, from);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(&window, &event);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    return event->type() == QEvent::Move && !event->spontaneous();
  }
};

}  // namespace

TEST(Window, APlaceTheWindowSystemReportsBeforeThePlacedWindowIsOnScreenIsNotAMove) {
  const Rect placed(300, 200, 120, 90);
  const struct {
    const char* name;
    bool placedByProgram;
    bool onScreen;
    bool follows;
  } cases[] = {
      {"a placed window being framed", true, false, false},
      {"a window the manager places", false, false, true},
      {"a placed window on screen", true, true, true},
  };
  for (const auto& c : cases) {
    Panel panel;
    panel.setContentSize({120, 90});
    if (c.placedByProgram) panel.setFrame(placed);
    if (c.onScreen) {
      panel.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel)) << c.name;
    }
    int moves = 0;
    const pf::ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        Window::didMoveNotification, &panel, [&](const pf::Notification&) { ++moves; });
    // Somewhere the window manager holds the window for a moment.
    const QPoint held(10, 20);
    WindowSystemMove::to(panel, held);
    EXPECT_EQ(panel.pos() == held, c.follows) << c.name;
    EXPECT_EQ(moves, c.follows ? 1 : 0) << c.name;
    if (!c.follows) {
      EXPECT_EQ(panel.frame(), placed) << c.name;
    }
  }
}

TEST(Window, FrameSetBottomLeftComesBackTheSame) {
  Panel panel;
  const Rect frame(100, 50, 300, 200);
  panel.setFrame(frame);
  EXPECT_EQ(panel.frame(), frame);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  EXPECT_EQ(panel.frame(), frame);
  // Qt's top-left y counts down from the primary screen's top.
  const int screenHeight = pf::Screens::main()->geometry().height();
  EXPECT_EQ(panel.geometry(), QRect(100, screenHeight - 50 - 200, 300, 200));
  EXPECT_EQ(panel.contentView()->geometry(), QRect(0, 0, 300, 200));
}

TEST(Window, ChildFollowsTheParentsMovesAndVisibility) {
  Panel parent;
  Panel child;
  parent.setFrame(Rect(100, 100, 200, 100));
  child.setFrame(Rect(80, 90, 240, 120));
  parent.addChildWindow(&child);
  parent.show();
  child.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&child));

  parent.setFrameOrigin({140, 70});
  EXPECT_EQ(child.frame(), Rect(120, 60, 240, 120));
  // A move that does not come through our own frame calls follows as well.
  parent.move(parent.pos() + QPoint(10, 0));
  EXPECT_EQ(child.frame(), Rect(130, 60, 240, 120));

  parent.orderOut();
  EXPECT_FALSE(child.isVisible());
  parent.orderFront();
  EXPECT_TRUE(child.isVisible());
  EXPECT_EQ(child.parentWindow(), &parent);

  parent.removeChildWindow(&child);
  parent.setFrameOrigin({0, 0});
  EXPECT_EQ(child.frame(), Rect(130, 60, 240, 120));
  EXPECT_TRUE(parent.childWindows().isEmpty());
}

TEST(Window, ChildHiddenByItselfStaysHiddenWhenTheParentReturns) {
  Panel parent;
  Panel child;
  parent.addChildWindow(&child);
  parent.show();
  parent.orderOut();
  parent.orderFront();
  EXPECT_FALSE(child.isVisible());
}

TEST(Window, ProgrammaticCloseNeverAsksButTheUsersCloseDoes) {
  Window window;
  int asked = 0;
  bool allow = false;
  window.shouldClose = [&] {
    ++asked;
    return allow;
  };
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  window.performClose();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(window.isVisible());

  // The close button arrives from the window system as a spontaneous event.
  QCloseEvent closeButton;
  QSpontaneKeyEvent::setSpontaneous(&closeButton);
  QCoreApplication::sendEvent(window.windowHandle(), &closeButton);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(window.isVisible());

  window.close();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(window.isVisible());

  window.show();
  allow = true;
  window.performClose();
  EXPECT_EQ(asked, 3);
  EXPECT_FALSE(window.isVisible());
}

TEST(Window, PostsItsFourNotificationsWithItselfAsObject) {
  Window window;
  Window other;
  QStringList seen;
  std::vector<pf::ObserverToken> tokens;
  for (const QString& name :
       {Window::didMoveNotification, Window::didResizeNotification,
        Window::didBecomeKeyNotification, Window::willCloseNotification}) {
    tokens.push_back(NotificationCenter::defaultCenter().addObserver(
        name, &window, [&seen, &window](const pf::Notification& note) {
          EXPECT_EQ(note.object, &window);
          seen << note.name;
        }));
  }
  int willCloseCalls = 0;
  window.onWillClose = [&] { ++willCloseCalls; };
  window.setFrame(Rect(10, 10, 200, 150));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  other.setFrame(Rect(0, 0, 100, 100));
  other.makeKeyAndOrderFront();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  seen.clear();

  window.setFrameOrigin({40, 40});
  EXPECT_EQ(seen, QStringList{Window::didMoveNotification});
  window.setContentSize({260, 150});
  EXPECT_EQ(seen.last(), Window::didResizeNotification);
  window.makeKeyAndOrderFront();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(window.isKey());
  EXPECT_TRUE(seen.contains(Window::didBecomeKeyNotification));
  window.close();
  EXPECT_EQ(seen.last(), Window::willCloseNotification);
  EXPECT_EQ(willCloseCalls, 1);

  // Another window's notifications do not reach these observers.
  seen.clear();
  other.setFrameOrigin({20, 20});
  other.close();
  EXPECT_TRUE(seen.isEmpty());
}

TEST(Window, LevelsKeyPolicyAndClickThroughSetTheWindowFlags) {
  Panel panel;
  EXPECT_FALSE(panel.canBecomeKey());
  EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
  panel.setCanBecomeKey(true);
  EXPECT_FALSE(panel.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

  EXPECT_LT(int(WindowLevel::floating), int(WindowLevel::frontOfDock));
  EXPECT_EQ(int(WindowLevel::frontOfDock), int(WindowLevel::floating) + 1);
  panel.show();
  panel.setLevel(WindowLevel::frontOfDock);
  EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(panel.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(panel.isVisible());
  panel.setLevel(WindowLevel::normal);
  EXPECT_FALSE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  panel.setIgnoresMouseEvents(true);
  EXPECT_TRUE(panel.ignoresMouseEvents());
  EXPECT_TRUE(panel.windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
  panel.setIgnoresMouseEvents(false);
  EXPECT_FALSE(panel.windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
}

TEST(Window, ReplacingTheContentViewFillsTheWindow) {
  Window window;
  window.setContentSize({300, 200});
  QPointer<QWidget> first = window.contentView();
  auto* view = new QWidget;
  window.setContentView(view);
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(view->geometry(), QRect(0, 0, 300, 200));
  window.setContentSize({320, 240});
  EXPECT_EQ(view->geometry(), QRect(0, 0, 320, 240));
}

TEST(Window, KnowsEveryLiveWindowInCreationOrder) {
  const std::size_t before = Window::windows().size();
  auto first = std::make_unique<Window>();
  Panel second;
  auto all = Window::windows();
  ASSERT_EQ(all.size(), before + 2);
  EXPECT_EQ(all[before], first.get());
  EXPECT_EQ(all[before + 1], &second);
  first.reset();
  EXPECT_EQ(Window::windows().size(), before + 1);
}

TEST(Window, ChildrenLetGoOfAParentBeingDestroyed) {
  auto* parent = new Panel;
  auto child = std::make_unique<Panel>();
  parent->addChildWindow(child.get());
  Window* seenParent = parent;
  // Observers of `destroyed` run while the parent is half torn down; the child
  // must not point at it any more, so it can even be destroyed from there.
  QObject::connect(parent, &QObject::destroyed, [&] {
    seenParent = child->parentWindow();
    child.reset();
  });
  delete parent;
  EXPECT_EQ(seenParent, nullptr);
  EXPECT_EQ(child, nullptr);
}

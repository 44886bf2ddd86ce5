#include "platform/ui/WindowDecoration.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/VirtualServer.h"

#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using pf::EdgeInsets;
using pf::WindowDecoration;

namespace {

/// As much of a window manager as telling a frame takes: it announces the
/// features it has and records `extents` (left, right, top, bottom) on each
/// window that asks for them, until `done`.
void frameTeller(const QByteArray& display, bool answersRequests, std::atomic<bool>& ready, std::atomic<bool>& done) {
  Display* connection = XOpenDisplay(display.constData());
  if (!connection) {
    ADD_FAILURE() << "the manager could not connect to " << display.constData();
    ready = true;
    return;
  }
  const Window root = DefaultRootWindow(connection);
  const Atom request = XInternAtom(connection, "_NET_REQUEST_FRAME_EXTENTS", False);
  const Atom extentsAtom = XInternAtom(connection, "_NET_FRAME_EXTENTS", False);
  const long features[] = {long(extentsAtom), long(request)};
  XChangeProperty(connection, root, XInternAtom(connection, "_NET_SUPPORTED", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(features), answersRequests ? 2 : 1);
  XSelectInput(connection, root, SubstructureRedirectMask);
  XSync(connection, False);
  ready = true;
  const long extents[] = {3, 4, 24, 6};
  while (!done) {
    if (XPending(connection) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    XEvent event;
    XNextEvent(connection, &event);
    if (event.type == ClientMessage && event.xclient.message_type == request) {
      XChangeProperty(connection, event.xclient.window, extentsAtom, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(extents), 4);
      XFlush(connection);
    }
  }
  XCloseDisplay(connection);
}

}  // namespace

// Prints the frame the window manager tells for a titled window not shown yet.
WENDLE_TEST_HELPER(tellFrame) {
  QWidget window;
  window.setWindowTitle(QStringLiteral("Framed"));
  const EdgeInsets e = WindowDecoration::extents(&window);
  test::tellParent(QByteArray::number(e.top) + ' ' + QByteArray::number(e.left) + ' ' + QByteArray::number(e.bottom) +
                   ' ' + QByteArray::number(e.right));
  return 0;
}

TEST(WindowDecoration, TheManagerTellsTheFrameBeforeTheWindowShowsAndATitleBarsRoomIsKeptWhereItCannot) {
  QWidget window;
  EXPECT_EQ(WindowDecoration::extents(&window), EdgeInsets{}) << "no window system, no frame";

  test::VirtualServer server;
  if (server.name().isEmpty()) GTEST_SKIP() << "no Xvfb could be started";
  struct Case {
    const char* name;
    bool answersRequests;
    QByteArray told;
  };
  const Case cases[] = {
      {"a manager that answers", true, "24 3 6 4"},
      {"a manager that cannot", false, QByteArray::number(WindowDecoration::titleBarAllowance) + " 0 0 0"},
  };
  for (const Case& c : cases) {
    std::atomic<bool> ready = false;
    std::atomic<bool> done = false;
    std::thread manager(frameTeller, server.name(), c.answersRequests, std::ref(ready), std::ref(done));
    while (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // The helper inherits the environment it starts with; this process keeps its own display.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DISPLAY", server.name());
    test::ChildProcess helper(QStringLiteral("tellFrame"), {});
    qputenv("QT_QPA_PLATFORM", platform);
    if (display.isEmpty())
      qunsetenv("DISPLAY");
    else
      qputenv("DISPLAY", display);
    EXPECT_TRUE(helper.waitForLine(c.told))
        << c.name << ": " << helper.lines().join(' ').toStdString() << helper.errors().toStdString();
    EXPECT_EQ(helper.finish(), 0) << c.name;
    done = true;
    manager.join();
  }
}

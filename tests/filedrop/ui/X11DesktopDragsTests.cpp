#include "filedrop/ui/X11DesktopDrags.h"
#include "support/EventLoop.h"
#include "support/VirtualServer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

/// Another X client that starts a drag: it takes the drag selection and
/// answers one request for its URIs with `uris`, or refuses the request when
/// `uris` is empty (a drag of plain text). The answer is sent twice, as a slow
/// client's late reply would arrive after the wait for it ended.
void dragSource(const QByteArray& display, const QByteArray& uris, std::atomic<bool>& answered) {
  Display* connection = XOpenDisplay(display.constData());
  const Window window =
      XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 1, 1, 0, 0, 0);
  const Atom selection = XInternAtom(connection, "XdndSelection", False);
  const Atom uriList = XInternAtom(connection, "text/uri-list", False);
  XSetSelectionOwner(connection, selection, window, CurrentTime);
  XFlush(connection);
  while (!answered) {
    if (XPending(connection) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    XEvent event;
    XNextEvent(connection, &event);
    if (event.type != SelectionRequest) continue;
    const XSelectionRequestEvent& request = event.xselectionrequest;
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    if (request.target == uriList && !uris.isEmpty()) {
      XChangeProperty(connection, request.requestor, request.property, uriList, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(uris.constData()), int(uris.size()));
      reply.property = request.property;
    }
    for (int copy = 0; copy < 2; ++copy)
      XSendEvent(connection, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(connection);
    answered = true;
  }
  XCloseDisplay(connection);
}

}  // namespace

TEST(X11DesktopDrags, SeesADragStartAndReadsOnlyItsFiles) {
  test::VirtualServer server;
  if (server.name().isEmpty()) GTEST_SKIP() << "no Xvfb could be started";
  const std::unique_ptr<X11DesktopDrags> drags = X11DesktopDrags::open(server.name());
  ASSERT_TRUE(drags);
  int started = 0;
  drags->onDragStarted = [&] { ++started; };
  const long before = drags->changeCount();
  EXPECT_TRUE(drags->fileURLs().isEmpty());

  const struct {
    QByteArray uris;
    QList<QUrl> files;
  } drags_[] = {
      {"# dragged\r\nfile:///tmp/a%20b.txt\r\nhttps://example.org/\r\nfile:///tmp/c\r\n",
       {QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c")}},
      {"", {}},
  };
  int expectedStarts = 0;
  for (const auto& d : drags_) {
    std::atomic<bool> answered = false;
    std::thread source(dragSource, server.name(), d.uris, std::ref(answered));
    ++expectedStarts;
    EXPECT_TRUE(test::processEventsUntil([&] { return started == expectedStarts; }));
    EXPECT_EQ(drags->changeCount(), before + expectedStarts);
    EXPECT_EQ(drags->fileURLs(), d.files);
    answered = true;
    source.join();
    // The owner is gone; asking again reads the late reply, which starts no drag.
    EXPECT_TRUE(drags->fileURLs().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(started, expectedStarts);
  }
  EXPECT_FALSE(drags->pointer().leftButtonDown);
}

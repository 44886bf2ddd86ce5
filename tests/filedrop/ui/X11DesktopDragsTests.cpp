#include "filedrop/ui/X11DesktopDrags.h"
#include "support/EventLoop.h"
#include "support/VirtualServer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

/// Another X client that starts a drag: it takes the drag selection, counts
/// the requests for its URIs and, once `answer` is set, answers them with
/// `uris`, or refuses them when `uris` is empty (a drag of plain text). Each
/// answer is sent twice, as a slow client's late reply would come after the
/// first. Runs until `done` is set.
struct DragSource {
  QByteArray uris;
  std::atomic<bool> answer = false;
  std::atomic<bool> done = false;
  std::atomic<int> requests = 0;
  std::atomic<int> answered = 0;

  void run(const QByteArray& display) {
    Display* connection = XOpenDisplay(display.constData());
    const Window window = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 1, 1, 0, 0, 0);
    const Atom selection = XInternAtom(connection, "XdndSelection", False);
    const Atom uriList = XInternAtom(connection, "text/uri-list", False);
    XSetSelectionOwner(connection, selection, window, CurrentTime);
    XFlush(connection);
    std::vector<XSelectionRequestEvent> waiting;
    while (!done) {
      if (answer) {
        for (const XSelectionRequestEvent& request : waiting) reply(connection, request, uriList);
        answered += int(waiting.size());
        waiting.clear();
      }
      if (XPending(connection) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      XEvent event;
      XNextEvent(connection, &event);
      if (event.type != SelectionRequest) continue;
      ++requests;
      waiting.push_back(event.xselectionrequest);
    }
    XCloseDisplay(connection);
  }

  void reply(Display* connection, const XSelectionRequestEvent& request, Atom uriList) const {
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
  }
};

}  // namespace

TEST(X11DesktopDrags, AsksEachDragsSourceOnceAndTakesItsFilesWhenTheyCome) {
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
  } cases[] = {
      {"# dragged\r\nfile:///tmp/a%20b.txt\r\nhttps://example.org/\r\nfile:///tmp/c\r\n",
       {QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c")}},
      {"", {}},
  };
  int expectedStarts = 0;
  for (const auto& c : cases) {
    DragSource source;
    source.uris = c.uris;
    std::thread thread([&] { source.run(server.name()); });
    ++expectedStarts;
    EXPECT_TRUE(test::processEventsUntil([&] { return started == expectedStarts && source.requests == 1; }));
    EXPECT_EQ(drags->changeCount(), before + expectedStarts);
    EXPECT_TRUE(drags->fileURLs().isEmpty()) << "known before the source answered";

    source.answer = true;
    EXPECT_TRUE(test::processEventsUntil([&] { return source.answered == 1 && drags->fileURLs() == c.files; }));
    // The late copy of the answer changes nothing and starts no drag.
    for (int turn = 0; turn < 20; ++turn) {
      (void)drags->pointer();  // a round trip to the server, which delivers what was sent before it
      QCoreApplication::processEvents();
    }
    EXPECT_EQ(drags->fileURLs(), c.files);
    EXPECT_EQ(started, expectedStarts);
    EXPECT_EQ(source.requests, 1) << "the source is asked once a drag";
    source.done = true;
    thread.join();
  }
  EXPECT_FALSE(drags->pointer().leftButtonDown);
}

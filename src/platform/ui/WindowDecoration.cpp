#include "platform/ui/WindowDecoration.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <optional>
#include <vector>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pf {
namespace {

/// Reads a list of 32-bit values of `property` on `id`; empty when it is not set.
std::vector<long> readCardinals(Display* display, ::Window id, Atom property, Atom type, long longest) {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(display, id, property, 0, longest, False, type, &actualType, &format, &count, &remaining,
                         &data) == Success &&
      data && format == 32) {
    // Xlib hands 32-bit items back as longs.
    const long* items = reinterpret_cast<const long*>(data);
    values.assign(items, items + count);
  }
  if (data) XFree(data);
  return values;
}

/// The frame the manager recorded on the window: left, right, top, bottom.
std::optional<EdgeInsets> recordedExtents(Display* display, ::Window id) {
  const std::vector<long> widths =
      readCardinals(display, id, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 4);
  if (widths.size() != 4) return std::nullopt;
  return EdgeInsets{double(widths[2]), double(widths[0]), double(widths[3]), double(widths[1])};
}

bool managerSupports(Display* display, Atom feature) {
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  // Managers list a few hundred features at most.
  for (const long atom : readCardinals(display, DefaultRootWindow(display), supported, XA_ATOM, 1024))
    if (Atom(atom) == feature) return true;
  return false;
}

/// Asks the manager to record the frame it would give the window, and waits briefly for it.
std::optional<EdgeInsets> requestedExtents(Display* display, ::Window id) {
  const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  if (!managerSupports(display, request)) return std::nullopt;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = id;
  event.xclient.message_type = request;
  event.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  // Qt reads the connection's events on its own thread, so the answer is
  // watched for on the property itself.
  const QDeadlineTimer deadline(WindowDecoration::answerMilliseconds);
  do {
    if (std::optional<EdgeInsets> extents = recordedExtents(display, id)) return extents;
    QThread::msleep(1);
  } while (!deadline.hasExpired());
  return std::nullopt;
}

}  // namespace

EdgeInsets WindowDecoration::extents(QWidget* window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || !window) return {};
  const auto id = static_cast<::Window>(window->winId());
  if (std::optional<EdgeInsets> recorded = recordedExtents(display, id)) return *recorded;
  return requestedExtents(display, id).value_or(EdgeInsets{titleBarAllowance, 0, 0, 0});
}

}  // namespace pf

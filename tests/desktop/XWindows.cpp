#include "desktop/XWindows.h"

#include "desktop/Wait.h"

#include <QThread>
// Xlib last: its macros would break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace desk {
namespace {

QRect geometryOf(Display* display, WindowId window) {
  Window root, child;
  int x, y, rootX, rootY;
  unsigned width, height, border, depth;
  XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
  XTranslateCoordinates(display, window, root, 0, 0, &rootX, &rootY, &child);
  return {rootX, rootY, int(width), int(height)};
}

bool hasProperty(Display* display, WindowId window, const char* name) {
  Atom type = None;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 0, False, AnyPropertyType, &type, &format,
                     &items, &after, &data);
  if (data) XFree(data);
  return type != None;
}

/// The program's window inside a manager's frame: the one with WM_STATE.
Window clientIn(Display* display, Window frame, int depth = 0) {
  if (hasProperty(display, frame, "WM_STATE")) return frame;
  if (depth == 3) return None;
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, frame, &root, &parent, &children, &count)) return None;
  Window found = None;
  for (unsigned i = 0; i < count && found == None; ++i) found = clientIn(display, children[i], depth + 1);
  if (children) XFree(children);
  return found;
}

}  // namespace

std::vector<TopWindow> XWindows::shown() const {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count);
  std::vector<TopWindow> windows;
  for (unsigned i = 0; i < count; ++i)
    if (std::optional<TopWindow> window = describe(children[i])) windows.push_back(*window);
  if (children) XFree(children);
  return windows;
}

std::optional<TopWindow> XWindows::describe(WindowId child) const {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(m_display, child, &attributes) || attributes.map_state != IsViewable) return std::nullopt;
  TopWindow window;
  window.frame = child;
  window.managed = !attributes.override_redirect;
  window.id = window.managed ? clientIn(m_display, child) : child;
  // The manager's own decorations and popups hold no client.
  if (window.id == None) return std::nullopt;
  window.title = titleOf(window.id);
  window.frameRect = geometryOf(m_display, child);
  window.clientRect = geometryOf(m_display, window.id);
  // The manager keeps a window of its own mapped off screen, where nobody sees it.
  const QRect screen(0, 0, DisplayWidth(m_display, DefaultScreen(m_display)),
                     DisplayHeight(m_display, DefaultScreen(m_display)));
  if (!window.frameRect.intersects(screen)) return std::nullopt;
  return window;
}

QString XWindows::titleOf(WindowId window) const {
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  QString title;
  if (XGetWindowProperty(m_display, window, XInternAtom(m_display, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(m_display, "UTF8_STRING", False), &type, &format, &items, &after,
                         &data) == Success &&
      data && items > 0)
    title = QString::fromUtf8(reinterpret_cast<char*>(data), qsizetype(items));
  if (data) XFree(data);
  if (title.isEmpty()) {
    char* name = nullptr;
    if (XFetchName(m_display, window, &name) && name) title = QString::fromLatin1(name);
    if (name) XFree(name);
  }
  return title;
}

std::optional<TopWindow> XWindows::find(const QString& title) const {
  const std::vector<TopWindow> windows = shown();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (it->title == title) return *it;
  return std::nullopt;
}

std::optional<TopWindow> XWindows::waitFor(const QString& title, int ms) const {
  std::optional<TopWindow> window;
  waitUntil([&] { return (window = find(title)).has_value(); }, ms);
  return window;
}

std::optional<TopWindow> XWindows::settled(const QString& title) const {
  std::optional<TopWindow> window = waitFor(title);
  // A program may place a window just after it shows; two looks 150 ms apart agree once it has.
  for (int look = 0; window && look < 20; ++look) {
    QThread::msleep(150);
    const std::optional<TopWindow> again = find(title);
    if (again && again->frameRect == window->frameRect) return again;
    window = again;
  }
  return window;
}

bool XWindows::waitGone(const QString& title, int ms) const {
  return waitUntil([&] { return !find(title); }, ms);
}

std::vector<TopWindow> XWindows::covering(const TopWindow& window) const {
  const std::vector<TopWindow> windows = shown();
  std::vector<TopWindow> above;
  bool passed = false;
  for (const TopWindow& other : windows) {
    if (passed && other.frameRect.intersects(window.frameRect)) above.push_back(other);
    passed = passed || other.frame == window.frame;
  }
  return above;
}

std::optional<TopWindow> XWindows::underPointer() const {
  Window root, child;
  int rootX, rootY, x, y;
  unsigned mask;
  XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return child == None ? std::nullopt : describe(child);
}

std::vector<Window> XWindows::listed() const {
  std::vector<Window> windows;
  for (long id : cardinals(DefaultRootWindow(m_display), "_NET_CLIENT_LIST_STACKING", XA_WINDOW))
    windows.push_back(Window(id));
  return windows;
}

bool XWindows::takesNoInput(WindowId window) const {
  int count = 0, ordering = 0;
  XRectangle* rectangles = XShapeGetRectangles(m_display, window, ShapeInput, &count, &ordering);
  if (rectangles) XFree(rectangles);
  return count == 0;
}

long XWindows::desktopOf(WindowId window) const {
  const std::vector<long> values = cardinals(window, "_NET_WM_DESKTOP", XA_CARDINAL);
  return values.empty() ? -1 : long(static_cast<unsigned long>(values[0]) & 0xFFFFFFFFul);
}

QRect XWindows::workArea() const {
  const std::vector<long> area = cardinals(DefaultRootWindow(m_display), "_NET_WORKAREA", XA_CARDINAL);
  const std::size_t at = std::size_t(currentDesktop()) * 4;
  if (area.size() < at + 4) return {};
  return {int(area[at]), int(area[at + 1]), int(area[at + 2]), int(area[at + 3])};
}

int XWindows::currentDesktop() const {
  const std::vector<long> values = cardinals(DefaultRootWindow(m_display), "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  return values.empty() ? 0 : int(values[0]);
}

void XWindows::switchToDesktop(int desktop) {
  ask(DefaultRootWindow(m_display), "_NET_CURRENT_DESKTOP", desktop, CurrentTime);
  waitUntil([&] { return currentDesktop() == desktop; }, 5000);
}

void XWindows::minimise(WindowId window) { ask(window, "WM_CHANGE_STATE", IconicState); }

// Source 2: the request comes from a pager or taskbar, which the manager always obeys.
void XWindows::activate(WindowId window) { ask(window, "_NET_ACTIVE_WINDOW", 2, CurrentTime); }

std::vector<long> XWindows::cardinals(WindowId window, const char* property, Atom type) const {
  Atom actual;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(m_display, window, XInternAtom(m_display, property, False), 0, 4096, False, type, &actual,
                         &format, &items, &after, &data) == Success &&
      data && format == 32) {
    const long* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + items);
  }
  if (data) XFree(data);
  return values;
}

void XWindows::ask(WindowId window, const char* message, long first, long second) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(m_display, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = first;
  event.xclient.data.l[1] = second;
  XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XSync(m_display, False);
}

}  // namespace desk

#include "platform/ui/Window.h"

#include "platform/core/NotificationCenter.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Screens.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pf {
namespace {

std::vector<Window*>& registry() {
  static std::vector<Window*> windows;
  return windows;
}

}  // namespace

Window::Window() : Window(Qt::Window) {}

Window::Window(Qt::WindowFlags flags) : QWidget(nullptr, flags) {
  m_contentView = new QWidget(this);
  m_notedGeometry = geometry();
  registry().push_back(this);
}

Window::~Window() {
  std::erase(registry(), this);
  if (m_parent) m_parent->removeChildWindow(this);
  // A child destroyed while this window's QWidget part is still being torn
  // down (from a `destroyed` handler, say) must not reach back into it.
  for (const QPointer<Window>& child : m_children)
    if (child) child->m_parent = nullptr;
}

std::vector<Window*> Window::windows() { return registry(); }

void Window::setJoinsAllSpaces(bool joins) {
  if (joins == m_joinsAllSpaces) return;
  m_joinsAllSpaces = joins;
  applyDesktops(isVisible());
}

void Window::applyDesktops(bool mapped) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || !windowHandle()) return;  // applied when the window is made and shown
  const auto id = static_cast<::Window>(winId());
  const Atom desktopAtom = XInternAtom(display, "_NET_WM_DESKTOP", False);
  long desktop = 0xFFFFFFFF;  // every desktop
  if (!m_joinsAllSpaces) {
    const Atom currentAtom = XInternAtom(display, "_NET_CURRENT_DESKTOP", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), currentAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success && data && count == 1) {
      desktop = *reinterpret_cast<long*>(data);
    } else {
      desktop = 0;
    }
    if (data) XFree(data);
  }
  if (mapped) {
    // A mapped window asks the window manager, which owns the property then.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = desktopAtom;
    event.xclient.format = 32;
    event.xclient.data.l[0] = desktop;
    event.xclient.data.l[1] = 1;  // from an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  } else if (m_joinsAllSpaces) {
    // Read by the window manager when it maps the window.
    XChangeProperty(display, id, desktopAtom, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&desktop), 1);
  } else {
    XDeleteProperty(display, id, desktopAtom);
  }
  XFlush(display);
}

void Window::setContentView(QWidget* view) {
  if (!view || view == m_contentView) return;
  delete m_contentView;
  m_contentView = view;
  view->setParent(this);
  view->setGeometry(rect());
  view->show();
}

Rect Window::frame() const { return Screens::toYUp(geometry()); }

void Window::setFrame(const Rect& frame) {
  placeGeometry(Screens::toQt(frame));
  noteGeometry();
}

void Window::setFrameOrigin(Point origin) { setFrame(Rect(origin, frame().size)); }

Size Window::contentSize() const { return {double(width()), double(height())}; }

void Window::setContentSize(Size size) {
  resize(int(std::lround(size.width)), int(std::lround(size.height)));
  noteGeometry();
}

void Window::center() {
  const Rect visible = Screens::visibleFrame(Screens::of(this));
  const Size size = contentSize();
  setFrameOrigin({std::round(visible.midX() - size.width / 2),
                  std::round(visible.midY() - size.height / 2)});
}

void Window::setLevel(WindowLevel level) {
  if (level == m_level) return;
  m_level = level;
  setWindowFlagLive(Qt::WindowStaysOnTopHint, level != WindowLevel::normal);
  if (isVisible()) {
    bringToFront();
    raiseHigherLevels();
  }
}

void Window::setCanBecomeKey(bool canBecomeKey) {
  m_canBecomeKey = canBecomeKey;
  setWindowFlagLive(Qt::WindowDoesNotAcceptFocus, !canBecomeKey);
}

bool Window::isKey() const { return isActiveWindow(); }

void Window::orderFront() {
  show();
  bringToFront();
  raiseHigherLevels();
}

void Window::makeKeyAndOrderFront() {
  orderFront();
  if (m_canBecomeKey) activateWindow();
}

void Window::orderOut() { hide(); }

void Window::bringToFront() { raise(); }

void Window::moveWithParent(QPoint delta) {
  move(pos() + delta);
  noteGeometry();
}

void Window::placeGeometry(const QRect& geometry) { setGeometry(geometry); }

void Window::performClose() {
  m_askBeforeClosing = true;
  QWidget::close();
  m_askBeforeClosing = false;
}

void Window::addChildWindow(Window* child) {
  if (!child || child == this || m_children.contains(child)) return;
  if (child->m_parent) child->m_parent->removeChildWindow(child);
  child->m_parent = this;
  m_children.append(child);
}

void Window::removeChildWindow(Window* child) {
  if (!child || !m_children.removeAll(child)) return;
  m_childrenHiddenWithMe.removeAll(child);
  child->m_parent = nullptr;
}

QList<Window*> Window::childWindows() const {
  QList<Window*> children;
  for (const QPointer<Window>& child : m_children)
    if (child) children.append(child);
  return children;
}

bool Window::ignoresMouseEvents() const {
  return windowFlags().testFlag(Qt::WindowTransparentForInput);
}

void Window::setIgnoresMouseEvents(bool ignores) {
  setWindowFlagLive(Qt::WindowTransparentForInput, ignores);
}

bool Window::setTranslucentBackground(bool translucent) {
  const bool on = translucent && Compositor::isActive();
  setAttribute(Qt::WA_TranslucentBackground, on);
  return on;
}

void Window::setBlurBehind(const QRegion& region) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return;
  const auto id = static_cast<::Window>(winId());
  const Atom blur = XInternAtom(display, "_KDE_NET_WM_BLUR_BEHIND_REGION", False);
  if (region.isEmpty()) {
    XDeleteProperty(display, id, blur);
  } else {
    // x, y, width and height of each rectangle in device pixels; an empty
    // list would blur the whole window.
    const qreal ratio = devicePixelRatioF();
    std::vector<long> rectangles;
    for (const QRect& r : region) {
      const QRect pixels = QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio).toAlignedRect();
      rectangles.insert(rectangles.end(), {pixels.x(), pixels.y(), pixels.width(), pixels.height()});
    }
    XChangeProperty(display, id, blur, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(rectangles.data()), int(rectangles.size()));
  }
  XFlush(display);
}

bool Window::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate)
    NotificationCenter::defaultCenter().post(didBecomeKeyNotification, this);
  return QWidget::event(event);
}

void Window::closeEvent(QCloseEvent* event) {
  // Only a close the user started asks: the close button arrives as a
  // spontaneous event, performClose() sets the flag; close() from code never asks.
  const bool ask = m_askBeforeClosing || event->spontaneous();
  if (ask && shouldClose && !shouldClose()) {
    event->ignore();
    return;
  }
  event->accept();
  QPointer<Window> self(this);
  NotificationCenter::defaultCenter().post(willCloseNotification, this);
  if (self && onWillClose) onWillClose();
}

// While the window manager frames a window it maps, the window sits for a
// moment in its new frame at the frame's first place (openbox makes frames at
// the screen's corner), and Qt, which asks the server where the window is
// instead of trusting the event, reports a move there. The window shows where
// the program put it: a window the program placed keeps that place until it
// is on screen, so its frame reads right from the moment it is shown.
void Window::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  const bool onScreen = windowHandle() && windowHandle()->isExposed();
  if (event->spontaneous() && !onScreen && testAttribute(Qt::WA_Moved) && pos() != m_notedGeometry.topLeft()) {
    placeGeometry(QRect(m_notedGeometry.topLeft(), size()));
    return;
  }
  noteGeometry();
}

void Window::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_contentView->setGeometry(rect());
  noteGeometry();
}

void Window::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Sent before the window is mapped, when the window manager still reads the property.
  if (m_joinsAllSpaces && !event->spontaneous()) applyDesktops(false);
  // Keeps a child above its parent on the desktop; set before the window is mapped.
  if (m_parent && windowHandle() && m_parent->windowHandle())
    windowHandle()->setTransientParent(m_parent->windowHandle());
  const auto hidden = std::exchange(m_childrenHiddenWithMe, {});
  for (const QPointer<Window>& child : hidden)
    if (child && child->m_parent == this) child->show();
  raiseHigherLevels();
}

void Window::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // Minimised, or on another desktop: the window manager hides the child
  // windows with it and brings them back. Hiding them here as well made it
  // keep the window minimised when its desktop came back.
  if (event->spontaneous()) return;
  for (const QPointer<Window>& child : m_children) {
    if (child && child->isVisible()) {
      m_childrenHiddenWithMe.append(child);
      child->hide();
    }
  }
}

void Window::setCloseButtonEnabled(bool enabled) {
  // Once the hints are spelled out, the window manager offers just the buttons they name.
  Qt::WindowFlags flags = windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
  flags.setFlag(Qt::WindowCloseButtonHint, enabled);
  setWindowFlagsLive(flags);
}

void Window::setWindowFlagLive(Qt::WindowType flag, bool on) {
  Qt::WindowFlags flags = windowFlags();
  flags.setFlag(flag, on);
  setWindowFlagsLive(flags);
}

void Window::setWindowFlagsLive(Qt::WindowFlags flags) {
  if (flags == windowFlags()) return;
  if (QWindow* handle = windowHandle()) {
    overrideWindowFlags(flags);
    handle->setFlags(flags);
  } else {
    setWindowFlags(flags);
  }
}

void Window::noteGeometry() {
  const QRect now = geometry();
  if (now == m_notedGeometry) return;
  const QRect before = std::exchange(m_notedGeometry, now);
  QPointer<Window> self(this);
  if (now.topLeft() != before.topLeft()) {
    const QPoint delta = now.topLeft() - before.topLeft();
    for (const QPointer<Window>& child : m_children)
      if (child) child->moveWithParent(delta);
    NotificationCenter::defaultCenter().post(didMoveNotification, this);
  }
  if (self && now.size() != before.size()) {
    // A hidden window gets its resize event only when shown; the content view
    // must fit at once.
    m_contentView->setGeometry(rect());
    NotificationCenter::defaultCenter().post(didResizeNotification, this);
  }
}

void Window::raiseHigherLevels() {
  std::vector<Window*> higher;
  for (Window* window : registry())
    if (window != this && window->isVisible() && window->m_level > m_level) higher.push_back(window);
  std::stable_sort(higher.begin(), higher.end(),
                   [](const Window* a, const Window* b) { return a->m_level < b->m_level; });
  for (Window* window : higher) window->bringToFront();
}

}  // namespace pf

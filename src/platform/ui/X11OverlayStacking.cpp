#include "platform/ui/X11OverlayStacking.h"

#include "platform/ui/OverlayPanel.h"

#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace pf {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

/// Never destroyed while an overlay is held: at exit its notifier must not
/// outlive the application object.
X11OverlayStacking*& shared() {
  static X11OverlayStacking* stacking = nullptr;
  return stacking;
}

std::optional<std::uint32_t> cardinal(const xcb_get_property_reply_t* reply) {
  if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32 || xcb_get_property_value_length(reply) < 4)
    return std::nullopt;
  return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
}

bool holdsAtom(const xcb_get_property_reply_t* reply, std::uint32_t atom) {
  if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32) return false;
  const auto* atoms = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
  const int count = xcb_get_property_value_length(reply) / 4;
  return std::find(atoms, atoms + count, atom) != atoms + count;
}

}  // namespace

bool X11OverlayStacking::applies() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

std::optional<bool> X11OverlayStacking::hold(OverlayPanel& overlay) {
  X11OverlayStacking*& stacking = shared();
  if (!stacking) stacking = open().release();
  if (!stacking) return std::nullopt;
  std::vector<Held>& held = stacking->m_held;
  auto it = std::find_if(held.begin(), held.end(), [&](const Held& h) { return h.overlay == &overlay; });
  if (it == held.end()) {
    it = held.insert(held.end(), Held{});
    it->overlay = &overlay;
  }
  // Made before the stacking is read, so a new overlay is placed before it is first mapped.
  overlay.winId();
  const bool onScreen = stacking->place(*it, stacking->readDesktop());
  stacking->takeEvents(true);
  return onScreen;
}

void X11OverlayStacking::release(OverlayPanel& overlay) {
  X11OverlayStacking*& stacking = shared();
  if (!stacking) return;
  std::erase_if(stacking->m_held, [&](const Held& held) { return !held.overlay || held.overlay == &overlay; });
  if (!stacking->m_held.empty()) return;
  // Later: the last release may come while it tells its overlays.
  stacking->deleteLater();
  stacking = nullptr;
}

std::unique_ptr<X11OverlayStacking> X11OverlayStacking::open() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return nullptr;
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(DisplayString(display), &screen);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return nullptr;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (; screens.rem && screen > 0; --screen) xcb_screen_next(&screens);
  return std::unique_ptr<X11OverlayStacking>(new X11OverlayStacking(connection, screens.data->root));
}

X11OverlayStacking::X11OverlayStacking(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection), m_root(root) {
  const std::array<const char*, 4> names{"_NET_CURRENT_DESKTOP", "_NET_WM_DESKTOP", "_NET_WM_STATE",
                                         "_NET_WM_STATE_HIDDEN"};
  std::array<xcb_intern_atom_cookie_t, 4> cookies{};
  for (std::size_t i = 0; i < names.size(); ++i)
    cookies[i] = xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(names[i])), names[i]);
  std::array<xcb_atom_t*, 4> atoms{&m_currentDesktopAtom, &m_desktopAtom, &m_stateAtom, &m_hiddenAtom};
  for (std::size_t i = 0; i < names.size(); ++i) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
    *atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  }
  const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &rootEvents);
  xcb_flush(m_connection);

  m_update.setSingleShot(true);
  m_update.setInterval(0);
  connect(&m_update, &QTimer::timeout, this, [this] { updateAll(); });
  m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { takeEvents(false); });
}

X11OverlayStacking::~X11OverlayStacking() {
  m_notifier.reset();
  xcb_disconnect(m_connection);
}

X11OverlayStacking::Desktop X11OverlayStacking::readDesktop() const {
  const auto treeCookie = xcb_query_tree(m_connection, m_root);
  const auto currentCookie = xcb_get_property(m_connection, 0, m_root, m_currentDesktopAtom, XCB_ATOM_CARDINAL, 0, 1);
  Desktop desktop;
  if (Reply<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(m_connection, treeCookie, nullptr)}) {
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    desktop.stackingBottomFirst.assign(children, children + xcb_query_tree_children_length(tree.get()));
  }
  Reply<xcb_get_property_reply_t> current{xcb_get_property_reply(m_connection, currentCookie, nullptr)};
  desktop.current = cardinal(current.get());
  return desktop;
}

std::optional<DecoratedWindow> X11OverlayStacking::readWindow(xcb_window_t window) const {
  const auto attributesCookie = xcb_get_window_attributes(m_connection, window);
  const auto desktopCookie = xcb_get_property(m_connection, 0, window, m_desktopAtom, XCB_ATOM_CARDINAL, 0, 1);
  const auto stateCookie = xcb_get_property(m_connection, 0, window, m_stateAtom, XCB_ATOM_ATOM, 0, 64);
  const std::optional<std::uint32_t> frame = topLevelOf(window);
  Reply<xcb_get_window_attributes_reply_t> attributes{
      xcb_get_window_attributes_reply(m_connection, attributesCookie, nullptr)};
  Reply<xcb_get_property_reply_t> desktop{xcb_get_property_reply(m_connection, desktopCookie, nullptr)};
  Reply<xcb_get_property_reply_t> state{xcb_get_property_reply(m_connection, stateCookie, nullptr)};
  if (!frame || !attributes) return std::nullopt;
  DecoratedWindow decorated;
  decorated.frame = *frame;
  decorated.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  decorated.hidden = holdsAtom(state.get(), m_hiddenAtom);
  decorated.desktop = cardinal(desktop.get());
  return decorated;
}

std::optional<xcb_window_t> X11OverlayStacking::topLevelOf(xcb_window_t window) const {
  while (true) {
    Reply<xcb_query_tree_reply_t> tree{
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr)};
    if (!tree) return std::nullopt;
    if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE) return window;
    window = tree->parent;
  }
}

std::optional<std::pair<QPoint, std::uint32_t>> X11OverlayStacking::originOf(xcb_window_t window) const {
  const xcb_get_geometry_cookie_t cookie = xcb_get_geometry(m_connection, window);
  Reply<xcb_get_geometry_reply_t> geometry{xcb_get_geometry_reply(m_connection, cookie, nullptr)};
  if (!geometry) return std::nullopt;
  return std::pair{QPoint(geometry->x, geometry->y), cookie.sequence};
}

std::optional<QPoint> X11OverlayStacking::offsetIn(xcb_window_t window, xcb_window_t ancestor) const {
  Reply<xcb_translate_coordinates_reply_t> offset{xcb_translate_coordinates_reply(
      m_connection, xcb_translate_coordinates(m_connection, window, ancestor, 0, 0), nullptr)};
  if (!offset) return std::nullopt;
  return QPoint(offset->dst_x, offset->dst_y);
}

bool X11OverlayStacking::place(Held& held, const Desktop& desktop) {
  OverlayPanel& overlay = *held.overlay;
  const Window* parent = overlay.parentWindow();
  if (!parent) return true;
  const auto parentId = xcb_window_t(parent->internalWinId());
  if (!parentId) return false;  // never shown
  watch(parentId);
  const std::optional<DecoratedWindow> decorated = readWindow(parentId);
  if (!decorated) return false;
  const auto overlayId = xcb_window_t(overlay.internalWinId());
  if (decorated->needsRestack(desktop.stackingBottomFirst, overlayId)) {
    const std::array<std::uint32_t, 2> values{decorated->frame, XCB_STACK_MODE_ABOVE};
    xcb_configure_window(m_connection, overlayId, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                         values.data());
    // Sent now, ahead of a map Qt may send for the overlay on its own connection.
    xcb_flush(m_connection);
  }
  if (held.frame != decorated->frame) {
    held.frame = decorated->frame;
    held.frameAt.reset();
  }
  held.parentInFrame = offsetIn(parentId, decorated->frame).value_or(QPoint());
  if (const auto origin = originOf(decorated->frame)) follow(held, origin->first, origin->second);
  return decorated->isOnScreen(desktop.current);
}

void X11OverlayStacking::follow(Held& held, QPoint frameAt, std::uint32_t sequence) {
  // An event read after a reply may still tell of a move before it (openbox
  // animates a frame it minimises or restores): taken last, it would stick.
  if (held.frameAt && std::int32_t(sequence - held.frameAtSequence) < 0) return;
  held.frameAt = frameAt;
  held.frameAtSequence = sequence;
  if (!held.overlay) return;
  const QPointF parentAt = QPointF(frameAt + held.parentInFrame) / held.overlay->devicePixelRatioF();
  held.overlay->followParentTo(parentAt.toPoint());
}

void X11OverlayStacking::watch(xcb_window_t window) {
  if (!m_watched.insert(window).second) return;
  const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &events);
}

void X11OverlayStacking::updateAll() {
  const Desktop desktop = readDesktop();
  // By index: a panel that hides or shows may lead its owner to release another.
  for (std::size_t i = 0; i < m_held.size(); ++i) {
    const QPointer<OverlayPanel> overlay = m_held[i].overlay;
    if (overlay) overlay->showWithParent(place(m_held[i], desktop));
  }
  takeEvents(true);
}

void X11OverlayStacking::takeEvents(bool queuedOnly) {
  // Waiting for a reply reads every event before it into xcb's queue, where
  // the socket notifier never sees it.
  while (xcb_generic_event_t* event =
             queuedOnly ? xcb_poll_for_queued_event(m_connection) : xcb_poll_for_event(m_connection)) {
    if (takeEvent(*event)) m_update.start();
    std::free(event);
  }
}

bool X11OverlayStacking::takeEvent(const xcb_generic_event_t& event) {
  switch (event.response_type & 0x7F) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
      if (configure.event != m_root) return false;
      for (Held& held : m_held)
        if (held.frame == configure.window) follow(held, QPoint(configure.x, configure.y), event.full_sequence);
      // A move or resize keeps the order; only a restack asks for a look.
      const auto [seen, isNew] = m_above.try_emplace(configure.window, configure.above_sibling);
      if (!isNew && seen->second == configure.above_sibling) return false;
      seen->second = configure.above_sibling;
      return true;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto& destroy = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
      m_above.erase(destroy.window);
      m_watched.erase(destroy.window);
      return false;
    }
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CIRCULATE_NOTIFY: return true;
    case XCB_PROPERTY_NOTIFY: {
      const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      return property.atom == m_currentDesktopAtom || property.atom == m_desktopAtom || property.atom == m_stateAtom;
    }
    default: return false;  // errors about windows that went meanwhile among them
  }
}

}  // namespace pf

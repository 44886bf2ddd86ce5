#pragma once

#include "platform/ui/DecoratedWindow.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <xcb/xcb.h>

namespace pf {

class OverlayPanel;

/// Keeps override-redirect overlays directly above the frames of the windows
/// they decorate, moves them with those frames, and hides them while those
/// windows are off screen. No window manager stacks or moves such a window,
/// so it watches the desktop on its own X connection: the root's children
/// being mapped, unmapped, moved or restacked, the current desktop, and each
/// decorated window's desktop and state. A restack or a change of what is
/// shown reaches every held overlay once, on the next turn of the event
/// loop; a frame's move costs no round trip. The connection is open exactly
/// while some overlay is held. Main thread only.
class X11OverlayStacking final : public QObject {
 public:
  ~X11OverlayStacking() override;

  /// Whether overlays are override-redirect windows kept here: on X11 only.
  static bool applies();
  /// Places `overlay` directly above its parent's frame, keeps it there until
  /// released, and tells whether the parent is on screen. None when the
  /// display cannot be reached: then nothing holds the overlay.
  static std::optional<bool> hold(OverlayPanel& overlay);
  /// Stops keeping `overlay`; the connection closes with the last one.
  static void release(OverlayPanel& overlay);

 private:
  struct Desktop {
    std::vector<std::uint32_t> stackingBottomFirst;
    std::optional<std::uint32_t> current;
  };
  /// A held overlay, where its parent lies in its frame, and where that
  /// frame was as of a request of this connection.
  struct Held {
    QPointer<OverlayPanel> overlay;
    xcb_window_t frame = XCB_WINDOW_NONE;
    QPoint parentInFrame;
    std::optional<QPoint> frameAt;
    std::uint32_t frameAtSequence = 0;
  };

  X11OverlayStacking(xcb_connection_t* connection, xcb_window_t root);
  static std::unique_ptr<X11OverlayStacking> open();

  Desktop readDesktop() const;
  std::optional<DecoratedWindow> readWindow(xcb_window_t window) const;
  std::optional<xcb_window_t> topLevelOf(xcb_window_t window) const;
  /// The window's origin, with the sequence number of the request that read it.
  std::optional<std::pair<QPoint, std::uint32_t>> originOf(xcb_window_t window) const;
  /// Where `window`'s top-left corner lies in `ancestor`.
  std::optional<QPoint> offsetIn(xcb_window_t window, xcb_window_t ancestor) const;
  /// Restacks and moves the overlay where it belongs; true when its parent is on screen.
  bool place(Held& held, const Desktop& desktop);
  /// Moves the overlay with its parent, whose frame is at `frameAt` as seen
  /// after request `sequence`; what was seen before that is out of date.
  static void follow(Held& held, QPoint frameAt, std::uint32_t sequence);
  void watch(xcb_window_t window);
  void updateAll();
  /// Takes the events read so far; `queuedOnly` leaves the socket alone.
  void takeEvents(bool queuedOnly);
  /// Follows a frame's move at once; true when the event may change what
  /// shows or how it is stacked.
  bool takeEvent(const xcb_generic_event_t& event);

  xcb_connection_t* m_connection = nullptr;
  xcb_window_t m_root = XCB_WINDOW_NONE;
  xcb_atom_t m_currentDesktopAtom = XCB_ATOM_NONE;
  xcb_atom_t m_desktopAtom = XCB_ATOM_NONE;
  xcb_atom_t m_stateAtom = XCB_ATOM_NONE;
  xcb_atom_t m_hiddenAtom = XCB_ATOM_NONE;
  std::unique_ptr<QSocketNotifier> m_notifier;
  QTimer m_update;
  std::vector<Held> m_held;
  std::unordered_set<xcb_window_t> m_watched;
  /// The sibling each child of the root was last seen above.
  std::unordered_map<xcb_window_t, xcb_window_t> m_above;
};

}  // namespace pf

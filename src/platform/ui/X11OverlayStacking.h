#pragma once

#include "platform/ui/DecoratedWindow.h"

#include <QObject>
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
/// they decorate and hides them while those windows are off screen. No
/// window manager stacks such a window, so it watches the desktop on its own
/// X connection: the root's children being mapped, unmapped or restacked,
/// the current desktop, and each decorated window's desktop and state. A
/// change reaches every held overlay once, on the next turn of the event
/// loop; plain moves cost no round trip. The connection is open exactly
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

  X11OverlayStacking(xcb_connection_t* connection, xcb_window_t root);
  static std::unique_ptr<X11OverlayStacking> open();

  Desktop readDesktop() const;
  std::optional<DecoratedWindow> readWindow(xcb_window_t window) const;
  std::optional<xcb_window_t> topLevelOf(xcb_window_t window) const;
  /// Restacks `overlay` where it belongs; true when its parent is on screen.
  bool place(OverlayPanel& overlay, const Desktop& desktop);
  void watch(xcb_window_t window);
  void updateAll();
  /// Takes the events read so far; `queuedOnly` leaves the socket alone.
  void takeEvents(bool queuedOnly);
  bool changesPlacement(const xcb_generic_event_t& event);

  xcb_connection_t* m_connection = nullptr;
  xcb_window_t m_root = 0;
  xcb_atom_t m_currentDesktopAtom = 0;
  xcb_atom_t m_desktopAtom = 0;
  xcb_atom_t m_stateAtom = 0;
  xcb_atom_t m_hiddenAtom = 0;
  std::unique_ptr<QSocketNotifier> m_notifier;
  QTimer m_update;
  std::vector<QPointer<OverlayPanel>> m_overlays;
  std::unordered_set<xcb_window_t> m_watched;
  /// The sibling each child of the root was last seen above.
  std::unordered_map<xcb_window_t, xcb_window_t> m_above;
};

}  // namespace pf

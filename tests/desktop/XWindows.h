#pragma once

#include "desktop/XTypes.h"

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace desk {

/// A top-level window as a person sees it on screen.
struct TopWindow {
  /// The program's own window (for an override-redirect window, itself).
  WindowId id = 0;
  /// The window the manager wrapped it in, or the window itself when unmanaged.
  WindowId frame = 0;
  QString title;
  /// On screen, with the manager's frame.
  QRect frameRect;
  /// The program's own area on screen.
  QRect clientRect;
  /// The window manager reparented (framed) it.
  bool managed = false;
};

/// What another X client can learn of the windows on screen, and the few
/// requests a pager or taskbar sends the window manager.
class XWindows final {
 public:
  explicit XWindows(XDisplay* display) : m_display(display) {}

  /// Every top-level window shown (mapped and viewable), bottom to top as the server stacks them.
  std::vector<TopWindow> shown() const;
  /// The topmost shown window titled `title`.
  std::optional<TopWindow> find(const QString& title) const;
  /// Waits up to `ms` for a window titled `title` to show.
  std::optional<TopWindow> waitFor(const QString& title, int ms = 10000) const;
  /// Waits for a window titled `title` to show and then to stay where it is for a moment.
  std::optional<TopWindow> settled(const QString& title) const;
  /// Waits up to `ms` until no window titled `title` shows.
  bool waitGone(const QString& title, int ms = 10000) const;
  /// The shown windows above `window` that overlap it: what hides part of it.
  std::vector<TopWindow> covering(const TopWindow& window) const;
  /// The shown window that gets a click at the pointer (input shapes honoured).
  std::optional<TopWindow> underPointer() const;

  /// The windows the manager lists, bottom to top (`_NET_CLIENT_LIST_STACKING`).
  std::vector<WindowId> listed() const;
  /// Whether the window's input region is empty (clicks pass through it).
  bool takesNoInput(WindowId window) const;
  /// `_NET_WM_DESKTOP`: a desktop number, 0xFFFFFFFF for all, -1 when unset.
  long desktopOf(WindowId window) const;
  /// The desktop's area that windows may use (`_NET_WORKAREA`).
  QRect workArea() const;

  int currentDesktop() const;
  /// As a pager does: asks the manager to show another desktop.
  void switchToDesktop(int desktop);
  /// As a taskbar does: asks the manager to minimise the window.
  void minimise(WindowId window);
  /// As a taskbar does: asks the manager to restore, raise and focus the window.
  void activate(WindowId window);

 private:
  std::optional<TopWindow> describe(WindowId child) const;
  QString titleOf(WindowId window) const;
  std::vector<long> cardinals(WindowId window, const char* property, unsigned long type) const;
  void ask(WindowId window, const char* message, long first, long second = 0);

  XDisplay* m_display;
};

}  // namespace desk

#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace pf {

/// What the X server says of a window an overlay decorates: enough to decide
/// whether its overlay shows and where the overlay belongs in the stacking
/// order. Window managers differ in how they hide a window (openbox, xfwm4 and
/// Mutter unmap its frame; others move it off screen or only mark it), so
/// every sign is read and any one of them hides the overlay.
struct DecoratedWindow {
  /// `_NET_WM_DESKTOP` of a window shown on every desktop.
  static constexpr std::uint32_t allDesktops = 0xFFFFFFFF;

  /// The window's ancestor among the root's children: the manager's frame,
  /// or the window itself where nothing frames it.
  std::uint32_t frame = 0;
  /// The window and every ancestor are mapped.
  bool viewable = false;
  /// `_NET_WM_STATE_HIDDEN`: minimised, or otherwise not on screen.
  bool hidden = false;
  /// `_NET_WM_DESKTOP`, where the manager sets it.
  std::optional<std::uint32_t> desktop;

  /// Whether the window is on screen now that `currentDesktop` (the root's
  /// `_NET_CURRENT_DESKTOP`, where set) is shown.
  bool isOnScreen(std::optional<std::uint32_t> currentDesktop) const;
  /// Whether `overlay` must be restacked directly above `frame`, given the
  /// root's children bottom first. Nothing is asked of windows not in it.
  bool needsRestack(std::span<const std::uint32_t> stackingBottomFirst, std::uint32_t overlay) const;
};

}  // namespace pf

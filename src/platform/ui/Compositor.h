#pragma once

#include <optional>

namespace pf {

/// Whether a compositing manager blends translucent windows. Without one a
/// transparent background shows black, so such windows draw opaque instead.
class Compositor final {
 public:
  /// True when some client owns the `_NET_WM_CM_S<screen>` selection of the
  /// X11 display; false on any other platform.
  static bool isActive();

  /// Replaces the display's answer until reset with none (for tests, whose
  /// offscreen platform has no compositor but blends like one).
  static void overrideActive(std::optional<bool> value);

  /// True when the compositor blurs what lies behind a window that asks for
  /// it with `_KDE_NET_WM_BLUR_BEHIND_REGION`: KWin's blur effect announces
  /// itself with a property of that name on the root window, and a window
  /// manager that blurs may list the name in the root's `_NET_SUPPORTED`.
  /// Compositors that blur only by their own configuration (picom, say) say
  /// neither, and count as not blurring.
  static bool offersBlur();
  /// Replaces the display's answer to `offersBlur` until reset with none.
  static void overrideBlur(std::optional<bool> value);
};

}  // namespace pf

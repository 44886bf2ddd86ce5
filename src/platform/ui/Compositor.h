#pragma once

namespace pf {

/// Whether a compositing manager blends translucent windows. Without one a
/// transparent background shows black, so such windows draw opaque instead.
class Compositor final {
 public:
  /// True when some client owns the `_NET_WM_CM_S<screen>` selection of the
  /// X11 display; false on any other platform.
  static bool isActive();
};

}  // namespace pf

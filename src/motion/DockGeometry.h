#pragma once

#include "platform/core/Geometry.h"

#include <vector>

/// Where the desktop's panel lies, standing in for the Dock: the strip at the
/// bottom of a screen that its visible area leaves out.
class DockGeometry final {
 public:
  DockGeometry() = delete;

  /// The bottom strip of `screenFrame` below `visibleFrame`; none when the
  /// visible area reaches the screen's bottom.
  static std::vector<pf::Rect> frames(const pf::Rect& screenFrame, const pf::Rect& visibleFrame);
};

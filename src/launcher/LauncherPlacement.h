#pragma once

#include "platform/core/Geometry.h"

#include <vector>

/// Where the launcher panel opens beside the companion: at its side when
/// there is room, otherwise at the nearest spot clear of the desktop panels
/// and of the companion. Screen coordinates, y up.
class LauncherPlacement final {
 public:
  LauncherPlacement() = delete;

  /// The panel's frame origin for a panel of `size` beside `anchor` (the
  /// companion's frame) on a screen with `screenFrame` and `visibleFrame`,
  /// keeping clear of `dockFrames` (the desktop panels' frames on that screen).
  static pf::Point origin(const pf::Rect& anchor, pf::Size size, const pf::Rect& screenFrame,
                          const pf::Rect& visibleFrame, const std::vector<pf::Rect>& dockFrames);
};

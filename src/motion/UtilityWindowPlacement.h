#pragma once

#include "platform/core/Geometry.h"

/// Where a utility window (reminders, favorites, file drop, the shortcut
/// editor) opens: beside the companion rather than over it, so the figure that
/// announced or offered the window stays in sight.
class UtilityWindowPlacement final {
 public:
  UtilityWindowPlacement() = delete;

  /// Space left between the companion and the window.
  static constexpr double gap = 12;

  /// The window's origin (y up): right of the companion when it fits there,
  /// else left of it, else above it; its bottom level with the companion's.
  /// It is kept within `visible` (the screen's usable area) as far as its size allows.
  static pf::Point origin(pf::Size window, const pf::Rect& companion, const pf::Rect& visible);
};

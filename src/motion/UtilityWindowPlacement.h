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
  /// Room kept above the window for the title bar the window manager adds
  /// (its height is known only once the window has been shown).
  static constexpr double titleBarAllowance = 32;

  /// The window's origin (y up): right of the companion when it fits there,
  /// else left of it, else above it; its bottom level with the companion's.
  /// A window with room on no side is centred on `visible` (the screen's
  /// usable area). It is kept within `visible` as far as its size allows.
  static pf::Point origin(pf::Size window, const pf::Rect& companion, const pf::Rect& visible);
};

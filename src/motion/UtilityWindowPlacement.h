#pragma once

#include "platform/core/Geometry.h"

/// Where a utility window (settings, reminders, favorites, file drop, the
/// shortcut editor, their editors and alerts) opens: beside the companion
/// rather than under it, so the figure that offered the window stays in
/// sight and, kept in front of other windows, hides none of the window.
class UtilityWindowPlacement final {
 public:
  UtilityWindowPlacement() = delete;

  /// Space left between the companion and the window's frame.
  static constexpr double gap = 12;

  /// The window's content rectangle (y up) for a content of `size` that may
  /// shrink to `minimum`, framed by the window manager with `decoration`.
  /// The whole framed window stays inside `visible` (the screen's usable area)
  /// as far as its minimum allows. It goes on the first side of the companion
  /// with room for it, in the order right, left, above, below: beside it with
  /// their bottoms level, or above or below it centred; it shrinks, never
  /// below its minimum, only where no side holds its full size. Where no side
  /// holds even its minimum, it goes at its minimum into the corner of
  /// `visible` where it overlaps the companion least.
  static pf::Rect frame(pf::Size size, pf::Size minimum, const pf::EdgeInsets& decoration,
                        const pf::Rect& companion, const pf::Rect& visible);
};

#pragma once

#include "platform/core/Geometry.h"

#include <optional>

/// The rules for a window's remembered content size.
class ContentSizeRules final {
 public:
  /// The largest width or height worth restoring.
  static constexpr double largest = 10000;
  /// The room kept free around a window on its screen.
  static constexpr double screenMargin = 16;

  /// The remembered size: used only when both numbers are there, finite,
  /// above 0 and at most `largest`; each raised to the minimum.
  static std::optional<pf::Size> restored(std::optional<double> width,
                                          std::optional<double> height, pf::Size minimum);

  /// `size` kept between `minimum` and the visible frame's size less
  /// `screenMargin`; the minimum wins on a screen too small for it.
  static pf::Size fitted(pf::Size size, pf::Size minimum, pf::Size visible);
};

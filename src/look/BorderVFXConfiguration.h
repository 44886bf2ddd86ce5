#pragma once

#include "look/QuibBorderEffect.h"

namespace pf {
class UserDefaults;
}

/// The tuning values every border effect is built with.
struct BorderVFXConfiguration {
  /// The effect to draw.
  QuibBorderEffect type = QuibBorderEffect::none;
  /// Scales the alpha of everything the effect draws, 0 to 1.
  double opacity = 0.95;
  /// Scales how many elements the effect places along an edge, 0 to 2.
  double intensity = 1.35;
  /// Drives the opacity of the effect's glows, 0 to 1.
  double glow = 0.8;
  /// Animation durations are divided by it, 0.2 to 2.
  double speed = 1.0;

  bool operator==(const BorderVFXConfiguration&) const = default;

  /// The stored effect (always from the standard defaults) with the four
  /// numbers read from `defaults` ("borderVFXOpacity", "borderVFXIntensity",
  /// "borderVFXGlow", "borderVFXSpeed"): a missing, non-numeric or non-finite
  /// value gives the default, one out of range is clamped into it.
  static BorderVFXConfiguration read(const pf::UserDefaults& defaults);
};

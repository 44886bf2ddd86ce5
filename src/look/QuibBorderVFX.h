#pragma once

#include "look/BorderVFXConfiguration.h"
#include "platform/core/Geometry.h"

#include <vector>

namespace pf {
class Layer;
}

/// The border-effect painting: turns a configuration into a layer tree around
/// a window. Its integer hash is shared by every procedural painter of the
/// look, so that decoration which looks random is the same picture for the
/// same sizes and settings.
///
/// Geometry is y up: `rect` is the window's frame in the root layer's
/// coordinates. Edges are numbered 0 top (maxY), 1 bottom, 2 left, 3 right.
class QuibBorderVFX final {
 public:
  QuibBorderVFX() = delete;

  /// One point from which flames or smoke rise.
  struct Emission {
    /// Where, in root coordinates.
    pf::Point point;
    /// Multiplies the alpha of what is drawn there.
    double strength = 1;
    /// The base seed of everything drawn there.
    int seed = 0;
    bool operator==(const Emission&) const = default;
  };

  /// A value in [0, 1) that depends only on `n`: the fractional part of
  /// sin(n * 127.1 + 311.7) * 43758.5453.
  static double noise(int n);

  /// The emission points around `rect`, most of them along the top edge and
  /// its corners, fewer up the sides and under the bottom; none when
  /// `intensity` is not above 0.
  static std::vector<Emission> emissions(const pf::Rect& rect, double intensity);

  /// Rebuilds `root` from nothing: a mask that hides everything over `rect`,
  /// a slow opacity pulse over the whole effect, and the layers of the
  /// configured effect. With `reducedMotion` the same layers are built
  /// without any animation. Call it inside a transaction, so the old tree
  /// vanishes and the new one appears at once.
  static void populate(pf::Layer& root, const pf::Rect& rect,
                       const BorderVFXConfiguration& configuration, bool reducedMotion);

 private:
  /// The flames (with their glows and embers) or the smoke.
  static void fireAndSmoke(pf::Layer& root, const pf::Rect& rect,
                           const BorderVFXConfiguration& configuration, bool reduced);
  static void embers(pf::Layer& root, const pf::Rect& rect,
                     const BorderVFXConfiguration& configuration);
};

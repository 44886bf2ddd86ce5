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
  static void populate(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                       bool reducedMotion);

 private:
  /// The flames (with their glows and embers) or the smoke.
  static void fireAndSmoke(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                           bool reduced);
  static void embers(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration);

  // The other effects, one builder each. A builder appends its layers (with
  // their animations, none when `reduced`) to the root and touches nothing
  // else of it: the mask and the pulse stay as `populate` left them.

  /// Jagged arcs crackling off every edge.
  static void lightning(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                        bool reduced);
  /// Soft violet and blue ribbons swelling along the edges inside a glowing outline.
  static void plasma(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// Ice crystals growing out of every edge over an ice outline.
  static void frost(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// Stars and dust drifting a little outward while they fade in and out.
  static void starfield(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                        bool reduced);
  /// Bubbles rising beside the left and right edges.
  static void bubbles(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// Leafy vines growing around the window.
  static void vines(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// Cherry petals drifting down along the edges.
  static void blossoms(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                       bool reduced);
  /// Small yellow lights wandering on orbits around the window.
  static void fireflies(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                        bool reduced);
  /// Glowing rune figures standing along the edges.
  static void runes(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// Short green streams of binary digits falling beside the window.
  static void matrix(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// A frosty rim, a snow cap on the top edge and flakes drifting down.
  static void snow(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
  /// A green rim with vapour, bubbles and droplets rising and falling off every edge.
  static void toxic(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration, bool reduced);
};

#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"

namespace pf {
class Canvas;
}

/// The decorative frames of the themed skins: a band `width` wide just inside
/// a rectangle, filled with a metallic or jewelled gradient and dressed with
/// rivets, gears, light bars, lava veins, gems or screws. Each painter keeps
/// its state changes to itself.
class SkinFrames final {
 public:
  SkinFrames() = delete;

  static void steam(pf::Canvas& canvas, const pf::Rect& rect, double width);
  static void alien(pf::Canvas& canvas, const pf::Rect& rect, double width);
  static void molten(pf::Canvas& canvas, const pf::Rect& rect, double width);
  static void princess(pf::Canvas& canvas, const pf::Rect& rect, double width);
  static void robot(pf::Canvas& canvas, const pf::Rect& rect, double width);

  /// The steampunk metals.
  static const pf::Color& brass();
  static const pf::Color& brassLight();
  static const pf::Color& copper();
};

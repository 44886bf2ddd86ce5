#pragma once

#include "look/QuibSkin.h"
#include "platform/core/Geometry.h"

namespace pf {
class Canvas;
}

/// The skinned surfaces: a gradient and a procedural texture clipped to the
/// skin's outline, followed by the skin's frame. Textures depend only on the
/// rectangle and fixed noise indices, so every redraw gives the same picture.
class SkinSurfaces final {
 public:
  SkinSurfaces() = delete;

  static void princess(pf::Canvas& canvas, const pf::Rect& rect, bool tile);
  static void molten(pf::Canvas& canvas, const pf::Rect& rect, bool tile);
  static void alien(pf::Canvas& canvas, const pf::Rect& rect, bool tile);
  static void steam(pf::Canvas& canvas, const pf::Rect& rect, bool tile);
  /// The neon, pearl and robot-lab surfaces: grid, glowing edge, inner line and
  /// edge ticks, plus a metal rim and screws for the robot lab.
  static void space(pf::Canvas& canvas, const pf::Rect& rect, bool tile, QuibSkin skin);
};

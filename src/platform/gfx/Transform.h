#pragma once

#include "platform/core/Geometry.h"

namespace pf {

/// A layer's 2-D transform kept as its parts, so an animation of one part
/// ("transform.rotation.z", "transform.scale.x") replaces that part and keeps
/// the others. Applied about the layer's anchor point as translation ·
/// rotation · scale (scale first). Angles in radians, counter-clockwise (y up).
struct Transform {
  double rotation = 0;
  double scaleX = 1;
  double scaleY = 1;
  double translationX = 0;
  double translationY = 0;

  static Transform makeRotation(double radians) { return Transform{radians, 1, 1, 0, 0}; }
  static Transform makeScale(double sx, double sy) { return Transform{0, sx, sy, 0, 0}; }
  static Transform makeTranslation(double tx, double ty) { return Transform{0, 1, 1, tx, ty}; }

  bool isIdentity() const { return *this == Transform{}; }
  bool operator==(const Transform&) const = default;
};

}  // namespace pf

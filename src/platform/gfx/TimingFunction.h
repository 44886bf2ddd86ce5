#pragma once

#include "platform/core/Geometry.h"

namespace pf {

/// A timing curve: the cubic bezier from (0, 0) to (1, 1) with two control
/// points, mapping the fraction of elapsed time to the fraction of progress.
struct TimingFunction {
  Point control1{0, 0};
  Point control2{1, 1};

  static TimingFunction linear() { return {}; }
  static TimingFunction easeIn() { return {{0.42, 0}, {1, 1}}; }
  static TimingFunction easeOut() { return {{0, 0}, {0.58, 1}}; }
  static TimingFunction easeInEaseOut() { return {{0.42, 0}, {0.58, 1}}; }
  /// Custom control points; x components are held to [0, 1] so the curve is a function of time.
  static TimingFunction custom(Point c1, Point c2);

  bool isLinear() const;
  /// Progress at time fraction `u` in [0, 1].
  double map(double u) const;
  /// Whether progress never falls back nor leaves [0, 1] (both controls' progress within it).
  bool rises() const;
  /// The time fraction at which a curve that `rises` reaches `progress`.
  double timeAt(double progress) const;
  /// The most progress per time at any point of the curve, measured over short spans (1 when linear).
  double steepestSlope() const;

  bool operator==(const TimingFunction&) const = default;
};

}  // namespace pf

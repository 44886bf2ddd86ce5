#include "platform/gfx/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace pf {

namespace {

// One coordinate of the curve with end points 0 and 1.
double bezier(double p1, double p2, double s) {
  const double u = 1 - s;
  return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
}

double bezierSlope(double p1, double p2, double s) {
  const double u = 1 - s;
  return 3 * u * u * p1 + 6 * u * s * (p2 - p1) + 3 * s * s * (1 - p2);
}

}  // namespace

TimingFunction TimingFunction::custom(Point c1, Point c2) {
  auto held = [](Point p) { return Point{std::clamp(std::isfinite(p.x) ? p.x : 0.0, 0.0, 1.0), std::isfinite(p.y) ? p.y : 0.0}; };
  return {held(c1), held(c2)};
}

bool TimingFunction::isLinear() const {
  return control1.x == control1.y && control2.x == control2.y;
}

double TimingFunction::map(double u) const {
  if (!std::isfinite(u)) return 0;
  u = std::clamp(u, 0.0, 1.0);
  if (isLinear() || u == 0 || u == 1) return u;
  // Solve x(s) = u: Newton steps from a good guess, bisection when the slope is flat.
  double s = u;
  for (int i = 0; i < 8; ++i) {
    const double err = bezier(control1.x, control2.x, s) - u;
    if (std::fabs(err) < 1e-12) return bezier(control1.y, control2.y, s);
    const double slope = bezierSlope(control1.x, control2.x, s);
    if (std::fabs(slope) < 1e-6) break;
    s = std::clamp(s - err / slope, 0.0, 1.0);
  }
  double lo = 0, hi = 1;
  s = u;
  for (int i = 0; i < 60; ++i) {
    const double x = bezier(control1.x, control2.x, s);
    if (std::fabs(x - u) < 1e-12) break;
    (x < u ? lo : hi) = s;
    s = (lo + hi) / 2;
  }
  return bezier(control1.y, control2.y, s);
}

}  // namespace pf

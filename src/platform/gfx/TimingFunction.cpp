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
  auto held = [](Point p) {
    return Point{std::clamp(std::isfinite(p.x) ? p.x : 0.0, 0.0, 1.0), std::isfinite(p.y) ? p.y : 0.0};
  };
  return {held(c1), held(c2)};
}

bool TimingFunction::isLinear() const { return control1.x == control1.y && control2.x == control2.y; }

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

bool TimingFunction::rises() const { return control1.y >= 0 && control1.y <= 1 && control2.y >= 0 && control2.y <= 1; }

double TimingFunction::timeAt(double progress) const {
  if (!std::isfinite(progress)) return 0;
  progress = std::clamp(progress, 0.0, 1.0);
  if (isLinear() || progress == 0 || progress == 1) return progress;
  // Progress only rises along the curve, so halving finds the one parameter that reaches it.
  double lo = 0, hi = 1;
  for (int i = 0; i < 50; ++i) {
    const double s = (lo + hi) / 2;
    (bezier(control1.y, control2.y, s) < progress ? lo : hi) = s;
  }
  return bezier(control1.x, control2.x, (lo + hi) / 2);
}

double TimingFunction::steepestSlope() const {
  if (isLinear()) return 1;
  constexpr int spans = 32;
  double steepest = 1;  // the mean slope: some span is at least this steep
  for (int i = 0; i < spans; ++i) {
    const double s0 = static_cast<double>(i) / spans, s1 = static_cast<double>(i + 1) / spans;
    const double dx = bezier(control1.x, control2.x, s1) - bezier(control1.x, control2.x, s0);
    const double dy = bezier(control1.y, control2.y, s1) - bezier(control1.y, control2.y, s0);
    if (dx > 1e-12) steepest = std::max(steepest, std::fabs(dy) / dx);
  }
  return steepest;
}

}  // namespace pf

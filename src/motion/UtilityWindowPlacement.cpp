#include "motion/UtilityWindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

/// `start` moved as little as needed to put [start, start + length) inside
/// [low, high). When the span is too short the left edge stays in, or for
/// heights the top edge, where the title bar is.
double keptWithinFromLow(double start, double length, double low, double high) {
  return std::max(low, std::min(start, high - length));
}

double keptWithinFromHigh(double start, double length, double low, double high) {
  return std::min(std::max(start, low), high - length);
}

}  // namespace

pf::Point UtilityWindowPlacement::origin(pf::Size window, const pf::Rect& companion,
                                         const pf::Rect& visible) {
  const double top = visible.maxY() - titleBarAllowance;
  const double right = companion.maxX() + gap;
  const double left = companion.minX() - gap - window.width;
  const double above = companion.maxY() + gap;
  double x = visible.midX() - window.width / 2;
  double y = visible.midY() - window.height / 2;
  if (right + window.width <= visible.maxX()) {
    x = right;
    y = companion.minY();
  } else if (left >= visible.minX()) {
    x = left;
    y = companion.minY();
  } else if (above + window.height <= top) {
    x = companion.midX() - window.width / 2;
    y = above;
  }
  x = keptWithinFromLow(x, window.width, visible.minX(), visible.maxX());
  y = keptWithinFromHigh(y, window.height, visible.minY(), top);
  return {std::round(x), std::round(y)};
}

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
  const double right = companion.maxX() + gap;
  const double left = companion.minX() - gap - window.width;
  double x = 0;
  double y = companion.minY();
  if (right + window.width <= visible.maxX()) {
    x = right;
  } else if (left >= visible.minX()) {
    x = left;
  } else {
    x = companion.midX() - window.width / 2;
    y = companion.maxY() + gap;
  }
  x = keptWithinFromLow(x, window.width, visible.minX(), visible.maxX());
  y = keptWithinFromHigh(y, window.height, visible.minY(), visible.maxY());
  return {std::round(x), std::round(y)};
}

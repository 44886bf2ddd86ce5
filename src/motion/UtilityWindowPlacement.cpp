#include "motion/UtilityWindowPlacement.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using pf::EdgeInsets;
using pf::Point;
using pf::Rect;
using pf::Size;

enum class Side { right, left, above, below };
constexpr std::array sides{Side::right, Side::left, Side::above, Side::below};

Size framed(Size content, const EdgeInsets& decoration) {
  return {content.width + decoration.left + decoration.right, content.height + decoration.top + decoration.bottom};
}

/// The content size nearest `wanted` whose frame fits `room`, but never below `minimum`.
Size fitted(Size wanted, Size minimum, Size room, const EdgeInsets& decoration) {
  const Size roomForContent = {std::floor(room.width - decoration.left - decoration.right),
                               std::floor(room.height - decoration.top - decoration.bottom)};
  return {std::max(minimum.width, std::min(wanted.width, roomForContent.width)),
          std::max(minimum.height, std::min(wanted.height, roomForContent.height))};
}

bool fits(Size outer, const Rect& room) { return outer.width <= room.width() && outer.height <= room.height(); }

/// The part of `visible` on one side of the companion, `gap` away from it.
Rect roomOn(Side side, const Rect& companion, const Rect& visible) {
  const double gap = UtilityWindowPlacement::gap;
  switch (side) {
    case Side::right:
      return {companion.maxX() + gap, visible.minY(), visible.maxX() - companion.maxX() - gap, visible.height()};
    case Side::left:
      return {visible.minX(), visible.minY(), companion.minX() - gap - visible.minX(), visible.height()};
    case Side::above:
      return {visible.minX(), companion.maxY() + gap, visible.width(), visible.maxY() - companion.maxY() - gap};
    case Side::below:
      return {visible.minX(), visible.minY(), visible.width(), companion.minY() - gap - visible.minY()};
  }
  return {};
}

/// `start` moved as little as needed to put [start, start + length) inside
/// [low, high). When the span is too short the left edge stays in, or for
/// heights the top edge, where the title bar is.
double keptWithinFromLow(double start, double length, double low, double high) {
  return std::max(low, std::min(start, high - length));
}

double keptWithinFromHigh(double start, double length, double low, double high) {
  return std::min(std::max(start, low), high - length);
}

Point keptWithin(Point origin, Size outer, const Rect& area) {
  return {keptWithinFromLow(origin.x, outer.width, area.minX(), area.maxX()),
          keptWithinFromHigh(origin.y, outer.height, area.minY(), area.maxY())};
}

/// The framed window's origin in `room`, against the companion's side.
Point originOn(Side side, const Rect& room, Size outer, const Rect& companion) {
  const double centredX = companion.midX() - outer.width / 2;
  switch (side) {
    case Side::right:
      return keptWithin({room.minX(), companion.minY()}, outer, room);
    case Side::left:
      return keptWithin({room.maxX() - outer.width, companion.minY()}, outer, room);
    case Side::above:
      return keptWithin({centredX, room.minY()}, outer, room);
    case Side::below:
      return keptWithin({centredX, room.maxY() - outer.height}, outer, room);
  }
  return {};
}

double overlapArea(const Rect& a, const Rect& b) {
  const Rect common = a.intersection(b);
  return common.isNull() ? 0 : common.width() * common.height();
}

/// Pushing the window away from the companion along each axis separately
/// shrinks the overlap along that axis, so one of the corners overlaps least.
Point leastCoveredCorner(Size outer, const Rect& companion, const Rect& visible) {
  const double left = visible.minX(), right = visible.maxX() - outer.width;
  const double bottom = visible.minY(), top = visible.maxY() - outer.height;
  const std::array<Point, 4> corners{{{right, top}, {left, top}, {right, bottom}, {left, bottom}}};
  Point best = keptWithin(corners[0], outer, visible);
  for (const Point corner : corners) {
    const Point origin = keptWithin(corner, outer, visible);
    if (overlapArea(Rect(origin, outer), companion) < overlapArea(Rect(best, outer), companion)) best = origin;
  }
  return best;
}

Rect contentFrame(Point outerOrigin, Size content, const EdgeInsets& decoration) {
  return {std::round(outerOrigin.x + decoration.left), std::round(outerOrigin.y + decoration.bottom), content.width,
          content.height};
}

}  // namespace

Rect UtilityWindowPlacement::frame(Size size, Size minimum, const EdgeInsets& decoration, const Rect& companion,
                                   const Rect& visible) {
  const Size wanted = fitted(size, minimum, visible.size, decoration);
  for (const bool shrink : {false, true}) {
    for (const Side side : sides) {
      const Rect room = roomOn(side, companion, visible);
      const Size content = shrink ? fitted(wanted, minimum, room.size, decoration) : wanted;
      const Size outer = framed(content, decoration);
      if (fits(outer, room)) return contentFrame(originOn(side, room, outer, companion), content, decoration);
    }
  }
  return contentFrame(leastCoveredCorner(framed(minimum, decoration), companion, visible), minimum, decoration);
}

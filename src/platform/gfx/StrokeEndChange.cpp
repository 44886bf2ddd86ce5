#include "platform/gfx/StrokeEndChange.h"

#include "platform/gfx/RecentByPath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pf {

namespace {

using Element = Path::Element;
using Type = Path::ElementType;

// Device pixels past the outline's reach that a change can still touch: its
// points are rounded to a fraction of a pixel, and antialiasing marks the
// pixels its edges pass through.
constexpr int edgeSpread = 2;

// The smallest box holding some points of a path, in its coordinates.
struct Box {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();

  void add(Point p) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  void add(const Element& e) {
    for (int k = 0; k < e.pointCount(); ++k) add(e.points[static_cast<std::size_t>(k)]);
  }
  /// The device pixels the outline of a stroke through these points can mark.
  QRect reached(double reach, const QTransform& world) const {
    const QRectF local(minX - reach, minY - reach, maxX - minX + 2 * reach, maxY - minY + 2 * reach);
    return world.mapRect(local).toAlignedRect().adjusted(-edgeSpread, -edgeSpread, edgeSpread, edgeSpread);
  }
};

bool isLoneStroke(const LayerContent& c) {
  return c.kind == Layer::Kind::shape && !c.strokeOutline &&
         c.parts(true) == std::vector<LayerContent::Part>{LayerContent::Part::stroke};
}

// A move, then lines and curves: ends the stroker caps, no close it joins round.
bool isOneOpenSubpath(const Path& path) {
  const auto& elements = path.elements();
  return !elements.empty() && elements.front().type == Type::move &&
         std::none_of(elements.begin() + 1, elements.end(),
                      [](const Element& e) { return e.type == Type::move || e.type == Type::close; });
}

// The direction an element leaves `from` in and the one it arrives at its end in.
std::pair<Point, Point> tangents(Point from, const Element& e) {
  const int n = e.pointCount();
  const auto at = [&](int k) { return k < 0 ? from : e.points[static_cast<std::size_t>(k)]; };
  int first = 0, last = n - 2;
  while (first < n - 1 && at(first) == from) ++first;
  while (last > -1 && at(last) == e.end()) --last;
  const Point out = at(first), in = at(last);
  return {Point{out.x - from.x, out.y - from.y}, Point{e.end().x - in.x, e.end().y - in.y}};
}

// The square of the cosine of half the turn at the path's sharpest join (0
// where a zero-length element leaves the turn unknown), 1 for a path with none.
double sharpestJoin(const Path& path) {
  const auto& elements = path.elements();
  // A close has no end of its own to turn at, and joins its subpath's ends,
  // which the walk below does not follow: such a path takes the miter's full reach.
  if (std::ranges::any_of(elements, [](const Element& e) { return e.type == Type::close; })) return 0;
  double sharpest = 1;
  Point arriving;
  Point at = elements.empty() ? Point{} : elements.front().end();
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const auto [leaving, next] = tangents(at, elements[i]);
    if (i > 1) {
      const double lengths =
          (arriving.x * arriving.x + arriving.y * arriving.y) * (leaving.x * leaving.x + leaving.y * leaving.y);
      sharpest = std::min(
          sharpest, lengths > 0 ? (1 + (arriving.x * leaving.x + arriving.y * leaving.y) / std::sqrt(lengths)) / 2 : 0);
    }
    arriving = next;
    at = elements[i].end();
  }
  return sharpest;
}

// The sharpest join of a path, kept for the recent ones: a growing vine asks
// of the same path every frame, and walking all of it cost more than the rest.
double sharpestJoinOf(const Path& path) {
  static RecentByPath<double> recent;
  return recent.of(path, sharpestJoin);
}

// How far the stroke's outline reaches from the path's points, in its
// coordinates: half the width at a round or bevel join, a little more at a
// square cap's corner, and out to a miter's tip, which sharper turns push out
// until the limit cuts it off. The sharpest join pushes it furthest.
double outlineReach(const LayerContent& c) {
  const double half = c.lineWidth / 2;
  double reach = half * std::sqrt(2.0);
  if (c.lineJoin == ShapeLayer::LineJoin::miter) {
    const double limit = c.lineWidth * std::max(1.0, c.miterLimit);
    const double halfCos = sharpestJoinOf(c.path);
    reach = std::max(reach, halfCos > 0 ? std::min(limit, half / std::sqrt(halfCos)) : limit);
  }
  return reach + 1;
}

// The path from the end of element `from` on.
Path tailFrom(const Path& path, std::size_t from) {
  const auto& elements = path.elements();
  Path tail;
  tail.reserve(static_cast<int>(elements.size() - from));
  tail.moveTo(elements[from].end());
  for (std::size_t i = from + 1; i < elements.size(); ++i) {
    const Element& e = elements[i];
    if (e.type == Type::line) tail.lineTo(e.points[0]);
    if (e.type == Type::quad) tail.quadTo(e.points[0], e.points[1]);
    if (e.type == Type::cubic) tail.cubicTo(e.points[0], e.points[1], e.points[2]);
  }
  return tail;
}

}  // namespace

std::optional<StrokeEndChange> StrokeEndChange::between(const LayerContent& before, const LayerContent& now,
                                                        const QTransform& world, QRect bounds) {
  if (before.strokeEnd == now.strokeEnd || !isLoneStroke(before) || !isLoneStroke(now)) return std::nullopt;
  LayerContent moved = before;
  moved.strokeEnd = now.strokeEnd;
  if (!(moved == now)) return std::nullopt;
  const PathMeasure& measure = PathMeasure::of(now.path);
  const Path was = before.trimmedPath(measure), is = now.trimmedPath(measure);
  if (!isOneOpenSubpath(was) || !isOneOpenSubpath(is)) return std::nullopt;
  const auto& old = was.elements();
  const auto& elements = is.elements();
  const std::size_t common =
      std::mismatch(old.begin(), old.end(), elements.begin(), elements.end()).first - old.begin();
  if (common == 0 || elements.size() < 2) return std::nullopt;

  // Both outlines follow the elements they share up to the last one's end,
  // where the join already depends on the element after it.
  const double reach = outlineReach(now);
  Box rest;
  rest.add(old[common - 1].end());
  for (std::size_t i = common; i < old.size(); ++i) rest.add(old[i]);
  for (std::size_t i = common; i < elements.size(); ++i) rest.add(elements[i]);
  StrokeEndChange change{rest.reached(reach, world) & bounds, now};
  if (change.area.isEmpty()) return change;

  // The stroke is drawn from the last vertex all of whose outline before it
  // (with the element after it, whose start the cut changes) lies clear of
  // the area. Those boxes only grow along the path, so the search goes back
  // from the end, near which the area lies.
  std::vector<Box> upTo(elements.size());  // the elements up to each one
  upTo[0].add(elements[0]);
  for (std::size_t i = 1; i < elements.size(); ++i) {
    upTo[i] = upTo[i - 1];
    upTo[i].add(elements[i]);
  }
  std::size_t from = elements.size() - 2;
  while (from > 0 && upTo[from + 1].reached(reach, world).intersects(change.area)) --from;
  change.content.path = tailFrom(is, from);
  change.content.strokeStart = 0;
  change.content.strokeEnd = 1;
  return change;
}

}  // namespace pf

#pragma once

#include <cmath>
#include <limits>

namespace pf {

/// A point in y-up coordinates (origin bottom left), in points.
struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

/// The point a fraction `f` of the way from `a` to `b`.
inline Point interpolated(Point a, Point b, double f) {
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
}

/// A width and height in points; may be negative until a rect is standardised.
struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

/// A rectangle with its origin at the bottom left and y growing upwards.
/// Follows the rules callers rely on: standardised before measuring, a null
/// rect for empty results, points on the max edges outside, touching rects
/// not intersecting, and a rect lying on another's edge contained by it.
struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(double x, double y, double width, double height)
      : origin{x, y}, size{width, height} {}
  constexpr Rect(Point o, Size s) : origin(o), size(s) {}

  bool operator==(const Rect&) const = default;

  /// The rect that has no position: the result of an empty intersection or an over-inset.
  static Rect null();
  bool isNull() const;
  /// Null, or without area.
  bool isEmpty() const;
  bool isFinite() const;

  /// Same rect with non-negative width and height.
  Rect standardized() const;

  double minX() const;
  double maxX() const;
  double midX() const;
  double minY() const;
  double maxY() const;
  double midY() const;
  double width() const;
  double height() const;

  /// Half-open: the max edges are outside.
  bool contains(Point p) const;
  /// True when `r` lies within this rect, edges included; false for a null rect.
  bool contains(const Rect& r) const;
  /// Touching edges do not count; empty rects intersect nothing.
  bool intersects(const Rect& r) const;
  Rect intersection(const Rect& r) const;
  Rect united(const Rect& r) const;
  /// Shrinks each side by dx / dy (grows for negative values); null when nothing is left.
  Rect insetBy(double dx, double dy) const;
  Rect offsetBy(double dx, double dy) const;
};

/// Widths added around a rectangle's edges, such as a window manager's frame around a window.
struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  bool operator==(const EdgeInsets&) const = default;
};

}  // namespace pf

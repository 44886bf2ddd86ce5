#pragma once

#include "platform/core/Geometry.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace pf {

/// Which points a filled path covers where its subpaths overlap or cross.
enum class FillRule { nonZero, evenOdd };
/// How a stroke ends at an open end of a path.
enum class LineCap { butt, round, square };
/// How a stroke turns at a corner of a path.
enum class LineJoin { miter, round, bevel };

/// A bezier path in y-up coordinates: a value, cheap to copy (the elements are
/// shared until one copy changes). Arcs, ellipses and rounded corners are stored
/// as cubic curves, so every path is made of five element kinds only.
class Path final {
 public:
  enum class ElementType { move, line, quad, cubic, close };

  /// One element; `points` holds the end point last (quad: control, end; cubic:
  /// control 1, control 2, end). A close has no points.
  struct Element {
    ElementType type = ElementType::move;
    std::array<Point, 3> points{};
    int pointCount() const;
    Point end() const { return points[static_cast<std::size_t>(pointCount() - 1)]; }
    bool operator==(const Element&) const = default;
  };

  Path() = default;

  static Path rect(const Rect& r);
  static Path roundedRect(const Rect& r, double rx, double ry);
  static Path ellipse(const Rect& r);

  void moveTo(Point p);
  /// Starts a subpath at the origin first when there is no current point.
  void lineTo(Point p);
  void quadTo(Point control, Point end);
  void cubicTo(Point control1, Point control2, Point end);
  void close();

  /// Counter-clockwise (y up) from the origin: bottom-left, bottom-right, top-right, top-left.
  void addRect(const Rect& r);
  /// Starts at the middle of the right edge and runs counter-clockwise (y up);
  /// radii are held to half the sides. A zero radius adds a plain rect.
  void addRoundedRect(const Rect& r, double rx, double ry);
  /// Starts at the middle of the right edge and runs counter-clockwise (y up).
  void addEllipse(const Rect& r);
  /// An arc about `center`, angles in radians counter-clockwise from +x (y up).
  /// `clockwise` false sweeps towards larger angles. Joins the current point by a
  /// line, or starts a subpath at the arc's start.
  void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
  /// Appends `other`'s elements.
  void addPath(const Path& other);
  /// Makes room for `count` elements in all: a path built element by element then grows once.
  void reserve(int count);

  bool isEmpty() const { return elementCount() == 0; }
  int elementCount() const;
  const Element& element(int i) const;
  const std::vector<Element>& elements() const;
  std::optional<Point> currentPoint() const;

  /// The smallest rect holding every point and control point; null for an empty path.
  Rect controlBounds() const;

  /// The same path moved by (dx, dy).
  Path translated(double dx, double dy) const;

  /// True when both paths have the same element kinds in the same order, so they
  /// can be interpolated point by point.
  bool hasSameStructure(const Path& other) const;
  /// Point-by-point blend from `a` (f = 0) to `b` (f = 1) for paths of the same
  /// structure; otherwise `a` below one half and `b` from one half on.
  static Path interpolated(const Path& a, const Path& b, double f);

  bool operator==(const Path& other) const;

  /// The same for copies of one path that were not changed since; caches key by it.
  const void* storageIdentity() const { return m_elements.get(); }

 private:
  std::vector<Element>& mutableElements();
  void append(ElementType type, std::initializer_list<Point> points);

  std::shared_ptr<std::vector<Element>> m_elements;
};

}  // namespace pf

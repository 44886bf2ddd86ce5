#pragma once

#include "platform/gfx/Path.h"

#include <vector>

namespace pf {

/// Lengths along a path: the total length, the point at a distance, and the
/// part between two fractions of the length (curves are split exactly, so a
/// trimmed curve stays a curve). Moves add no length; a close counts as the
/// line back to its subpath's start.
class PathMeasure final {
 public:
  explicit PathMeasure(const Path& path);
  /// The measure of `path`, kept among the recent ones by the path's storage:
  /// a path followed or trimmed frame after frame is measured once. Main
  /// thread only; valid until the next call.
  static const PathMeasure& of(const Path& path);

  double length() const { return m_length; }
  /// The point `distance` along the path, held to its ends; the origin for a path with no length.
  Point pointAtLength(double distance) const;
  /// The piece of the path from `start` to `end`, both fractions of its length in [0, 1].
  Path trimmed(double start, double end) const;

 private:
  struct Segment {
    Path::ElementType type = Path::ElementType::line;  // line, quad or cubic
    std::array<Point, 4> points{};                     // start, controls, end
    bool closes = false;                               // the line of a close
    bool startsSubpath = false;
    double offset = 0;
    double length = 0;
    std::vector<double> table;  // cumulative lengths at evenly spaced parameters (curves)
  };

  static Point evaluate(const Segment& s, double t);
  static double parameterAt(const Segment& s, double distance);
  static void appendPiece(Path& out, const Segment& s, double t0, double t1, bool startNew);

  std::vector<Segment> m_segments;
  double m_length = 0;
};

}  // namespace pf

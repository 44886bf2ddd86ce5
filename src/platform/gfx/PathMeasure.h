#pragma once

#include "platform/gfx/Path.h"

#include <array>
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
  /// The last two asked for are kept (so a measure is not shared between
  /// threads): a stroke whose end moves is compared each frame with its piece
  /// of the frame before, which is then not cut again.
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

  struct Piece {
    double start = 0;
    double end = 0;
    Path path;  // from `start` to `end`, as cut
  };

  Path cut(double start, double end) const;
  static Point evaluate(const Segment& s, double t);
  static double parameterAt(const Segment& s, double distance);
  static void appendPiece(Path& out, const Segment& s, double t0, double t1, bool startNew);

  std::vector<Segment> m_segments;
  double m_length = 0;
  mutable std::array<Piece, 2> m_pieces;  // none cut yet: both from 0 to 0, empty as cut
  mutable std::size_t m_nextPiece = 0;
};

}  // namespace pf

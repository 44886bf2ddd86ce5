#include "platform/gfx/PathMeasure.h"

#include "platform/gfx/RecentByPath.h"

#include <algorithm>
#include <cmath>

namespace pf {

namespace {

constexpr int curveSamples = 32;

double distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

// The sub-curve between parameters t0 and t1, by two de Casteljau splits.
std::array<Point, 4> splitCubic(const std::array<Point, 4>& p, double t0, double t1) {
  auto right = [](const std::array<Point, 4>& c, double t) {
    const Point ab = interpolated(c[0], c[1], t), bc = interpolated(c[1], c[2], t), cd = interpolated(c[2], c[3], t);
    const Point abc = interpolated(ab, bc, t), bcd = interpolated(bc, cd, t);
    return std::array<Point, 4>{interpolated(abc, bcd, t), bcd, cd, c[3]};
  };
  auto left = [](const std::array<Point, 4>& c, double t) {
    const Point ab = interpolated(c[0], c[1], t), bc = interpolated(c[1], c[2], t), cd = interpolated(c[2], c[3], t);
    const Point abc = interpolated(ab, bc, t), bcd = interpolated(bc, cd, t);
    return std::array<Point, 4>{c[0], ab, abc, interpolated(abc, bcd, t)};
  };
  const auto tail = right(p, t0);
  const double u = t0 < 1 ? (t1 - t0) / (1 - t0) : 1;
  return left(tail, std::clamp(u, 0.0, 1.0));
}

std::array<Point, 4> quadAsCubic(Point p0, Point c, Point p1) {
  return {p0, interpolated(p0, c, 2.0 / 3.0), interpolated(p1, c, 2.0 / 3.0), p1};
}

}  // namespace

PathMeasure::PathMeasure(const Path& path) {
  Point current{0, 0};
  Point subpathStart{0, 0};
  bool pendingStart = true;
  for (const auto& e : path.elements()) {
    Segment s;
    s.points[0] = current;
    switch (e.type) {
      case Path::ElementType::move:
        current = subpathStart = e.points[0];
        pendingStart = true;
        continue;
      case Path::ElementType::close:
        s.closes = true;
        s.points[1] = subpathStart;
        break;
      case Path::ElementType::line: s.points[1] = e.points[0]; break;
      case Path::ElementType::quad:
        s.type = Path::ElementType::cubic;
        s.points = quadAsCubic(current, e.points[0], e.points[1]);
        break;
      case Path::ElementType::cubic:
        s.type = Path::ElementType::cubic;
        s.points = {current, e.points[0], e.points[1], e.points[2]};
        break;
    }
    if (s.type == Path::ElementType::line) {
      s.length = distance(s.points[0], s.points[1]);
    } else {
      s.table.reserve(curveSamples + 1);
      s.table.push_back(0);
      Point prev = s.points[0];
      for (int i = 1; i <= curveSamples; ++i) {
        const Point p = evaluate(s, static_cast<double>(i) / curveSamples);
        s.table.push_back(s.table.back() + distance(prev, p));
        prev = p;
      }
      s.length = s.table.back();
    }
    s.startsSubpath = pendingStart;
    pendingStart = false;
    s.offset = m_length;
    m_length += s.length;
    current = s.closes ? subpathStart : (s.type == Path::ElementType::line ? s.points[1] : s.points[3]);
    if (s.closes) pendingStart = true;
    m_segments.push_back(std::move(s));
  }
}

Point PathMeasure::evaluate(const Segment& s, double t) {
  if (s.type == Path::ElementType::line) return interpolated(s.points[0], s.points[1], t);
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {a * s.points[0].x + b * s.points[1].x + c * s.points[2].x + d * s.points[3].x,
          a * s.points[0].y + b * s.points[1].y + c * s.points[2].y + d * s.points[3].y};
}

double PathMeasure::parameterAt(const Segment& s, double distance) {
  if (s.length <= 0) return 0;
  if (s.type == Path::ElementType::line) return std::clamp(distance / s.length, 0.0, 1.0);
  const auto it = std::lower_bound(s.table.begin(), s.table.end(), distance);
  if (it == s.table.begin()) return 0;
  if (it == s.table.end()) return 1;
  const auto i = static_cast<double>(it - s.table.begin());
  const double lo = *(it - 1), hi = *it;
  const double f = hi > lo ? (distance - lo) / (hi - lo) : 0;
  return (i - 1 + f) / curveSamples;
}

Point PathMeasure::pointAtLength(double d) const {
  if (m_segments.empty()) return {0, 0};
  d = std::clamp(std::isfinite(d) ? d : 0.0, 0.0, m_length);
  for (const auto& s : m_segments) {
    if (d <= s.offset + s.length) return evaluate(s, parameterAt(s, d - s.offset));
  }
  return evaluate(m_segments.back(), 1);
}

void PathMeasure::appendPiece(Path& out, const Segment& s, double t0, double t1, bool startNew) {
  if (startNew) out.moveTo(evaluate(s, t0));
  if (s.type == Path::ElementType::line) {
    out.lineTo(interpolated(s.points[0], s.points[1], t1));
    return;
  }
  const auto c = splitCubic(s.points, t0, t1);
  out.cubicTo(c[1], c[2], c[3]);
}

Path PathMeasure::trimmed(double start, double end) const {
  for (const Piece& piece : m_pieces) {
    if (piece.start == start && piece.end == end) return piece.path;
  }
  Piece& piece = m_pieces[m_nextPiece];
  m_nextPiece = (m_nextPiece + 1) % m_pieces.size();
  piece = Piece{start, end, cut(start, end)};
  return piece.path;
}

Path PathMeasure::cut(double start, double end) const {
  start = std::clamp(std::isfinite(start) ? start : 0.0, 0.0, 1.0) * m_length;
  end = std::clamp(std::isfinite(end) ? end : 1.0, 0.0, 1.0) * m_length;
  Path out;
  if (end <= start || m_length <= 0) return out;
  // A growing stroke is cut anew every frame: its piece grows once, not element by element.
  out.reserve(static_cast<int>(m_segments.size()) + 1);
  bool continuous = false;    // the last piece ended where the next segment begins
  bool wholeSubpath = false;  // the current subpath is included from its very start
  for (const auto& s : m_segments) {
    if (s.startsSubpath) {
      continuous = false;
      wholeSubpath = s.offset >= start;
    }
    // A point given twice adds nothing and leaves the subpath unbroken, so it still closes on its start.
    if (s.length == 0 && !s.closes) continue;
    const double s0 = s.offset, s1 = s.offset + s.length;
    if (s1 < start || s0 > end) {
      continuous = false;
      continue;
    }
    const double t0 = start <= s0 ? 0.0 : parameterAt(s, start - s0);
    const double t1 = end >= s1 ? 1.0 : parameterAt(s, end - s0);
    if (s.closes && wholeSubpath && continuous && s1 <= end) {
      out.close();
      continuous = false;
      continue;
    }
    appendPiece(out, s, t0, t1, !continuous || t0 > 0);
    continuous = t1 >= 1;
  }
  return out;
}

// Measuring a path costs about as much as stroking it, and the same orbit is
// followed, the same vine trimmed, every frame.
const PathMeasure& PathMeasure::of(const Path& path) {
  static RecentByPath<PathMeasure> recent;
  return recent.of(path, [](const Path& p) { return PathMeasure(p); });
}

}  // namespace pf

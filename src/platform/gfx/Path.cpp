#include "platform/gfx/Path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pf {

namespace {

// Control-point distance of a cubic that best matches a quarter circle.
constexpr double kappa = 0.5522847498307936;

const std::vector<Path::Element>& emptyElements() {
  static const std::vector<Path::Element> empty;
  return empty;
}

}  // namespace

int Path::Element::pointCount() const {
  switch (type) {
    case ElementType::move:
    case ElementType::line: return 1;
    case ElementType::quad: return 2;
    case ElementType::cubic: return 3;
    case ElementType::close: return 0;
  }
  return 0;
}

Path Path::rect(const Rect& r) {
  Path p;
  p.addRect(r);
  return p;
}

Path Path::roundedRect(const Rect& r, double rx, double ry) {
  Path p;
  p.addRoundedRect(r, rx, ry);
  return p;
}

Path Path::ellipse(const Rect& r) {
  Path p;
  p.addEllipse(r);
  return p;
}

std::vector<Path::Element>& Path::mutableElements() {
  if (!m_elements) {
    m_elements = std::make_shared<std::vector<Element>>();
  } else if (m_elements.use_count() > 1) {
    m_elements = std::make_shared<std::vector<Element>>(*m_elements);
  }
  return *m_elements;
}

void Path::append(ElementType type, std::initializer_list<Point> points) {
  Element e;
  e.type = type;
  std::copy(points.begin(), points.end(), e.points.begin());
  mutableElements().push_back(e);
}

void Path::moveTo(Point p) { append(ElementType::move, {p}); }

void Path::lineTo(Point p) {
  if (!currentPoint()) moveTo({0, 0});
  append(ElementType::line, {p});
}

void Path::quadTo(Point control, Point end) {
  if (!currentPoint()) moveTo({0, 0});
  append(ElementType::quad, {control, end});
}

void Path::cubicTo(Point control1, Point control2, Point end) {
  if (!currentPoint()) moveTo({0, 0});
  append(ElementType::cubic, {control1, control2, end});
}

void Path::close() {
  if (isEmpty() || elements().back().type == ElementType::close) return;
  append(ElementType::close, {});
}

void Path::addRect(const Rect& r) {
  if (r.isNull() || !r.isFinite()) return;
  const Rect s = r.standardized();
  moveTo({s.minX(), s.minY()});
  lineTo({s.maxX(), s.minY()});
  lineTo({s.maxX(), s.maxY()});
  lineTo({s.minX(), s.maxY()});
  close();
}

void Path::addRoundedRect(const Rect& r, double rx, double ry) {
  if (r.isNull() || !r.isFinite()) return;
  const Rect s = r.standardized();
  rx = std::clamp(std::isfinite(rx) ? rx : 0.0, 0.0, s.width() / 2);
  ry = std::clamp(std::isfinite(ry) ? ry : 0.0, 0.0, s.height() / 2);
  if (rx == 0 || ry == 0) {
    addRect(s);
    return;
  }
  const double x0 = s.minX(), x1 = s.maxX(), y0 = s.minY(), y1 = s.maxY();
  const double kx = rx * kappa, ky = ry * kappa;
  moveTo({x1, s.midY()});
  lineTo({x1, y1 - ry});
  cubicTo({x1, y1 - ry + ky}, {x1 - rx + kx, y1}, {x1 - rx, y1});
  lineTo({x0 + rx, y1});
  cubicTo({x0 + rx - kx, y1}, {x0, y1 - ry + ky}, {x0, y1 - ry});
  lineTo({x0, y0 + ry});
  cubicTo({x0, y0 + ry - ky}, {x0 + rx - kx, y0}, {x0 + rx, y0});
  lineTo({x1 - rx, y0});
  cubicTo({x1 - rx + kx, y0}, {x1, y0 + ry - ky}, {x1, y0 + ry});
  close();
}

void Path::addEllipse(const Rect& r) {
  if (r.isNull() || !r.isFinite()) return;
  const Rect s = r.standardized();
  const double cx = s.midX(), cy = s.midY(), rx = s.width() / 2, ry = s.height() / 2;
  const double kx = rx * kappa, ky = ry * kappa;
  moveTo({cx + rx, cy});
  cubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
  cubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
  cubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
  cubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
  close();
}

void Path::addArc(Point c, double radius, double startAngle, double endAngle, bool clockwise) {
  if (!std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
  constexpr double twoPi = 2 * std::numbers::pi;
  double sweep = endAngle - startAngle;
  if (!clockwise && sweep < 0) sweep = std::fmod(sweep, twoPi) + twoPi;
  if (clockwise && sweep > 0) sweep = std::fmod(sweep, twoPi) - twoPi;
  sweep = std::clamp(sweep, -twoPi, twoPi);
  const Point start{c.x + radius * std::cos(startAngle), c.y + radius * std::sin(startAngle)};
  if (currentPoint()) {
    lineTo(start);
  } else {
    moveTo(start);
  }
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
  const double step = sweep / pieces;
  // Handle length of a cubic matching a circular arc of `step` radians.
  const double k = 4.0 / 3.0 * std::tan(step / 4) * radius;
  double a = startAngle;
  for (int i = 0; i < pieces; ++i) {
    const double b = a + step;
    const Point p0{c.x + radius * std::cos(a), c.y + radius * std::sin(a)};
    const Point p1{c.x + radius * std::cos(b), c.y + radius * std::sin(b)};
    cubicTo({p0.x - k * std::sin(a), p0.y + k * std::cos(a)}, {p1.x + k * std::sin(b), p1.y - k * std::cos(b)}, p1);
    a = b;
  }
}

void Path::addPath(const Path& other) {
  if (other.isEmpty()) return;
  auto& mine = mutableElements();
  mine.insert(mine.end(), other.elements().begin(), other.elements().end());
}

void Path::reserve(int count) { mutableElements().reserve(static_cast<std::size_t>(count)); }

int Path::elementCount() const { return m_elements ? static_cast<int>(m_elements->size()) : 0; }

const Path::Element& Path::element(int i) const { return (*m_elements)[static_cast<std::size_t>(i)]; }

const std::vector<Path::Element>& Path::elements() const { return m_elements ? *m_elements : emptyElements(); }

std::optional<Point> Path::currentPoint() const {
  const auto& els = elements();
  if (els.empty()) return std::nullopt;
  if (els.back().type != ElementType::close) return els.back().end();
  for (auto it = els.rbegin(); it != els.rend(); ++it) {
    if (it->type == ElementType::move) return it->points[0];
  }
  return std::nullopt;
}

Rect Path::controlBounds() const {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (const auto& e : elements()) {
    for (int i = 0; i < e.pointCount(); ++i) {
      const Point p = e.points[static_cast<std::size_t>(i)];
      x0 = std::min(x0, p.x);
      y0 = std::min(y0, p.y);
      x1 = std::max(x1, p.x);
      y1 = std::max(y1, p.y);
    }
  }
  if (x0 > x1) return Rect::null();
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

Path Path::translated(double dx, double dy) const {
  Path out = *this;
  if (isEmpty()) return out;
  for (auto& e : out.mutableElements()) {
    for (int i = 0; i < e.pointCount(); ++i) {
      e.points[static_cast<std::size_t>(i)].x += dx;
      e.points[static_cast<std::size_t>(i)].y += dy;
    }
  }
  return out;
}

bool Path::hasSameStructure(const Path& other) const {
  const auto& a = elements();
  const auto& b = other.elements();
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](const Element& x, const Element& y) { return x.type == y.type; });
}

Path Path::interpolated(const Path& a, const Path& b, double f) {
  if (!a.hasSameStructure(b)) return f < 0.5 ? a : b;
  if (f == 0 || a == b) return a;
  if (f == 1) return b;
  Path out = a;
  auto& els = out.mutableElements();
  for (std::size_t i = 0; i < els.size(); ++i) {
    for (int j = 0; j < els[i].pointCount(); ++j) {
      const auto k = static_cast<std::size_t>(j);
      els[i].points[k] = pf::interpolated(els[i].points[k], b.elements()[i].points[k], f);
    }
  }
  return out;
}

bool Path::operator==(const Path& other) const {
  return m_elements == other.m_elements || elements() == other.elements();
}

}  // namespace pf

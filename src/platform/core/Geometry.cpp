#include "platform/core/Geometry.h"

#include <algorithm>

namespace pf {

Rect Rect::null() {
  const double inf = std::numeric_limits<double>::infinity();
  return Rect(inf, inf, 0, 0);
}

bool Rect::isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }

bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

bool Rect::isFinite() const {
  return std::isfinite(origin.x) && std::isfinite(origin.y) && std::isfinite(size.width) && std::isfinite(size.height);
}

Rect Rect::standardized() const {
  if (isNull()) return *this;
  Rect r = *this;
  if (r.size.width < 0) {
    r.origin.x += r.size.width;
    r.size.width = -r.size.width;
  }
  if (r.size.height < 0) {
    r.origin.y += r.size.height;
    r.size.height = -r.size.height;
  }
  return r;
}

double Rect::minX() const { return standardized().origin.x; }
double Rect::maxX() const { return minX() + width(); }
double Rect::midX() const { return minX() + width() / 2; }
double Rect::minY() const { return standardized().origin.y; }
double Rect::maxY() const { return minY() + height(); }
double Rect::midY() const { return minY() + height() / 2; }
double Rect::width() const { return std::fabs(size.width); }
double Rect::height() const { return std::fabs(size.height); }

bool Rect::contains(Point p) const {
  if (isEmpty()) return false;
  return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const {
  if (isNull() || r.isNull()) return false;
  return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

bool Rect::intersects(const Rect& r) const {
  if (isEmpty() || r.isEmpty()) return false;
  return std::max(minX(), r.minX()) < std::min(maxX(), r.maxX()) &&
         std::max(minY(), r.minY()) < std::min(maxY(), r.maxY());
}

Rect Rect::intersection(const Rect& r) const {
  if (isNull() || r.isNull()) return null();
  const double x0 = std::max(minX(), r.minX());
  const double y0 = std::max(minY(), r.minY());
  const double x1 = std::min(maxX(), r.maxX());
  const double y1 = std::min(maxY(), r.maxY());
  if (x1 < x0 || y1 < y0) return null();
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::united(const Rect& r) const {
  if (isNull()) return r.standardized();
  if (r.isNull()) return standardized();
  const double x0 = std::min(minX(), r.minX());
  const double y0 = std::min(minY(), r.minY());
  return Rect(x0, y0, std::max(maxX(), r.maxX()) - x0, std::max(maxY(), r.maxY()) - y0);
}

Rect Rect::insetBy(double dx, double dy) const {
  if (isNull()) return *this;
  Rect r = standardized();
  r.origin.x += dx;
  r.origin.y += dy;
  r.size.width -= 2 * dx;
  r.size.height -= 2 * dy;
  if (r.size.width < 0 || r.size.height < 0) return null();
  return r;
}

Rect Rect::offsetBy(double dx, double dy) const {
  if (isNull()) return *this;
  Rect r = standardized();
  r.origin.x += dx;
  r.origin.y += dy;
  return r;
}

}  // namespace pf

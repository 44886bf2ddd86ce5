#include "look/SkinShapes.h"

#include "look/LookColor.h"
#include "platform/gfx/Canvas.h"

using pf::Canvas;
using pf::Color;
using pf::Path;
using pf::Point;
using pf::Rect;

Rect SkinShapes::inset(const Rect& rect, double d) {
  const Rect r = rect.standardized();
  const double dx = std::min(d, r.width() / 2);
  const double dy = std::min(d, r.height() / 2);
  return Rect(r.minX() + dx, r.minY() + dy, r.width() - 2 * dx, r.height() - 2 * dy);
}

Path SkinShapes::line(Point from, Point to) {
  Path path;
  path.moveTo(from);
  path.lineTo(to);
  return path;
}

Path SkinShapes::polyline(const std::vector<Point>& points) {
  Path path;
  for (const Point p : points) {
    if (path.isEmpty()) {
      path.moveTo(p);
    } else {
      path.lineTo(p);
    }
  }
  return path;
}

Path SkinShapes::polygon(const std::vector<Point>& points) {
  Path path = polyline(points);
  if (!path.isEmpty()) path.close();
  return path;
}

Path SkinShapes::oval(const Rect& rect) { return Path::ellipse(rect); }

Path SkinShapes::circle(Point centre, double radius) {
  return Path::ellipse(Rect(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius));
}

Path SkinShapes::roundedRect(const Rect& rect, double radius) { return Path::roundedRect(rect, radius, radius); }

Path SkinShapes::band(const Path& outer, const Path& inner) {
  Path path = outer;
  path.addPath(inner);
  return path;
}

pf::Gradient SkinShapes::gradient(std::initializer_list<Color> colors) { return pf::Gradient{colors, {}}; }

Color SkinShapes::darkened(const Color& color, double fraction) {
  return LookColor::blended(color, fraction, LookColor::black());
}

void SkinShapes::fillAndStroke(Canvas& canvas, const Path& path, const Color& color, const Color& edge, double width) {
  canvas.fill(path, color);
  canvas.stroke(path, edge, width);
}

void SkinShapes::screw(Canvas& canvas, Point centre, double diameter, double edgeWidth) {
  fillAndStroke(canvas, circle(centre, diameter / 2), LookColor::darkGray(), LookColor::white(), edgeWidth);
  canvas.stroke(line({centre.x - 1.5, centre.y}, {centre.x + 1.5, centre.y}), LookColor::white(), 1);
}

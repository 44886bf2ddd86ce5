#include "platform/gfx/PainterCanvas.h"

#include "platform/gfx/PainterPath.h"
#include "platform/gfx/ShadowBlur.h"
#include "platform/gfx/SystemColors.h"

#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace pf {

namespace {

void setStops(QGradient& target, const Gradient& gradient) {
  const auto n = gradient.colors.size();
  for (std::size_t i = 0; i < n; ++i) {
    const double at = i < gradient.locations.size() ? gradient.locations[i] : n > 1 ? double(i) / double(n - 1) : 0.0;
    target.setColorAt(std::clamp(at, 0.0, 1.0), toQColor(gradient.colors[i]));
  }
}

// Indexed by the canvas's enumeration, in its order.
constexpr QPainter::CompositionMode compositions[] = {QPainter::CompositionMode_SourceOver,
                                                      QPainter::CompositionMode_SourceAtop,
                                                      QPainter::CompositionMode_DestinationIn};

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, double height) : m_painter(painter) {
  m_painter.save();
  m_painter.setRenderHint(QPainter::Antialiasing);
  m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
  m_painter.translate(0, height);
  m_painter.scale(1, -1);
}

PainterCanvas::~PainterCanvas() {
  while (!m_saved.empty()) restore();
  m_painter.restore();
}

void PainterCanvas::save() {
  m_saved.push_back(m_state);
  m_painter.save();
}

void PainterCanvas::restore() {
  if (m_saved.empty()) return;
  m_state = m_saved.back();
  m_saved.pop_back();
  m_painter.restore();
}

void PainterCanvas::translate(double dx, double dy) { m_painter.translate(dx, dy); }

void PainterCanvas::clip(const Path& path, FillRule rule) {
  m_painter.setClipPath(toQPainterPath(path, rule), Qt::IntersectClip);
}

void PainterCanvas::fill(const Path& path, const Color& color, FillRule rule) {
  const QPainterPath area = toQPainterPath(path, rule);
  const QBrush brush(toQColor(color));
  paint(area.boundingRect(), [&](QPainter& p) { p.fillPath(area, brush); });
}

void PainterCanvas::stroke(const Path& path, const Color& color, double lineWidth) {
  const QPainterPath line = toQPainterPath(path);
  const QPen linePen = pen(color, lineWidth);
  const double grow = std::max(lineWidth, 0.0) * 3;
  paint(line.boundingRect().adjusted(-grow, -grow, grow, grow), [&](QPainter& p) { p.strokePath(line, linePen); });
}

void PainterCanvas::fillLinearGradient(const Path& path, const Gradient& gradient, double angle, FillRule rule) {
  const QPainterPath area = toQPainterPath(path, rule);
  const QRectF b = area.boundingRect();
  const double a = angle * M_PI / 180;
  const double half = (std::fabs(b.width() * std::cos(a)) + std::fabs(b.height() * std::sin(a))) / 2;
  const QPointF centre = b.center();
  const QPointF along(std::cos(a) * half, std::sin(a) * half);
  QLinearGradient linear(centre - along, centre + along);
  setStops(linear, gradient);
  const QBrush brush(linear);
  paint(b, [&](QPainter& p) { p.fillPath(area, brush); });
}

void PainterCanvas::drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                                       double endRadius) {
  const QPointF start(startCenter.x, startCenter.y);
  const QPointF end(endCenter.x, endCenter.y);
  QRadialGradient radial(end, endRadius, start, startRadius);
  setStops(radial, gradient);
  QPainterPath outer;
  outer.addEllipse(end, endRadius, endRadius);
  QPainterPath inner;
  inner.addEllipse(start, startRadius, startRadius);
  // Nothing is painted before the start circle or beyond the end one.
  const bool nested = startRadius > 0 && QLineF(start, end).length() + startRadius <= endRadius;
  const QPainterPath area = nested ? outer.subtracted(inner) : outer.united(inner);
  const QBrush brush(radial);
  paint(area.boundingRect(), [&](QPainter& p) { p.fillPath(area, brush); });
}

void PainterCanvas::drawImage(const QImage& image, const Rect& rect) {
  const Rect r = rect.standardized();
  const QRectF target(r.minX(), r.minY(), r.width(), r.height());
  paint(target, [&](QPainter& p) {
    // Images are stored top row first; undo the y-up flip around the target.
    p.save();
    p.translate(target.left(), target.bottom());
    p.scale(1, -1);
    p.drawImage(QRectF(0, 0, target.width(), target.height()), image);
    p.restore();
  });
}

void PainterCanvas::setShadow(const Color& color, double blurRadius, Point offset) {
  // A blur that is not a number would reach an integer conversion; a sharp shadow is the safe reading.
  if (!std::isfinite(blurRadius)) blurRadius = 0;
  m_state.shadow = Shadow{color, blurRadius, offset};
}

void PainterCanvas::clearShadow() { m_state.shadow.reset(); }

void PainterCanvas::setLineCap(LineCap cap) { m_state.cap = cap; }

void PainterCanvas::setLineJoin(LineJoin join) { m_state.join = join; }

void PainterCanvas::setComposition(Composition mode) { m_painter.setCompositionMode(compositions[int(mode)]); }

QPen PainterCanvas::pen(const Color& color, double lineWidth) const {
  QPen p(toQColor(color), lineWidth, Qt::SolidLine, penCapStyle(m_state.cap), penJoinStyle(m_state.join));
  // Qt measures the miter limit from the join point, half the usual ratio of 10.
  p.setMiterLimit(5);
  return p;
}

void PainterCanvas::paint(const QRectF& bounds, const std::function<void(QPainter&)>& draw) {
  if (m_state.shadow) castShadow(*m_state.shadow, bounds, draw);
  draw(m_painter);
}

void PainterCanvas::castShadow(const Shadow& shadow, const QRectF& bounds, const std::function<void(QPainter&)>& draw) {
  const QColor color = toQColor(shadow.color);
  if (color.alpha() == 0 || !bounds.isValid() || !m_painter.device()) return;
  const QTransform device = m_painter.deviceTransform();
  const double scale = std::sqrt(std::fabs(device.determinant()));
  const double sigma = std::max(shadow.blurRadius, 0.0) * scale / 2;
  const QPointF offset(shadow.offset.x * scale, -shadow.offset.y * scale);
  const double margin = std::ceil(3 * sigma) + 2;

  const double ratio = m_painter.device()->devicePixelRatioF();
  const QRectF visible(0, 0, m_painter.device()->width() * ratio, m_painter.device()->height() * ratio);
  const QRectF area = device.mapRect(bounds)
                          .adjusted(-margin, -margin, margin, margin)
                          .intersected(visible.translated(-offset).adjusted(-margin, -margin, margin, margin));
  if (area.isEmpty()) return;

  // A soft shadow loses nothing when blurred at a lower resolution and
  // scaled up, and the blur costs a fraction as much.
  const int shrink = sigma >= 8 ? 4 : sigma >= 2 ? 2 : 1;
  QImage content(int(std::ceil(area.width() / shrink)), int(std::ceil(area.height() / shrink)),
                 QImage::Format_ARGB32_Premultiplied);
  content.fill(Qt::transparent);
  {
    QPainter p(&content);
    p.setRenderHints(m_painter.renderHints());
    p.setTransform(device * QTransform::fromTranslate(-area.x(), -area.y()) *
                   QTransform::fromScale(1.0 / shrink, 1.0 / shrink));
    draw(p);
  }
  // Canvas drawings are kept pictures, drawn again mostly for a new colour or in another window.
  const QImage shadowed = reusedShadowImage(content, {}, sigma / shrink, color);

  m_painter.save();
  // Qt spreads antialiased image spans over threads, which costs more than it saves here.
  m_painter.setRenderHint(QPainter::Antialiasing, false);
  m_painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
  m_painter.drawImage(QRectF(area.topLeft() + offset, QSizeF(content.size()) * shrink), shadowed);
  m_painter.restore();
}

}  // namespace pf

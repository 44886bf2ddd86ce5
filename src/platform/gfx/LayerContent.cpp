#include "platform/gfx/LayerContent.h"

#include "platform/core/Numbers.h"
#include "platform/gfx/PainterPath.h"
#include "platform/gfx/PathMeasure.h"
#include "platform/gfx/SystemColors.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace pf {

namespace {

bool showsColor(const std::optional<Color>& c) { return c && resolved(*c).alpha > 0; }

QRectF toQRectF(const Rect& r) {
  const Rect s = r.standardized();
  return QRectF(s.minX(), s.minY(), s.width(), s.height());
}

QGradientStops stopsFor(const std::vector<Color>& colors, const std::vector<double>& locations) {
  QGradientStops stops;
  const std::size_t n = colors.size();
  const bool useLocations = locations.size() == n;
  double last = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double at =
        useLocations ? unitInterval(locations[i]) : (n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0);
    at = std::max(at, last);  // QGradient needs rising stops
    last = at;
    stops.append({at, toQColor(colors[i])});
  }
  return stops;
}

}  // namespace

LayerContent LayerContent::of(const Layer& layer, const LayerPresentation& p) {
  LayerContent c;
  c.kind = layer.kind();
  c.bounds = p.bounds;
  c.backgroundColor = p.backgroundColor;
  c.cornerRadius = p.cornerRadius;
  c.borderWidth = std::isfinite(layer.borderWidth()) ? std::max(0.0, layer.borderWidth()) : 0.0;
  c.borderColor = layer.borderColor();
  c.contents = layer.contents();
  c.shadowColor = p.shadowColor;
  c.shadowOpacity = unitInterval(p.shadowOpacity);
  c.shadowRadius = std::isfinite(p.shadowRadius) ? std::max(0.0, p.shadowRadius) : 0.0;
  c.shadowOffset = p.shadowOffset;
  if (layer.kind() == Layer::Kind::shape) {
    const auto& shape = static_cast<const ShapeLayer&>(layer);
    c.path = p.path;
    c.fillColor = p.fillColor;
    c.strokeColor = p.strokeColor;
    c.lineWidth = std::isfinite(p.lineWidth) ? std::max(0.0, p.lineWidth) : 0.0;
    c.lineCap = shape.lineCap();
    c.lineJoin = shape.lineJoin();
    c.miterLimit = shape.miterLimit();
    c.fillRule = shape.fillRule();
    c.strokeStart = unitInterval(p.strokeStart);
    c.strokeEnd = unitInterval(p.strokeEnd);
  } else if (layer.kind() == Layer::Kind::gradient) {
    const auto& gradient = static_cast<const GradientLayer&>(layer);
    c.gradientType = gradient.type();
    c.colors = gradient.colors();
    c.locations = gradient.locations();
    c.startPoint = gradient.startPoint();
    c.endPoint = gradient.endPoint();
  }
  return c;
}

bool LayerContent::hasBorder() const {
  return borderWidth > 0 && showsColor(borderColor) && bounds.isFinite() && !bounds.isEmpty();
}

bool LayerContent::isFaint() const {
  // An edge drawn without antialiasing differs from an antialiased one by less
  // than the colour's alpha, along a smooth edge by at most half of it: at this
  // alpha about ten levels of 255, which no one sees on the edge of a faint glow.
  constexpr double faintAlpha = 0.08;
  const auto faint = [](const std::optional<Color>& c) { return !showsColor(c) || resolved(*c).alpha <= faintAlpha; };
  if (kind != Layer::Kind::shape || fillsItsBox()) return false;
  return faint(fillColor) && faint(strokeColor);
}

bool LayerContent::fillsItsBox() const {
  return hasArea() && (showsColor(backgroundColor) || !contents.isNull() || hasBorder());
}

bool LayerContent::isVisible() const {
  if (fillsItsBox()) return true;
  if (hasArea() && kind == Layer::Kind::gradient && !colors.empty()) return true;
  if (kind != Layer::Kind::shape || path.isEmpty()) return false;
  return showsColor(fillColor) || (showsColor(strokeColor) && lineWidth > 0 && strokeEnd > strokeStart);
}

bool LayerContent::isImageOnly() const {
  const bool drawsMore = showsColor(backgroundColor) || hasBorder() || hasShadow() ||
                         (kind == Layer::Kind::gradient && !colors.empty()) ||
                         (kind == Layer::Kind::shape && !path.isEmpty());
  return hasArea() && !contents.isNull() && !drawsMore;
}

QTransform LayerContent::imagePlacement() const {
  // Stretched over the bounds with its first row at the top, as `paint` draws it.
  const QRectF box = toQRectF(bounds);
  return QTransform::fromScale(box.width() / contents.width(), -box.height() / contents.height()) *
         QTransform::fromTranslate(box.left(), box.bottom());
}

bool LayerContent::hasShadow() const { return shadowOpacity > 0 && showsColor(shadowColor) && isVisible(); }

QRectF LayerContent::localBounds() const {
  QRectF r;
  if (bounds.isFinite() && !bounds.isEmpty() &&
      (showsColor(backgroundColor) || !contents.isNull() || hasBorder() || kind == Layer::Kind::gradient)) {
    r = toQRectF(bounds);
  }
  if (strokeOutline) {
    const QRectF fill = showsColor(fillColor) ? toQRectF(path.controlBounds()) : QRectF();
    r = r.united(fill).united(strokeOutline->boundingRect().adjusted(-1, -1, 1, 1));
  } else if (kind == Layer::Kind::shape && !path.isEmpty()) {
    const Rect b = path.controlBounds();
    // Miter joins can reach past half the line width; the limit bounds how far.
    const double reach =
        lineWidth / 2 * (lineJoin == ShapeLayer::LineJoin::miter ? std::max(1.0, miterLimit) : 1.5) + 1;
    r = r.united(toQRectF(b).adjusted(-reach, -reach, reach, reach));
  }
  return r;
}

double LayerContent::shadowReach() const {
  if (!hasShadow()) return 0;
  // Three standard deviations of a Gaussian with sigma = radius / 2.
  return 1.5 * shadowRadius + std::max(std::fabs(shadowOffset.width), std::fabs(shadowOffset.height)) + 1;
}

QColor LayerContent::shadowTint() const {
  QColor c = toQColor(shadowColor.value_or(Color{}));
  c.setAlphaF(static_cast<float>(c.alphaF() * shadowOpacity));
  return c;
}

bool LayerContent::hasArea() const { return bounds.isFinite() && !bounds.isEmpty(); }

std::vector<LayerContent::Part> LayerContent::parts(bool withShadow) const {
  std::vector<Part> parts;
  if (withShadow && hasShadow()) parts.push_back(Part::approximateShadow);
  if (hasArea() && showsColor(backgroundColor)) parts.push_back(Part::background);
  if (hasArea() && !contents.isNull()) parts.push_back(Part::contents);
  if (hasArea() && kind == Layer::Kind::gradient && !colors.empty()) parts.push_back(Part::gradient);
  if (kind == Layer::Kind::shape && !path.isEmpty() && showsColor(fillColor)) parts.push_back(Part::fill);
  if (hasStroke()) parts.push_back(Part::stroke);
  if (hasBorder()) parts.push_back(Part::border);
  return parts;
}

bool LayerContent::isSolid(Part part) { return part != Part::contents && part != Part::gradient; }

void LayerContent::paint(QPainter& painter) const {
  for (const Part part : parts()) paint(painter, part);
}

void LayerContent::paint(QPainter& painter, Part part) const {
  painter.setPen(Qt::NoPen);
  switch (part) {
    case Part::approximateShadow: paintApproximateShadow(painter); return;
    case Part::background: paintBackground(painter); return;
    case Part::contents: paintContents(painter); return;
    case Part::gradient: paintGradient(painter); return;
    case Part::fill:
      painter.setBrush(toQColor(*fillColor));
      painter.drawPath(toQPainterPath(path, fillRule));
      return;
    case Part::stroke: paintStroke(painter); return;
    case Part::border: paintBorder(painter); return;
  }
}

void LayerContent::paintBackground(QPainter& painter) const {
  const QRectF box = toQRectF(bounds);
  const QColor bg = toQColor(*backgroundColor);
  const double r = std::clamp(cornerRadius, 0.0, std::min(box.width(), box.height()) / 2);
  if (r > 0) {
    painter.setBrush(bg);
    painter.drawRoundedRect(box, r, r);
  } else {
    painter.fillRect(box, bg);
  }
}

void LayerContent::paintContents(QPainter& painter) const {
  const QRectF box = toQRectF(bounds);
  // Images keep their first row at the top, so undo the y-up flip for them.
  painter.save();
  painter.translate(0, box.top() + box.bottom());
  painter.scale(1, -1);
  // An upright image needs no antialiased edges, and without them Qt draws
  // it several times cheaper (with them it also hands it to worker threads).
  if (painter.worldTransform().type() <= QTransform::TxScale) {
    painter.setRenderHint(QPainter::Antialiasing, false);
  }
  painter.drawImage(box, contents);
  painter.restore();
}

void LayerContent::paintGradient(QPainter& painter) const {
  const QRectF box = toQRectF(bounds);
  const auto stops = stopsFor(colors, locations);
  const QPointF start(box.left() + startPoint.x * box.width(), box.top() + startPoint.y * box.height());
  const QPointF end(box.left() + endPoint.x * box.width(), box.top() + endPoint.y * box.height());
  if (gradientType == GradientLayer::Type::radial) {
    const double rx = std::fabs(end.x() - start.x()), ry = std::fabs(end.y() - start.y());
    if (rx > 0 && ry > 0) {
      // A unit circle gradient, stretched into the ellipse.
      QRadialGradient g(QPointF(0, 0), 1);
      g.setStops(stops);
      QBrush brush(g);
      brush.setTransform(QTransform(rx, 0, 0, ry, start.x(), start.y()));
      painter.fillRect(box, brush);
    } else {
      painter.fillRect(box, stops.last().second);
    }
  } else {
    QLinearGradient g(start, end);
    g.setStops(stops);
    painter.fillRect(box, g);
  }
}

void LayerContent::paintBorder(QPainter& painter) const {
  // The line lies wholly inside the bounds, its outer edge following the rounded corners.
  const QRectF box = toQRectF(bounds);
  const double w = std::min(borderWidth, std::min(box.width(), box.height()) / 2);
  const double r = std::clamp(cornerRadius, 0.0, std::min(box.width(), box.height()) / 2);
  QPainterPath ring;
  ring.setFillRule(Qt::OddEvenFill);
  ring.addRoundedRect(box, r, r);
  ring.addRoundedRect(box.adjusted(w, w, -w, -w), std::max(0.0, r - w), std::max(0.0, r - w));
  painter.setPen(Qt::NoPen);
  painter.setBrush(toQColor(*borderColor));
  painter.drawPath(ring);
}

QPen LayerContent::strokePen() const {
  QPen pen(toQColor(strokeColor.value_or(Color{})), lineWidth, Qt::SolidLine, penCapStyle(lineCap),
           penJoinStyle(lineJoin));
  pen.setMiterLimit(miterLimit);
  return pen;
}

bool LayerContent::isTrimmed() const { return strokeStart > 0 || strokeEnd < 1; }

// Measuring a path costs about as much as stroking it: an untrimmed one is not measured.
Path LayerContent::trimmedPath() const { return isTrimmed() ? trimmedPath(PathMeasure(path)) : path; }

Path LayerContent::trimmedPath(const PathMeasure& measure) const {
  return isTrimmed() ? measure.trimmed(strokeStart, strokeEnd) : path;
}

QPainterPath LayerContent::strokedPath() const { return toQPainterPath(trimmedPath()); }

bool LayerContent::hasStroke() const {
  return kind == Layer::Kind::shape && !path.isEmpty() && showsColor(strokeColor) && lineWidth > 0 &&
         strokeEnd > strokeStart;
}

void LayerContent::outlineStroke() {
  if (!hasStroke() || strokeOutline) return;
  const QPen pen = strokePen();
  QPainterPathStroker stroker(pen);
  strokeOutline = stroker.createStroke(strokedPath());
}

void LayerContent::paintStroke(QPainter& painter) const {
  if (strokeOutline) {
    painter.setBrush(toQColor(*strokeColor));
    painter.drawPath(*strokeOutline);
    return;
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(strokePen());
  painter.drawPath(strokedPath());
  painter.setPen(Qt::NoPen);
}

void LayerContent::paintApproximateShadow(QPainter& painter) const {
  if (!hasShadow()) return;
  // One wider, fainter stroke of the outline: blurring anew every frame would cost far more.
  QColor tint = shadowTint();
  tint.setAlphaF(tint.alphaF() * 0.5f);
  QPainterPath outline;
  double base = 0;
  if (kind == Layer::Kind::shape && !path.isEmpty()) {
    const bool stroked = showsColor(strokeColor) && lineWidth > 0;
    const Path p =
        stroked && (strokeStart > 0 || strokeEnd < 1) ? PathMeasure(path).trimmed(strokeStart, strokeEnd) : path;
    outline = toQPainterPath(p);
    base = stroked ? lineWidth : 0;
  } else {
    outline.addRect(toQRectF(bounds));
  }
  painter.save();
  painter.translate(shadowOffset.width, shadowOffset.height);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(tint, base + shadowRadius, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(outline);
  painter.restore();
}

}  // namespace pf

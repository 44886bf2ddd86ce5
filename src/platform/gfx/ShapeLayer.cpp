#include "platform/gfx/ShapeLayer.h"

namespace pf {

std::shared_ptr<ShapeLayer> ShapeLayer::make() { return std::shared_ptr<ShapeLayer>(new ShapeLayer()); }

void ShapeLayer::setPath(const Path& path) {
  if (assign(m_path, path)) contentChanged();
}

void ShapeLayer::setFillColor(const std::optional<Color>& color) {
  if (assign(m_fillColor, color)) contentChanged();
}

void ShapeLayer::setStrokeColor(const std::optional<Color>& color) {
  if (assign(m_strokeColor, color)) contentChanged();
}

void ShapeLayer::setLineWidth(double width) {
  if (assign(m_lineWidth, width)) contentChanged();
}

void ShapeLayer::setLineCap(LineCap cap) {
  if (assign(m_lineCap, cap)) contentChanged();
}

void ShapeLayer::setLineJoin(LineJoin join) {
  if (assign(m_lineJoin, join)) contentChanged();
}

void ShapeLayer::setMiterLimit(double limit) {
  if (assign(m_miterLimit, limit)) contentChanged();
}

void ShapeLayer::setFillRule(FillRule rule) {
  if (assign(m_fillRule, rule)) contentChanged();
}

void ShapeLayer::setStrokeStart(double fraction) {
  if (assign(m_strokeStart, fraction)) contentChanged();
}

void ShapeLayer::setStrokeEnd(double fraction) {
  if (assign(m_strokeEnd, fraction)) contentChanged();
}

}  // namespace pf

#include "platform/gfx/GradientLayer.h"

namespace pf {

std::shared_ptr<GradientLayer> GradientLayer::make() { return std::shared_ptr<GradientLayer>(new GradientLayer()); }

void GradientLayer::setType(Type type) {
  if (assign(m_type, type)) contentChanged();
}

void GradientLayer::setColors(const std::vector<Color>& colors) {
  if (assign(m_colors, colors)) contentChanged();
}

void GradientLayer::setLocations(const std::vector<double>& locations) {
  if (assign(m_locations, locations)) contentChanged();
}

void GradientLayer::setStartPoint(Point point) {
  if (assign(m_startPoint, point)) contentChanged();
}

void GradientLayer::setEndPoint(Point point) {
  if (assign(m_endPoint, point)) contentChanged();
}

}  // namespace pf

#include "platform/gfx/GradientLayer.h"

namespace pf {

std::shared_ptr<GradientLayer> GradientLayer::make() {
  return std::shared_ptr<GradientLayer>(new GradientLayer());
}

void GradientLayer::setType(Type type) {
  if (type == m_type) return;
  m_type = type;
  contentChanged();
}

void GradientLayer::setColors(const std::vector<Color>& colors) {
  if (colors == m_colors) return;
  m_colors = colors;
  contentChanged();
}

void GradientLayer::setLocations(const std::vector<double>& locations) {
  if (locations == m_locations) return;
  m_locations = locations;
  contentChanged();
}

void GradientLayer::setStartPoint(Point point) {
  if (point == m_startPoint) return;
  m_startPoint = point;
  contentChanged();
}

void GradientLayer::setEndPoint(Point point) {
  if (point == m_endPoint) return;
  m_endPoint = point;
  contentChanged();
}

}  // namespace pf

#pragma once

#include "platform/gfx/Layer.h"

#include <vector>

namespace pf {

/// A layer filled with a gradient over its bounds. Points are in unit
/// coordinates of the bounds ((0, 0) bottom left, (1, 1) top right). A radial
/// gradient is an ellipse centred on the start point whose radii reach the end
/// point; an axial one runs from the start point to the end point.
class GradientLayer final : public Layer {
 public:
  enum class Type { axial, radial };

  static std::shared_ptr<GradientLayer> make();

  Type type() const { return m_type; }
  void setType(Type type);
  const std::vector<Color>& colors() const { return m_colors; }
  void setColors(const std::vector<Color>& colors);
  /// Stops for the colours, rising in [0, 1]; evenly spaced when empty or of another count.
  const std::vector<double>& locations() const { return m_locations; }
  void setLocations(const std::vector<double>& locations);
  Point startPoint() const { return m_startPoint; }
  void setStartPoint(Point point);
  Point endPoint() const { return m_endPoint; }
  void setEndPoint(Point point);

 private:
  GradientLayer() : Layer(Kind::gradient) {}

  Type m_type = Type::axial;
  std::vector<Color> m_colors;
  std::vector<double> m_locations;
  Point m_startPoint{0.5, 0};
  Point m_endPoint{0.5, 1};
};

}  // namespace pf

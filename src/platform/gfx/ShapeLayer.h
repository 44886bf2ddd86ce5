#pragma once

#include "platform/gfx/Layer.h"
#include "platform/gfx/Path.h"

namespace pf {

/// A layer that fills and strokes a path given in its own coordinates (not
/// clipped to its bounds).
class ShapeLayer final : public Layer {
 public:
  using LineCap = pf::LineCap;
  using LineJoin = pf::LineJoin;
  using FillRule = pf::FillRule;

  static std::shared_ptr<ShapeLayer> make();

  const Path& path() const { return m_path; }
  void setPath(const Path& path);
  /// Opaque black unless set; none fills nothing.
  const std::optional<Color>& fillColor() const { return m_fillColor; }
  void setFillColor(const std::optional<Color>& color);
  /// None (the default) strokes nothing.
  const std::optional<Color>& strokeColor() const { return m_strokeColor; }
  void setStrokeColor(const std::optional<Color>& color);
  double lineWidth() const { return m_lineWidth; }
  void setLineWidth(double width);
  LineCap lineCap() const { return m_lineCap; }
  void setLineCap(LineCap cap);
  LineJoin lineJoin() const { return m_lineJoin; }
  void setLineJoin(LineJoin join);
  double miterLimit() const { return m_miterLimit; }
  void setMiterLimit(double limit);
  FillRule fillRule() const { return m_fillRule; }
  void setFillRule(FillRule rule);
  /// The stroked part of the path, as fractions of its length.
  double strokeStart() const { return m_strokeStart; }
  void setStrokeStart(double fraction);
  double strokeEnd() const { return m_strokeEnd; }
  void setStrokeEnd(double fraction);

 private:
  ShapeLayer() : Layer(Kind::shape) {}

  Path m_path;
  std::optional<Color> m_fillColor = Color::calibratedRGB(0, 0, 0, 1);
  std::optional<Color> m_strokeColor;
  double m_lineWidth = 1;
  LineCap m_lineCap = LineCap::butt;
  LineJoin m_lineJoin = LineJoin::miter;
  double m_miterLimit = 10;
  FillRule m_fillRule = FillRule::nonZero;
  double m_strokeStart = 0;
  double m_strokeEnd = 1;
};

}  // namespace pf

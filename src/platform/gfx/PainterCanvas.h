#pragma once

#include "platform/gfx/Canvas.h"

#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace pf {

/// A canvas over a QPainter: y-up drawing on a widget or image `height`
/// points high. The painter's own state is restored when the canvas goes.
class PainterCanvas final : public Canvas {
 public:
  PainterCanvas(QPainter& painter, double height);
  ~PainterCanvas() override;
  PainterCanvas(const PainterCanvas&) = delete;
  PainterCanvas& operator=(const PainterCanvas&) = delete;

  void save() override;
  void restore() override;
  void translate(double dx, double dy) override;
  void clip(const Path& path, FillRule rule = FillRule::nonZero) override;
  void fill(const Path& path, const Color& color, FillRule rule = FillRule::nonZero) override;
  void stroke(const Path& path, const Color& color, double lineWidth) override;
  void fillLinearGradient(const Path& path, const Gradient& gradient, double angle,
                          FillRule rule = FillRule::nonZero) override;
  void drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                          double endRadius) override;
  void drawImage(const QImage& image, const Rect& rect) override;
  void setShadow(const Color& color, double blurRadius, Point offset = {}) override;
  void clearShadow() override;
  void setLineCap(LineCap cap) override;
  void setLineJoin(LineJoin join) override;
  void setComposition(Composition mode) override;

 private:
  struct Shadow {
    Color color;
    double blurRadius = 0;
    Point offset;
  };
  struct State {
    std::optional<Shadow> shadow;
    LineCap cap = LineCap::butt;
    LineJoin join = LineJoin::miter;
  };

  QPen pen(const Color& color, double lineWidth) const;
  /// Runs `draw` on the painter, casting the current shadow first; `bounds`
  /// holds everything `draw` touches, in our coordinates.
  void paint(const QRectF& bounds, const std::function<void(QPainter&)>& draw);
  void castShadow(const Shadow& shadow, const QRectF& bounds, const std::function<void(QPainter&)>& draw);

  QPainter& m_painter;
  State m_state;
  std::vector<State> m_saved;
};

}  // namespace pf

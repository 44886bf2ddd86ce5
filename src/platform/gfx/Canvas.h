#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Path.h"

#include <vector>

class QImage;

namespace pf {

/// The colours of a gradient with their locations from 0 to 1; without
/// locations the colours are spread evenly.
struct Gradient {
  std::vector<Color> colors;
  std::vector<double> locations;
  bool operator==(const Gradient&) const = default;
};

/// A y-up drawing surface (origin bottom left) with the calls the look's
/// painters make. Drawing state (clip, shadow, line cap and join, compositing,
/// translation) lives on a stack: `save` pushes it, `restore` pops it.
class Canvas {
 public:
  using FillRule = pf::FillRule;
  using LineCap = pf::LineCap;
  using LineJoin = pf::LineJoin;
  enum class Composition { sourceOver, sourceAtop, destinationIn };

  virtual ~Canvas() = default;

  /// Pushes the drawing state.
  virtual void save() = 0;
  /// Pops the drawing state; an unbalanced restore does nothing.
  virtual void restore() = 0;
  /// Moves the origin by (dx, dy).
  virtual void translate(double dx, double dy) = 0;
  /// Narrows the clip to the inside of `path`.
  virtual void clip(const Path& path, FillRule rule = FillRule::nonZero) = 0;

  virtual void fill(const Path& path, const Color& color, FillRule rule = FillRule::nonZero) = 0;
  virtual void stroke(const Path& path, const Color& color, double lineWidth) = 0;
  /// Fills `path` with a linear gradient at `angle` degrees (0 runs left to
  /// right, 90 bottom to top). The gradient line passes through the centre of
  /// the path's bounds and is just long enough for the first and last colours
  /// to reach the corners: half its length is (|w cos a| + |h sin a|) / 2.
  virtual void fillLinearGradient(const Path& path, const Gradient& gradient, double angle,
                                  FillRule rule = FillRule::nonZero) = 0;
  /// Paints the gradient between the circle (startCenter, startRadius) and the
  /// circle (endCenter, endRadius): nothing beyond the end circle, nor inside a
  /// start circle that lies within it.
  virtual void drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                                  double endRadius) = 0;
  /// Draws `image` stretched over `rect`, upright.
  virtual void drawImage(const QImage& image, const Rect& rect) = 0;

  /// Every later drawing casts a blurred shadow of `color` moved by `offset`.
  virtual void setShadow(const Color& color, double blurRadius, Point offset = {}) = 0;
  virtual void clearShadow() = 0;
  virtual void setLineCap(LineCap cap) = 0;
  virtual void setLineJoin(LineJoin join) = 0;
  /// How later drawing combines with what is there. It acts only where a call
  /// draws: pixels outside the shape or image are left alone.
  virtual void setComposition(Composition mode) = 0;
};

}  // namespace pf

#pragma once

#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/PathMeasure.h"
#include "platform/gfx/Presentation.h"
#include "platform/gfx/ShapeLayer.h"

#include <QPainter>
#include <QPainterPath>
#include <optional>
#include <vector>

namespace pf {

/// Everything one layer draws itself at one moment (not its sublayers),
/// gathered from the layer and its presentation, so it can be drawn later or
/// into a cache without touching the layer again.
struct LayerContent {
  Layer::Kind kind = Layer::Kind::plain;
  Rect bounds;
  std::optional<Color> backgroundColor;
  double cornerRadius = 0;
  double borderWidth = 0;
  std::optional<Color> borderColor;
  QImage contents;
  // Shape layers.
  Path path;
  std::optional<Color> fillColor;
  std::optional<Color> strokeColor;
  double lineWidth = 1;
  ShapeLayer::LineCap lineCap = ShapeLayer::LineCap::butt;
  ShapeLayer::LineJoin lineJoin = ShapeLayer::LineJoin::miter;
  double miterLimit = 10;
  ShapeLayer::FillRule fillRule = ShapeLayer::FillRule::nonZero;
  double strokeStart = 0;
  double strokeEnd = 1;
  // Gradient layers.
  GradientLayer::Type gradientType = GradientLayer::Type::axial;
  std::vector<Color> colors;
  std::vector<double> locations;
  Point startPoint;
  Point endPoint;
  // The shadow, drawn only when visible.
  std::optional<Color> shadowColor;
  double shadowOpacity = 0;
  double shadowRadius = 0;
  Size shadowOffset;
  /// The stroke as a filled outline, once `outlineStroke` made it.
  std::optional<QPainterPath> strokeOutline;

  static LayerContent of(const Layer& layer, const LayerPresentation& presentation);

  bool operator==(const LayerContent&) const = default;

  /// Works out the stroke's outline once, so that drawing the content again
  /// (in strips, say) fills it rather than stroking the path each time, and
  /// `localBounds` holds the stroke tightly.
  void outlineStroke();

  /// False when nothing would show (no background, image, fill, stroke or gradient).
  bool isVisible() const;
  bool hasShadow() const;
  /// True when it is only a shape whose fill and stroke are so faint that
  /// antialiasing would change no pixel by more than a few levels.
  bool isFaint() const;
  /// True when a border of some width and a visible colour is drawn.
  bool hasBorder() const;
  /// True when its box has area and shows a background, image or border.
  bool fillsItsBox() const;
  /// True when it draws its contents image and nothing else (no background,
  /// border, fill, stroke, gradient or shadow).
  bool isImageOnly() const;
  /// Maps the contents image's pixels into the layer's coordinates, where `paint` stretches it.
  QTransform imagePlacement() const;
  /// What the content covers in the layer's coordinates, strokes included, shadow not.
  QRectF localBounds() const;
  /// How far the shadow reaches beyond `localBounds`, in the layer's coordinates.
  double shadowReach() const;

  /// The fills the content is drawn with, each one at a time, bottom first.
  /// Each covers a pixel at most once: drawn alone on a clear canvas, it
  /// looks the same whether it is blended or replaces what lay there.
  enum class Part {
    approximateShadow,  ///< only when asked for: see `paintApproximateShadow`
    background,
    contents,
    gradient,
    fill,
    stroke,
    border,
  };
  /// The parts that leave a mark, bottom first (the approximate shadow only when `withShadow`).
  std::vector<Part> parts(bool withShadow = false) const;
  /// True for a part filled with one colour, false for an image or a gradient.
  static bool isSolid(Part part);

  /// Draws the content (not the shadow) with the painter's transform mapping the layer's coordinates.
  void paint(QPainter& painter) const;
  /// Draws one part the same way.
  void paint(QPainter& painter, Part part) const;
  /// A cheap stand-in for the blurred shadow, for content drawn anew every
  /// frame: one wider, fainter stroke of the outline.
  void paintApproximateShadow(QPainter& painter) const;
  /// The shadow colour with its opacity applied.
  QColor shadowTint() const;
  /// The path as its stroke is drawn: cut to `strokeStart` and `strokeEnd`.
  Path trimmedPath() const;
  /// The same, cut along `measure` of `path`, kept by a caller that cuts the path more than once.
  Path trimmedPath(const PathMeasure& measure) const;

 private:
  /// Whether `strokeStart` or `strokeEnd` cuts the path.
  bool isTrimmed() const;
  bool hasStroke() const;
  QPen strokePen() const;
  QPainterPath strokedPath() const;
  bool hasArea() const;
  void paintBackground(QPainter& painter) const;
  void paintContents(QPainter& painter) const;
  void paintGradient(QPainter& painter) const;
  void paintStroke(QPainter& painter) const;
  void paintBorder(QPainter& painter) const;
};

}  // namespace pf

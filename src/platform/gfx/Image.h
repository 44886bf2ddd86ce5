#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class QPainter;

namespace pf {

/// A picture drawn on demand at whatever size it is shown: a vector drawing,
/// an SVG file or a bitmap. A template image is a shape only: it is shown in
/// the tint of the view that shows it, or in the label colour without one.
class Image final {
 public:
  /// Draws the picture over a rectangle in Qt's coordinates.
  using Painter = std::function<void(QPainter&, const QRectF&)>;

  /// The empty image, which draws nothing.
  Image() = default;
  /// A drawing of `size` points.
  Image(Size size, Painter painter);

  /// A bitmap shown at its own pixel size.
  static Image fromBitmap(const QImage& bitmap);
  /// The SVG or bitmap file at `path`; none when it cannot be read.
  static std::optional<Image> fromFile(const QString& path);

  bool isNull() const { return !m_painter; }
  Size size() const { return m_size; }

  bool isTemplate() const { return m_template; }
  void setTemplate(bool isTemplate) { m_template = isTemplate; }

  const QString& accessibilityDescription() const { return m_description; }
  void setAccessibilityDescription(const QString& text) { m_description = text; }

  /// Draws the picture stretched over `rect` (Qt's coordinates); a template
  /// takes `tint`, or the label colour without one.
  void draw(QPainter& painter, const QRectF& rect, const std::optional<Color>& tint = {}) const;
  /// The picture rendered into a transparent bitmap of `pixels`.
  QImage rendered(QSize pixels, const std::optional<Color>& tint = {}) const;

 private:
  Size m_size;
  Painter m_painter;
  bool m_template = false;
  QString m_description;
};

/// `size` scaled to fit `bounds` with its proportions kept, centred in them.
QRectF aspectFitted(Size size, const QRectF& bounds);

}  // namespace pf

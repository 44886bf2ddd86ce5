#pragma once

#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;

namespace pf {

/// The image of a drawing that rarely changes (a skinned surface, say), kept so
/// that a repaint (when something animates above it) only copies pixels.
/// Drawn again only when its key, its size or the device pixel ratio changes;
/// the key stands for everything else the drawing depends on (skin, palette).
class CachedDrawing final {
 public:
  /// Paints the drawing over `rect` of `painter` (whose device pixel ratio it
  /// follows), calling `draw` first when the image is missing or out of date.
  /// `draw` paints in the image's own coordinates, (0, 0) to `rect`'s size, in
  /// points.
  void paint(QPainter& painter, const QRectF& rect, quint64 key, const std::function<void(QPainter&)>& draw);

  /// Forgets the image, so the next paint draws again.
  void reset() { m_image = QImage(); }
  /// How many times the drawing was drawn.
  int draws() const { return m_draws; }

 private:
  QImage m_image;
  quint64 m_key = 0;
  QSizeF m_size;
  int m_draws = 0;
};

}  // namespace pf

#include "platform/gfx/Image.h"

#include "platform/gfx/SystemColors.h"

#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

namespace pf {

Image::Image(Size size, Painter painter) : m_size(size), m_painter(std::move(painter)) {}

Image Image::fromBitmap(const QImage& bitmap) {
  const double ratio = bitmap.devicePixelRatio();
  return Image({bitmap.width() / ratio, bitmap.height() / ratio}, [bitmap](QPainter& painter, const QRectF& rect) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, bitmap);
  });
}

std::optional<Image> Image::fromFile(const QString& path) {
  if (!QFileInfo(path).isFile()) return std::nullopt;
  if (QFileInfo(path).suffix().compare(u"svg", Qt::CaseInsensitive) == 0) {
    auto svg = std::make_shared<QSvgRenderer>(path);
    if (!svg->isValid()) return std::nullopt;
    const QSizeF size = svg->viewBoxF().size();
    return Image({size.width(), size.height()},
                 [svg](QPainter& painter, const QRectF& rect) { svg->render(&painter, rect); });
  }
  const QImage bitmap(path);
  if (bitmap.isNull()) return std::nullopt;
  return fromBitmap(bitmap);
}

void Image::draw(QPainter& painter, const QRectF& rect, const std::optional<Color>& tint) const {
  if (isNull() || rect.isEmpty()) return;
  if (!m_template) {
    painter.save();
    m_painter(painter, rect);
    painter.restore();
    return;
  }
  // A template is drawn apart and recoloured through its own alpha, so the
  // tint never touches what lies beneath it.
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const QSize pixels(int(std::ceil(rect.width() * ratio)), int(std::ceil(rect.height() * ratio)));
  QImage shape = rendered(pixels, tint);
  shape.setDevicePixelRatio(ratio);
  painter.drawImage(rect.topLeft(), shape);
}

QImage Image::rendered(QSize pixels, const std::optional<Color>& tint) const {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (isNull() || pixels.isEmpty()) return image;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  m_painter(painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
  if (m_template) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), toQColor(tint.value_or(Color::system(QStringLiteral("labelColor")))));
  }
  return image;
}

QRectF aspectFitted(Size size, const QRectF& bounds) {
  if (size.width <= 0 || size.height <= 0 || bounds.isEmpty()) return {};
  const double scale = std::min(bounds.width() / size.width, bounds.height() / size.height);
  QSizeF fitted(size.width * scale, size.height * scale);
  return {bounds.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted};
}

}  // namespace pf

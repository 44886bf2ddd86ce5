#include "platform/gfx/CachedDrawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace pf {

void CachedDrawing::paint(QPainter& painter, const QRectF& rect, quint64 key,
                          const std::function<void(QPainter&)>& draw) {
  if (rect.isEmpty()) return;
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const bool stale = m_image.isNull() || key != m_key || rect.size() != m_size || m_image.devicePixelRatioF() != ratio;
  if (stale) {
    const QSize pixels(static_cast<int>(std::ceil(rect.width() * ratio)), static_cast<int>(std::ceil(rect.height() * ratio)));
    m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Qt::transparent);
    QPainter inner(&m_image);
    inner.setRenderHint(QPainter::Antialiasing);
    draw(inner);
    m_key = key;
    m_size = rect.size();
    ++m_draws;
  }
  painter.drawImage(rect.topLeft(), m_image);
}

}  // namespace pf

#include "launcher/ui/CachedDrawing.h"

#include "look/QuibTheme.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

CachedDrawing::Key CachedDrawing::current(QSize size, double ratio, int state) {
  return {size,
          ratio,
          state,
          QuibSkin::current(),
          QuibTheme::trimOnly(),
          {QuibTheme::card(), QuibTheme::border(), QuibTheme::accent(), QuibTheme::highlight(),
           QuibTheme::glass(), QuibTheme::decoration(), QuibTheme::text()}};
}

void CachedDrawing::paint(QPainter& painter, QSize size, int state,
                          const std::function<void(QPainter&)>& draw) {
  if (size.isEmpty()) return;
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const Key key = current(size, ratio, state);
  if (m_image.isNull() || !(key == m_key)) {
    m_image = QImage(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
                     QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Qt::transparent);
    QPainter picture(&m_image);
    picture.setRenderHint(QPainter::Antialiasing);
    draw(picture);
    m_key = key;
    ++m_draws;
  }
  painter.drawImage(QPointF(0, 0), m_image);
}

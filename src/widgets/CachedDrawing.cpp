#include "widgets/CachedDrawing.h"

#include "look/QuibTheme.h"
#include "platform/gfx/LargeImage.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

/// A picture that drawings of one name share, with the inputs it was drawn from.
struct Shared {
  const char* name = nullptr;
  CachedDrawing::Key key;
  QImage image;
};

/// The pictures some drawing shows. Main thread only, like the views.
std::vector<Shared>& sharedPictures() {
  static std::vector<Shared> pictures;
  // A picture held only here is shown by no drawing any more.
  std::erase_if(pictures, [](const Shared& shared) { return shared.image.isDetached(); });
  return pictures;
}

const QImage* findShared(const char* name, const CachedDrawing::Key& key) {
  for (const Shared& shared : sharedPictures()) {
    if (std::strcmp(shared.name, name) == 0 && shared.key == key) return &shared.image;
  }
  return nullptr;
}

void share(const char* name, const CachedDrawing::Key& key, const QImage& image) {
  sharedPictures().push_back({name, key, image});
}

}  // namespace

CachedDrawing::Key CachedDrawing::current(QSize size, double ratio, int state, QRgb backdrop) {
  return {size,
          ratio,
          state,
          backdrop,
          QuibSkin::current(),
          QuibTheme::trimOnly(),
          {QuibTheme::card(), QuibTheme::border(), QuibTheme::accent(), QuibTheme::highlight(), QuibTheme::glass(),
           QuibTheme::decoration(), QuibTheme::text()}};
}

bool CachedDrawing::paint(QPainter& painter, const QRegion& region, QSize size, int state,
                          const std::function<void(QPainter&)>& draw, const QColor& backdrop) {
  if (size.isEmpty()) return false;
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const Key key = current(size, ratio, state, backdrop.rgba());
  const bool changed = m_image.isNull() || !(key == m_key);
  if (changed) {
    // Let go of the old picture first: a shared one no other drawing shows is then dropped, not kept.
    m_image = {};
    m_image = picture(key, draw);
    m_key = key;
  }
  // One rect at a time: under the paint event's clip of many rects (the band
  // a breathing outline repaints) Qt copies an image through its span path
  // and hands that to worker threads, which costs more than the copy itself.
  painter.save();
  for (const QRect& part : region) {
    painter.setClipRect(part);
    painter.drawImage(QPointF(0, 0), m_image);
  }
  painter.restore();
  return changed;
}

QImage CachedDrawing::picture(const Key& key, const std::function<void(QPainter&)>& draw) {
  if (m_sharedName) {
    if (const QImage* shared = findShared(m_sharedName, key)) return *shared;
  }
  // An opaque picture has no alpha channel: Qt then copies it rows at a
  // time instead of blending it pixel by pixel.
  const bool opaque = qAlpha(key.backdrop) == 255;
  QImage image =
      pf::largeImage(QSize(int(std::ceil(key.size.width() * key.ratio)), int(std::ceil(key.size.height() * key.ratio))),
                     opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(key.ratio);
  image.fill(QColor::fromRgba(key.backdrop));
  {
    QPainter picture(&image);
    picture.setRenderHint(QPainter::Antialiasing);
    draw(picture);
  }
  ++m_draws;
  if (m_sharedName) share(m_sharedName, key, image);
  return image;
}

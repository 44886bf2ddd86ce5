#include "platform/gfx/RasterCache.h"

#include "platform/gfx/ContentPainting.h"
#include "platform/gfx/DevicePixels.h"
#include "platform/gfx/GradientLayer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace pf;

namespace {

// A picture with a soft blob in it and clear margins, as a wisp's texture has.
QImage blob() {
  QImage image(48, 72, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  for (int y = 6; y < 66; ++y) {
    for (int x = 5 + y / 8; x < 43 - y / 12; ++x)
      image.setPixel(x, y, qPremultiply(qRgba(90 + x, 70, 200 - y, 40 + y)));
  }
  return image;
}

std::shared_ptr<Layer> picture() {
  auto layer = Layer::make();
  layer->setContents(blob());
  return layer;
}

std::shared_ptr<Layer> gradient() {
  auto layer = GradientLayer::make();
  layer->setType(GradientLayer::Type::radial);
  layer->setColors({Color::calibratedRGB(1, 0.4, 0, 0.8), Color::calibratedRGB(0, 0, 0, 0)});
  layer->setStartPoint({0.5, 0.4});
  layer->setEndPoint({1, 1});
  return layer;
}

}  // namespace

// A cached image keeps clear columns at either side, so a blend placing it
// can reach out to where the target's rows are aligned; between them it holds
// every pixel the content draws at the image's raster, as drawn on a canvas
// of its own. Still or swelling, a picture alone (drawn straight into an
// image of its own when it swells) or any other content.
TEST(RasterCache, ImagesKeepClearColumnsAroundWhatTheContentDraws) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Layer>()> make;
    Rect bounds;
    double swell;  // shown scale over the model's; 1: still
  };
  const std::vector<Case> cases{
      {"a still picture", picture, {0, 0, 61.3, 88.6}, 1},
      {"a swelling picture", picture, {0, 0, 61.3, 88.6}, 1.17},
      {"a shrinking picture", picture, {0, 0, 77.9, 50.2}, 0.81},
      {"a still gradient", gradient, {0, 0, 40.5, 33.2}, 1},
      {"a swelling gradient", gradient, {0, 0, 40.5, 33.2}, 1.23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto layer = c.make();
    layer->setBounds(c.bounds);
    layer->setPosition({80.37, 95.61});
    const LayerPresentation shown = modelPresentation(*layer);
    const LayerContent content = LayerContent::of(*layer, shown);
    // y up on a target 200 pixels high, the layer's anchor in its middle.
    const QPointF anchor(c.bounds.width() / 2, c.bounds.height() / 2);
    const QTransform model =
        QTransform::fromTranslate(80.37 - anchor.x(), 95.61 - anchor.y()) * QTransform(1, 0, 0, -1, 0, 200);
    const QTransform world = QTransform::fromTranslate(-anchor.x(), -anchor.y()) *
                             QTransform::fromScale(c.swell, c.swell) *
                             QTransform::fromTranslate(anchor.x(), anchor.y()) * model;
    RasterCache cache;
    cache.beginFrame(1, QSize(200, 200));
    const RasterCache::Placement place{world, model, false, shown, layer->contentRevision(), false, c.swell != 1};
    const RasterCache::Placed placed = cache.place(*layer, content, place, anchor);
    ASSERT_NE(placed.entry, nullptr);
    const RasterCache::Entry& entry = *placed.entry;
    const QImage& image = entry.image;
    const int margin = devicePixels::alignedRun - 1;
    ASSERT_EQ(entry.margin, margin);
    int shownInMargins = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int k = 0; k < margin; ++k) {
        shownInMargins += qAlpha(image.pixel(k, y)) != 0;
        shownInMargins += qAlpha(image.pixel(image.width() - 1 - k, y)) != 0;
      }
    }
    EXPECT_EQ(shownInMargins, 0);
    // The content drawn whole at the image's raster, on a canvas around it.
    const QRect area = entry.raster.mapRect(content.localBounds()).toAlignedRect().adjusted(-10, -3, 10, 3);
    QImage whole(area.size(), QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    paintContent(whole, whole.rect(), true, content, entry.raster * QTransform::fromTranslate(-area.x(), -area.y()),
                 true);
    const QRect held(entry.topLeft, image.size());
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QRgb expected = whole.pixel(x - area.x(), y - area.y());
        const QRgb cached = held.contains(x, y) ? image.pixel(x - held.x(), y - held.y()) : 0;
        differing += expected != cached;
      }
    }
    EXPECT_EQ(differing, 0);
  }
}

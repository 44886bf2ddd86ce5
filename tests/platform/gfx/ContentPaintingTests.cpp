#include "platform/gfx/ContentPainting.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

// The bounds are every pixel with any alpha, within the size asked about,
// wherever in a run of eight those pixels fall; colour without alpha (which a
// premultiplied image never holds) and what lies beyond the size count for nothing.
TEST(OpaqueBounds, HoldEveryPixelWithAlphaWithinTheSize) {
  struct Case {
    const char* name;
    QSize image;
    QSize asked;
    std::vector<QPoint> shown;
    QRect bounds;
  };
  const std::vector<Case> cases{
      {"nothing shows", {20, 5}, {20, 5}, {}, {}},
      {"one pixel mid-row", {20, 5}, {20, 5}, {{11, 2}}, QRect(11, 2, 1, 1)},
      {"the corners", {19, 6}, {19, 6}, {{0, 0}, {18, 5}}, QRect(0, 0, 19, 6)},
      {"either side of a run of eight", {24, 3}, {24, 3}, {{7, 1}, {16, 1}}, QRect(7, 1, 10, 1)},
      {"first and last of a run", {24, 3}, {24, 3}, {{8, 0}, {15, 2}}, QRect(8, 0, 8, 3)},
      {"a row narrower than a run", {5, 4}, {5, 4}, {{1, 3}, {3, 1}}, QRect(1, 1, 3, 3)},
      {"one pixel ending a ragged row", {21, 2}, {21, 2}, {{20, 1}}, QRect(20, 1, 1, 1)},
      {"beyond the size asked", {40, 8}, {30, 6}, {{5, 5}, {35, 2}, {6, 7}}, QRect(5, 5, 1, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage image(c.image, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // Colour with no alpha everywhere else must not count.
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, 0x00ffffff);
    }
    for (const QPoint& p : c.shown) image.setPixel(p, qRgba(0, 0, 0, 1));
    EXPECT_EQ(pf::opaqueBounds(image, c.asked), c.bounds);
  }
}

// An upright image is drawn a strip of rows at a time, yet every pixel comes
// out as one draw of the whole image gives it: scaled up or down, stretched,
// at any place within a pixel, across the rows where strips meet.
TEST(PaintContent, DrawsAnUprightImageAsOneDrawOfItWould) {
  struct Case {
    const char* name;
    std::vector<QRect> shown;  // image pixels, y down
    pf::Rect bounds;           // layer coordinates, y up
    double scale;              // layer to canvas
  };
  const std::vector<Case> cases{
      {"a tapering column", {QRect(28, 0, 8, 20), QRect(20, 20, 24, 30), QRect(4, 50, 56, 40)}, {3, 5, 64, 90}, 1.4},
      {"rows apart", {QRect(10, 2, 4, 6), QRect(40, 70, 20, 3)}, {0.3, 0.7, 64, 90}, 2.3},
      {"one texel at each edge", {QRect(0, 0, 1, 1), QRect(63, 89, 1, 1)}, {1.5, 2.25, 64, 90}, 1.9},
      {"shrunk", {QRect(30, 10, 3, 3), QRect(2, 60, 30, 20)}, {0.6, 0.2, 64, 90}, 0.55},
      {"stretched unevenly", {QRect(25, 5, 10, 80)}, {2, 1, 150, 40}, 1.1},
      {"nothing shows", {}, {0, 0, 64, 90}, 1.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage picture(64, 90, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    for (const QRect& r : c.shown) {
      for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) picture.setPixel(x, y, qRgba(40 + 2 * x, 200 - y, 90, 230));
      }
    }
    pf::LayerContent content;
    content.bounds = c.bounds;
    content.contents = picture;
    // y up, as the renderer places a layer on a canvas 300 pixels high.
    const QTransform place(c.scale, 0, 0, -c.scale, 0.37, 300);
    const QRect area = place.mapRect(content.localBounds()).toAlignedRect();
    QImage drawn(area.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    pf::paintContent(drawn, drawn.rect(), true, content, place * QTransform::fromTranslate(-area.x(), -area.y()), true);
    QImage whole(area.size(), QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    {
      QPainter p(&whole);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.setTransform(place * QTransform::fromTranslate(-area.x(), -area.y()));
      content.paint(p, pf::LayerContent::Part::contents);
    }
    int differing = 0, largest = 0;
    for (int y = 0; y < whole.height(); ++y) {
      for (int x = 0; x < whole.width(); ++x) {
        const QRgb a = drawn.pixel(x, y), b = whole.pixel(x, y);
        const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
        differing += d > 0;
        largest = std::max(largest, d);
      }
    }
    EXPECT_EQ(differing, 0) << "largest " << largest;
  }
}

#include "platform/gfx/ContentPainting.h"

#include <gtest/gtest.h>

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

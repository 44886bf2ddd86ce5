#include "platform/gfx/ShadowBlur.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

using pf::keptShadowBytes;
using pf::reusedShadowImage;
using pf::shadowImage;

namespace {

/// A ring like an outline, in `color`, with `notch` pixels cut out of its top.
QImage ring(const QColor& color, int notch = 0, QSize size = {60, 40}) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color, 2));
  painter.drawRoundedRect(QRectF(6, 6, size.width() - 12, size.height() - 12), 5, 5);
  painter.setCompositionMode(QPainter::CompositionMode_Clear);
  painter.fillRect(QRect(20, 4, notch, 4), Qt::transparent);
  return image;
}

QImage field(int width, int height, QRect filled, int alpha) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter(&image).fillRect(filled, QColor(0, 0, 0, alpha));
  return image;
}

// The alpha-weighted centre of an image.
QPointF centreOfAlpha(const QImage& image) {
  double sum = 0, sx = 0, sy = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int a = qAlpha(image.pixel(x, y));
      sum += a;
      sx += a * (x + 0.5);
      sy += a * (y + 0.5);
    }
  }
  return sum > 0 ? QPointF(sx / sum, sy / sum) : QPointF();
}

}  // namespace

// Every call is checked against a blur worked out afresh, in an order where a
// blur kept from an earlier call would be wrong unless alpha, size, offset
// and sigma all match.
TEST(ShadowReuse, AKeptBlurIsOnlyReusedForTheSameAlphaSizeOffsetAndSigma) {
  struct Case {
    const char* name;
    QImage content;
    QPointF offset;
    double sigma;
    QColor tint;
  };
  const Case cases[] = {
      {"first outline", ring(Qt::blue), {0, 0}, 3.5, Qt::blue},
      {"same outline, new colour", ring(Qt::green), {0, 0}, 3.5, Qt::green},
      {"same alpha, other tint", ring(Qt::blue), {0, 0}, 3.5, QColor(255, 0, 0, 128)},
      {"a few pixels cut away", ring(Qt::blue, 3), {0, 0}, 3.5, Qt::blue},
      {"moved by whole pixels", ring(Qt::blue), {2, -1}, 3.5, Qt::blue},
      {"moved by a fraction", ring(Qt::blue), {0.5, 0}, 3.5, Qt::blue},
      {"narrower blur, full resolution", ring(Qt::blue), {0, 0}, 1.5, Qt::blue},
      {"wider blur", ring(Qt::blue), {0, 0}, 6, Qt::blue},
      {"larger content", ring(Qt::blue, 0, {64, 40}), {0, 0}, 3.5, Qt::blue},
      {"fainter outline", ring(QColor(0, 0, 255, 100)), {0, 0}, 3.5, Qt::blue},
      {"no blur", ring(Qt::blue), {0, 0}, 0, Qt::blue},
      // Together more than is kept, so the earliest blurs are let go.
      {"large panel 1", ring(Qt::blue, 1, {1000, 1000}), {0, 0}, 3.5, Qt::blue},
      {"large panel 2", ring(Qt::blue, 2, {1000, 1000}), {0, 0}, 3.5, Qt::blue},
      {"large panel 3", ring(Qt::blue, 3, {1000, 1000}), {0, 0}, 3.5, Qt::blue},
      {"large panel 4", ring(Qt::blue, 4, {1000, 1000}), {0, 0}, 3.5, Qt::blue},
      {"large panel 5", ring(Qt::blue, 5, {1000, 1000}), {0, 0}, 3.5, Qt::blue},
      {"first outline again, in yellow", ring(Qt::yellow), {0, 0}, 3.5, Qt::yellow},
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (const Case& c : cases) {
      const QImage expected = shadowImage(c.content, c.offset, c.sigma, c.tint);
      EXPECT_EQ(reusedShadowImage(c.content, c.offset, c.sigma, c.tint), expected) << c.name << ", pass " << pass;
      EXPECT_LE(keptShadowBytes(), std::size_t{8} << 20) << c.name;
    }
  }
  EXPECT_GT(keptShadowBytes(), 0U);
}

// Small blurs are kept side by side, not one in place of another.
TEST(ShadowReuse, KeepsSeveralSmallBlurs) {
  const std::size_t one = 2 * 44 * 30;  // its alpha and its blurred levels, a byte a pixel each
  for (int notch : {7, 9, 11}) reusedShadowImage(ring(Qt::blue, notch, {44, 30}), {0, 0}, 2.25, Qt::blue);
  EXPECT_GE(keptShadowBytes(), 3 * one);
}

// A vertical line blurred sideways spreads as a Gaussian of the sigma asked
// for: its variance across the line comes within the box passes' rounding of
// sigma squared, at full and at half resolution.
TEST(ShadowBlur, SpreadsALineAsAGaussianOfTheGivenSigma) {
  QImage line(81, 8, QImage::Format_ARGB32_Premultiplied);
  line.fill(Qt::transparent);
  for (int y = 0; y < line.height(); ++y) line.setPixel(40, y, qRgba(0, 0, 0, 255));
  for (double sigma : {1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0}) {
    const QImage shadow = shadowImage(line, QPointF(0, 0), sigma, Qt::black);
    double total = 0, moment = 0;
    for (int x = 0; x < shadow.width(); ++x) {
      const double level = qAlpha(shadow.pixel(x, 4));
      total += level;
      moment += (x - 40) * (x - 40) * level;
    }
    const double ratio = moment / total / (sigma * sigma);
    EXPECT_GT(ratio, 0.8) << "sigma " << sigma;
    EXPECT_LT(ratio, 1.1) << "sigma " << sigma;
  }
}

// A fractional offset lands on the nearest whole pixel.
TEST(ShadowBlur, LandsAtItsOffsetWholeOrFractional) {
  const QImage block = field(40, 40, QRect(15, 15, 10, 10), 255);  // centred on (20, 20)
  const QPointF offsets[] = {{0, 0}, {0, 1}, {3, 0}, {0, -4}, {2.25, 0}, {0, 1.75}, {-3.25, 2.75}};
  // Sharp, a narrow blur at full resolution, a wide one at half.
  for (double sigma : {0.0, 1.5, 4.0}) {
    for (const QPointF& offset : offsets) {
      const QPointF centre = centreOfAlpha(shadowImage(block, offset, sigma, Qt::black));
      EXPECT_NEAR(centre.x(), 20 + offset.x(), 0.3) << sigma << " " << offset.x() << "," << offset.y();
      EXPECT_NEAR(centre.y(), 20 + offset.y(), 0.3) << sigma << " " << offset.x() << "," << offset.y();
    }
  }
}

// A band down the image and the same band across it blur to the same profile.
TEST(ShadowBlur, TreatsRowsAndColumnsAlike) {
  const QImage down = field(30, 30, QRect(10, 0, 7, 30), 101);
  const QImage across = field(30, 30, QRect(0, 10, 30, 7), 101);
  for (double sigma : {1.5, 2.5, 4.0, 6.0}) {
    const QImage a = shadowImage(down, QPointF(0, 0), sigma, Qt::black);
    const QImage b = shadowImage(across, QPointF(0, 0), sigma, Qt::black);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(qAlpha(a.pixel(i, 15)), qAlpha(b.pixel(15, i))) << sigma << " at " << i;
  }
}

// Content along one edge blurs inwards only: nothing reaches the far side,
// whether the image's size is even or odd, at full resolution or at half.
TEST(ShadowBlur, LeavesTheFarSideOfAnEdgeUntouched) {
  struct Case {
    const char* name;
    QRect filled;
    bool farColumns;  // the far side is the last columns, else the last rows
    bool nearEnd;     // the content is at the image's start (left or top), else its end
  };
  for (const int size : {40, 41}) {
    const int last = size - 1;
    const Case cases[] = {
        {"along the left edge", QRect(0, 0, 3, size), true, true},
        {"along the top edge", QRect(0, 0, size, 3), false, true},
        {"along the right edge", QRect(last - 2, 0, 3, size), true, false},
        {"along the bottom edge", QRect(0, last - 2, size, 3), false, false},
        {"in one corner", QRect(0, 0, 4, 4), true, true},
    };
    for (double sigma : {1.5, 4.0}) {
      for (const auto& c : cases) {
        const QImage shadow = shadowImage(field(size, size, c.filled, 255), QPointF(0, 0), sigma, Qt::red);
        for (int i = 0; i < size; ++i) {
          for (int depth = 0; depth < 8; ++depth) {
            const int far = c.nearEnd ? last - depth : depth;
            const QPoint p = c.farColumns ? QPoint(far, i) : QPoint(i, far);
            EXPECT_EQ(qAlpha(shadow.pixel(p)), 0)
                << c.name << ", " << size << " wide, sigma " << sigma << " at " << p.x() << "," << p.y();
          }
        }
        const QPoint inside = c.filled.center();
        EXPECT_GT(qAlpha(shadow.pixel(inside)), 0) << c.name;
      }
    }
  }
}

// Cast by whole pixels, a shadow is the one cast in place, moved, as strong.
TEST(ShadowBlur, ShiftedByWholePixelsIsTheSameShadowMoved) {
  const QImage block = field(60, 60, QRect(20, 20, 16, 12), 200);
  for (double sigma : {1.5, 4.0}) {
    const QImage still = shadowImage(block, QPointF(0, 0), sigma, Qt::black);
    const QImage moved = shadowImage(block, QPointF(4, -2), sigma, Qt::black);
    for (int y = 4; y < 56; ++y) {
      for (int x = 4; x < 52; ++x) {
        ASSERT_EQ(qAlpha(moved.pixel(x + 4, y - 2)), qAlpha(still.pixel(x, y))) << sigma << " at " << x << "," << y;
      }
    }
  }
}

TEST(ShadowBlur, FadesBothEdgesOfAnEvenFieldAlike) {
  // A narrow blur at full resolution, a wide one worked out at half; the
  // small field is narrower than the wide blur's boxes.
  for (int size : {30, 8}) {
    QImage field(size, size, QImage::Format_ARGB32_Premultiplied);
    field.fill(QColor(0, 0, 0, 128));
    const int middle = size / 2;
    for (double sigma : {1.5, 4.0}) {
      const QImage shadow = shadowImage(field, QPointF(0, 0), sigma, Qt::red);
      for (int i = 0; i < middle; ++i) {
        EXPECT_EQ(shadow.pixelColor(i, middle), shadow.pixelColor(size - 1 - i, middle))
            << size << " " << sigma << " " << i;
        EXPECT_EQ(shadow.pixelColor(middle, i), shadow.pixelColor(middle, size - 1 - i))
            << size << " " << sigma << " " << i;
      }
      EXPECT_LT(shadow.pixelColor(0, middle).alpha(),
                shadow.pixelColor(middle, middle).alpha());  // blurred off the edge
    }
  }
  // Its middle keeps the field's level, the faintest and the fullest too, at full resolution and at half.
  for (int level : {255, 128, 1}) {
    QImage field(30, 30, QImage::Format_ARGB32_Premultiplied);
    field.fill(QColor(0, 0, 0, level));
    for (double sigma : {1.5, 4.0}) {
      EXPECT_EQ(shadowImage(field, QPointF(0, 0), sigma, Qt::red).pixelColor(15, 15), QColor(255, 0, 0, level))
          << level << " " << sigma;
    }
  }
}

TEST(ShadowBlur, LeavesFarPixelsUntouched) {
  QImage field(40, 40, QImage::Format_ARGB32_Premultiplied);
  field.fill(Qt::transparent);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) field.setPixelColor(x, y, Qt::black);
  // A narrow blur at full resolution, a wide one worked out at half and widened back.
  for (double sigma : {1.5, 4.0}) {
    const QImage shadow = shadowImage(field, QPointF(0, 0), sigma, Qt::red);
    EXPECT_GT(shadow.pixelColor(1, 1).alpha(), 10) << sigma;
    EXPECT_EQ(shadow.pixelColor(30, 30).alpha(), 0) << sigma;
    EXPECT_EQ(shadow.pixelColor(30, 1).alpha(), 0) << sigma;
  }
  QImage even(30, 30, QImage::Format_ARGB32_Premultiplied);
  even.fill(QColor(0, 0, 0, 128));
  EXPECT_NEAR(shadowImage(even, QPointF(0, 0), 4.0, Qt::red).pixelColor(15, 15).alpha(), 128, 2);
}

// Shadows of content far apart never meet, so the shadow of both together is
// the two shadows side by side, to the level: cast alone, each is worked out
// only around itself (the passes go only where levels can be); together they
// reach across the image. Wherever a part lies, against an edge or not.
TEST(ShadowBlur, CastsEachPartOfFarApartContentAsAlone) {
  struct Case {
    const char* name;
    QRect part;  // within a 120 x 90 image, far from the bottom right corner
  };
  const Case cases[] = {
      {"in the open", QRect(20, 15, 8, 6)},
      {"against the left edge", QRect(0, 10, 5, 12)},
      {"against the top edge", QRect(10, 0, 12, 4)},
      {"in the top left corner", QRect(0, 0, 4, 3)},
      {"against the right edge", QRect(113, 0, 7, 5)},
      {"against the bottom edge", QRect(0, 86, 10, 4)},
      {"one pixel", QRect(30, 24, 1, 1)},
  };
  const QRect far(112, 84, 8, 6);
  const QPointF offsets[] = {{0, 0}, {2, -3}, {-0.5, 1.25}};
  for (const Case& c : cases) {
    QImage both = field(120, 90, c.part, 180);
    QPainter(&both).fillRect(far, QColor(0, 0, 0, 180));
    // None, narrow blurs at full resolution, wide ones worked out at half.
    for (const double sigma : {0.0, 0.5, 1.5, 2.5, 4.0, 7.0}) {
      for (const QPointF& offset : offsets) {
        const QImage alone = shadowImage(field(120, 90, c.part, 180), offset, sigma, Qt::blue);
        const QImage other = shadowImage(field(120, 90, far, 180), offset, sigma, Qt::blue);
        const QImage together = shadowImage(both, offset, sigma, Qt::blue);
        for (int y = 0; y < 90; ++y) {
          for (int x = 0; x < 120; ++x) {
            ASSERT_TRUE(alone.pixel(x, y) == 0 || other.pixel(x, y) == 0) << c.name << " meets the other part";
            ASSERT_EQ(together.pixel(x, y), alone.pixel(x, y) | other.pixel(x, y))
                << c.name << ", sigma " << sigma << ", offset " << offset.x() << "," << offset.y() << " at " << x << ","
                << y;
          }
        }
      }
    }
  }
}

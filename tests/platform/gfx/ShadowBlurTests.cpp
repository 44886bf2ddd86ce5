#include "platform/gfx/ShadowBlur.h"

#include <QPainter>
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

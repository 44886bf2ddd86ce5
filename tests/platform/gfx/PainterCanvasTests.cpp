#include "platform/gfx/PainterCanvas.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

using pf::Canvas;
using pf::Color;
using pf::PainterCanvas;
using pf::Path;
using pf::Rect;

namespace {

const Color red = Color::calibratedRGB(1, 0, 0, 1);
const Color black = Color::calibratedRGB(0, 0, 0, 1);
const Color white = Color::calibratedWhite(1, 1);

QImage blank(int size = 100, double ratio = 1) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  return image;
}

/// Paints on `image` through a canvas as high as the image in points.
template <typename Draw>
void paint(QImage& image, Draw draw) {
  QPainter painter(&image);
  PainterCanvas canvas(painter, image.height() / image.devicePixelRatio());
  draw(static_cast<Canvas&>(canvas));
}

int alphaAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }
int greyAt(const QImage& image, int x, int y) { return qRed(image.pixel(x, y)); }

}  // namespace

TEST(PainterCanvas, OriginIsBottomLeftWithYUp) {
  QImage image = blank();
  paint(image, [](Canvas& c) { c.fill(Path::rect(Rect(0, 0, 10, 20)), red); });
  EXPECT_EQ(image.pixel(5, 95), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(5, 81), qRgb(255, 0, 0));
  EXPECT_EQ(alphaAt(image, 5, 5), 0);
  EXPECT_EQ(alphaAt(image, 5, 75), 0);
}

TEST(PainterCanvas, GradientAngleRunsFromTheFirstCornerToTheLast) {
  const pf::Gradient greys{{black, white}, {}};
  QImage up = blank();
  paint(up, [&](Canvas& c) { c.fillLinearGradient(Path::rect(Rect(0, 0, 100, 100)), greys, 90); });
  EXPECT_LT(greyAt(up, 50, 99), 5);
  EXPECT_GT(greyAt(up, 50, 0), 250);
  EXPECT_NEAR(greyAt(up, 10, 50), 128, 4);
  EXPECT_EQ(greyAt(up, 10, 50), greyAt(up, 90, 50));

  QImage across = blank();
  paint(across, [&](Canvas& c) { c.fillLinearGradient(Path::rect(Rect(0, 0, 100, 100)), greys, 0); });
  EXPECT_LT(greyAt(across, 0, 50), 5);
  EXPECT_GT(greyAt(across, 99, 50), 250);

  QImage diagonal = blank();
  paint(diagonal, [&](Canvas& c) { c.fillLinearGradient(Path::rect(Rect(0, 0, 100, 100)), greys, 45); });
  EXPECT_LT(greyAt(diagonal, 0, 99), 5);
  EXPECT_GT(greyAt(diagonal, 99, 0), 250);
  EXPECT_NEAR(greyAt(diagonal, 99, 99), 128, 4);
}

TEST(PainterCanvas, GradientIsPlacedOnThePathsOwnBounds) {
  QImage image = blank();
  paint(image, [](Canvas& c) { c.fillLinearGradient(Path::rect(Rect(50, 0, 50, 100)), {{black, white}, {}}, 0); });
  EXPECT_EQ(alphaAt(image, 25, 50), 0);
  EXPECT_LT(greyAt(image, 50, 50), 5);
  EXPECT_GT(greyAt(image, 99, 50), 250);
}

TEST(PainterCanvas, ShadowsBlurAroundTheShapeAndEndWithRestore) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    c.save();
    c.setShadow(black, 8);
    c.stroke(Path::rect(Rect(30, 30, 40, 40)), white, 2);
    c.restore();
    c.stroke(Path::rect(Rect(10, 10, 10, 10)), white, 2);
  });
  EXPECT_EQ(image.pixel(50, 30), qRgb(255, 255, 255));  // the stroke itself
  EXPECT_GT(alphaAt(image, 50, 25), 0);                 // its shadow beside it
  EXPECT_GT(alphaAt(image, 50, 36), 0);
  EXPECT_EQ(greyAt(image, 50, 25), 0);
  EXPECT_EQ(alphaAt(image, 50, 5), 0);
  EXPECT_EQ(alphaAt(image, 15, 75), 0);  // the second stroke casts none
  EXPECT_EQ(alphaAt(image, 15, 85), 0);
}

// Beside a long straight edge a shadow blurred with sigma s (half the blur
// radius) fades as the Gaussian's tail: its alpha summed outward is about
// 255 s / sqrt(2 pi).
TEST(PainterCanvas, ShadowsFadeOverHalfTheirBlurRadius) {
  for (const double radius : {4.0, 8.0, 12.0}) {
    QImage image = blank();
    paint(image, [&](Canvas& c) {
      c.setShadow(black, radius);
      c.fill(Path::rect(Rect(0, 0, 50, 100)), white);
    });
    double sum = 0;
    for (int x = 50; x < 100; ++x) sum += alphaAt(image, x, 50);
    EXPECT_NEAR(sum / 255 * std::sqrt(2 * M_PI), radius / 2, 0.1 * radius) << radius;
  }
}

TEST(PainterCanvas, ABlurThatIsNotANumberCastsASharpShadow) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    c.setShadow(black, std::nan(""), pf::Point{0, -4});
    c.fill(Path::rect(Rect(30, 30, 40, 40)), white);
  });
  EXPECT_EQ(image.pixel(50, 50), qRgb(255, 255, 255));
  EXPECT_GT(alphaAt(image, 50, 72), 0);  // the shadow below the shape, unblurred
  EXPECT_EQ(alphaAt(image, 50, 80), 0);
}

TEST(PainterCanvas, ShadowsLandInPlaceOnHighDensityImages) {
  QImage image = blank(200, 2);
  paint(image, [](Canvas& c) {
    c.setShadow(red, 4, {0, -10});
    c.fill(Path::rect(Rect(40, 40, 20, 20)), white);
  });
  EXPECT_EQ(image.pixel(100, 100), qRgb(255, 255, 255));
  // Moved 10 points down: below the square, and nothing above it.
  EXPECT_GT(qRed(image.pixel(100, 135)), 100);
  EXPECT_EQ(qGreen(image.pixel(100, 135)), 0);
  EXPECT_EQ(alphaAt(image, 100, 70), 0);
}

TEST(PainterCanvas, ClipsAndSavedStateNest) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    c.save();
    c.clip(Path::rect(Rect(0, 0, 50, 100)));
    c.fill(Path::rect(Rect(0, 50, 100, 50)), red);
    c.restore();
    c.fill(Path::rect(Rect(0, 0, 100, 50)), white);
    c.restore();  // unbalanced: ignored
  });
  EXPECT_EQ(image.pixel(25, 25), qRgb(255, 0, 0));
  EXPECT_EQ(alphaAt(image, 75, 25), 0);
  EXPECT_EQ(image.pixel(75, 75), qRgb(255, 255, 255));
}

TEST(PainterCanvas, EvenOddLeavesTheInnerRingEmpty) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    Path band = Path::rect(Rect(10, 10, 80, 80));
    band.addPath(Path::rect(Rect(30, 30, 40, 40)));
    c.fill(band, red, Canvas::FillRule::evenOdd);
  });
  EXPECT_EQ(image.pixel(20, 50), qRgb(255, 0, 0));
  EXPECT_EQ(alphaAt(image, 50, 50), 0);
}

TEST(PainterCanvas, TranslationMovesLaterDrawing) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    c.translate(60, 10);
    c.fill(Path::rect(Rect(0, 0, 10, 10)), red);
  });
  EXPECT_EQ(image.pixel(65, 85), qRgb(255, 0, 0));
  EXPECT_EQ(alphaAt(image, 5, 95), 0);
}

TEST(PainterCanvas, ImagesStayUpright) {
  QImage picture(10, 10, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::blue);
  for (int x = 0; x < 10; ++x) picture.setPixel(x, 0, qRgb(255, 0, 0));
  QImage image = blank();
  paint(image, [&](Canvas& c) { c.drawImage(picture, Rect(0, 0, 100, 100)); });
  EXPECT_EQ(image.pixel(50, 2), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(50, 97), qRgb(0, 0, 255));

  // Exactly over its rect: x 20 to 60, y up 30 to 80, so rows 20 to 70 from the top.
  QImage placed = blank();
  paint(placed, [&](Canvas& c) { c.drawImage(picture, Rect(20, 30, 40, 50)); });
  for (const auto& [x, y, alpha] : {std::tuple{20, 45, 255},
                                    {19, 45, 0},
                                    {59, 45, 255},
                                    {60, 45, 0},
                                    {40, 20, 255},
                                    {40, 19, 0},
                                    {40, 69, 255},
                                    {40, 70, 0}}) {
    EXPECT_EQ(alphaAt(placed, x, y), alpha) << x << "," << y;
  }
}

TEST(PainterCanvas, CompositingModes) {
  QImage mask(10, 10, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 5; ++x) mask.setPixel(x, y, qRgb(0, 0, 0));
  }
  QImage image = blank();
  paint(image, [&](Canvas& c) {
    c.fill(Path::rect(Rect(0, 0, 100, 50)), red);
    c.save();
    c.setComposition(Canvas::Composition::sourceAtop);
    c.fill(Path::rect(Rect(0, 0, 50, 100)), white);
    c.restore();
    c.fill(Path::rect(Rect(90, 90, 10, 10)), red);
    c.save();
    c.setComposition(Canvas::Composition::destinationIn);
    c.drawImage(mask, Rect(0, 0, 100, 80));
    c.restore();
  });
  EXPECT_EQ(image.pixel(10, 75), qRgb(255, 255, 255));  // atop the red
  EXPECT_EQ(alphaAt(image, 10, 25), 0);                 // atop nothing
  EXPECT_EQ(alphaAt(image, 75, 75), 0);                 // cleared by destination-in
  EXPECT_EQ(image.pixel(95, 5), qRgb(255, 0, 0));       // outside the image: kept
}

TEST(PainterCanvas, RadialGradientStopsAtItsOuterCircle) {
  QImage image = blank();
  paint(image, [](Canvas& c) {
    c.drawRadialGradient({{white, Color::calibratedWhite(1, 0)}, {}}, {50, 50}, 0, {50, 50}, 30);
  });
  EXPECT_GT(alphaAt(image, 50, 50), 245);
  EXPECT_NEAR(alphaAt(image, 65, 50), 128, 8);
  EXPECT_EQ(alphaAt(image, 85, 50), 0);
  EXPECT_EQ(alphaAt(image, 5, 5), 0);

  // A start circle inside the end one leaves a hole; one reaching out of it is painted too.
  QImage ring = blank();
  paint(ring, [](Canvas& c) { c.drawRadialGradient({{white, white}, {}}, {50, 50}, 10, {50, 50}, 30); });
  EXPECT_EQ(alphaAt(ring, 50, 50), 0);
  EXPECT_EQ(alphaAt(ring, 70, 50), 255);
  QImage cone = blank();
  paint(cone, [](Canvas& c) { c.drawRadialGradient({{white, white}, {}}, {40, 50}, 10, {50, 50}, 15); });
  EXPECT_EQ(alphaAt(cone, 40, 50), 255);
  EXPECT_EQ(alphaAt(cone, 31, 50), 255);  // beyond the end circle, within the start one
}

TEST(PainterCanvas, LeavesThePaintersStateAsItFoundIt) {
  QImage image = blank();
  QPainter painter(&image);
  painter.translate(3, 4);
  {
    PainterCanvas canvas(painter, 100);
    canvas.save();
    canvas.clip(Path::rect(Rect(0, 0, 1, 1)));
    canvas.translate(20, 20);
  }
  EXPECT_EQ(painter.transform(), QTransform::fromTranslate(3, 4));
  EXPECT_FALSE(painter.hasClipping());
}

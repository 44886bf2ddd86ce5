#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/LayerRenderer.h"
#include "platform/gfx/ShapeLayer.h"

#include <QFile>
#include <QPaintEngine>
#include <QRadialGradient>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

using namespace pf;

namespace {

const Color red = Color::calibratedRGB(1, 0, 0, 1);
const Color green = Color::calibratedRGB(0, 1, 0, 1);
const Color blue = Color::calibratedRGB(0, 0, 1, 1);

BasicAnimation endless(const QString& keyPath, AnimationValue from, AnimationValue to, double duration);

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    AnimationClock::setTimeSource([] { return 0.0; });
    root = Layer::make();
    root->setFrame(Rect(0, 0, 100, 100));
  }
  void TearDown() override { AnimationClock::setTimeSource({}); }

  // One frame at time t; the image is y down, as on screen.
  QImage frame(double t) {
    damage = renderer.prepare(*root, t, QSizeF(100, 100));
    QImage image = blank();
    QPainter p(&image);
    renderer.paint(p, QRegion(0, 0, 100, 100));
    return image;
  }

  static QImage blank() {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
  }

  // What a renderer that has drawn no frame before shows of `layer` at time t.
  static QImage freshFrame(const Layer& layer, double t) {
    LayerRenderer fresh;
    fresh.prepare(layer, t, QSizeF(100, 100));
    QImage image = blank();
    QPainter p(&image);
    fresh.paint(p, QRegion(0, 0, 100, 100));
    return image;
  }

  // How many pixels show anything.
  static int painted(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y).alpha() > 0;
    }
    return count;
  }

  // The pixel at y-up point (x, y).
  static QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, image.height() - 1 - y); }

  std::shared_ptr<Layer> square(Rect frame, Color color) {
    auto layer = Layer::make();
    layer->setFrame(frame);
    layer->setBackgroundColor(color);
    root->addSublayer(layer);
    return layer;
  }

  // A blue bar over (10, 45, 80, 10) that morphs into `swollen` and back, 2 seconds a pass.
  void morphingBar(Rect swollen, TimingFunction timing) {
    auto bar = ShapeLayer::make();
    bar->setPath(Path::rect(Rect(10, 45, 80, 10)));
    bar->setFillColor(blue);
    auto swell = endless("path", Path::rect(Rect(10, 45, 80, 10)), Path::rect(swollen), 2);
    swell.autoreverses = true;
    swell.timingFunction = timing;
    bar->addAnimation(swell, "flow");
    root->addSublayer(bar);
  }

  std::shared_ptr<Layer> root;
  LayerRenderer renderer;
  QRegion damage;
};

// The 100 x 100 square with `hole` cut out, filled even-odd.
std::shared_ptr<ShapeLayer> squareAround(Rect hole) {
  auto shape = ShapeLayer::make();
  Path path = Path::rect(Rect(0, 0, 100, 100));
  path.addRect(hole);
  shape->setPath(path);
  shape->setFillRule(ShapeLayer::FillRule::evenOdd);
  return shape;
}

// A straight line from `from` to `to`, stroked in `color` at `width`.
std::shared_ptr<ShapeLayer> line(Point from, Point to, Color color, double width) {
  auto shape = ShapeLayer::make();
  Path path;
  path.moveTo(from);
  path.lineTo(to);
  shape->setPath(path);
  shape->setStrokeColor(color);
  shape->setLineWidth(width);
  return shape;
}

BasicAnimation endless(const QString& keyPath, AnimationValue from, AnimationValue to, double duration) {
  BasicAnimation a(keyPath);
  a.fromValue = std::move(from);
  a.toValue = std::move(to);
  a.duration = duration;
  a.repeatCount = Animation::repeatForever;
  return a;
}

/// Clears `changed` and paints it again there only, as a window's backing store does.
void repaintOnly(QImage& kept, const LayerRenderer& renderer, const QRegion& changed) {
  for (const QRect& r : changed) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      std::fill_n(reinterpret_cast<QRgb*>(kept.scanLine(y)) + r.left(), r.width(), 0);
    }
  }
  kept.paintEngine()->setSystemClip(changed);
  QPainter p(&kept);
  renderer.paint(p, changed);
}

}  // namespace

TEST_F(Renderer, DrawsYUpWithLaterSublayersOnTop) {
  square(Rect(10, 10, 20, 20), red);
  square(Rect(20, 20, 20, 20), blue);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 12, 12), QColor(Qt::red));
  EXPECT_EQ(at(image, 25, 25), QColor(Qt::blue));  // the later sublayer covers the overlap
  EXPECT_EQ(at(image, 5, 5).alpha(), 0);
  EXPECT_EQ(at(image, 12, 85).alpha(), 0);  // nothing at the top: y grows upwards
}

TEST_F(Renderer, AnchorRotationTranslationAndOpacity) {
  auto bar = square(Rect(0, 0, 40, 10), green);
  bar->setAnchorPoint({0, 0.5});
  bar->setPosition({50, 50});
  bar->setTransform(Transform::makeRotation(std::numbers::pi / 2));  // turns about its left end, upwards
  bar->setOpacity(0.5);
  auto slid = square(Rect(10, 80, 10, 10), red);
  slid->setTransform(Transform::makeTranslation(20, -70));  // right and down, to (30, 10)
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 50, 80).green(), 255);
  EXPECT_NEAR(at(image, 50, 80).alpha(), 128, 1);
  EXPECT_EQ(at(image, 70, 50).alpha(), 0);
  EXPECT_EQ(at(image, 35, 15), QColor(Qt::red));
  EXPECT_EQ(at(image, 15, 85).alpha(), 0);
}

TEST_F(Renderer, FillsEvenOddAndStrokesShapes) {
  auto ring = squareAround(Rect(25, 25, 50, 50));
  ring->setFillColor(blue);
  root->addSublayer(ring);
  auto stroke = line({40, 50}, {60, 50}, red, 4);
  stroke->setFillColor(std::nullopt);
  root->addSublayer(stroke);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 10, 10), QColor(Qt::blue));
  EXPECT_EQ(at(image, 45, 40).alpha(), 0);  // the hole
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
  EXPECT_EQ(at(image, 50, 55).alpha(), 0);
}

// A closed path of five corners is not a rect, even when its first four are one.
TEST_F(Renderer, AMaskWithANotchClipsByItsShape) {
  square(Rect(0, 0, 100, 100), green);
  auto notched = ShapeLayer::make();
  Path path;
  path.moveTo({0, 0});
  path.lineTo({100, 0});
  path.lineTo({100, 100});
  path.lineTo({0, 100});
  path.lineTo({50, 50});  // back to the start by way of the middle
  path.close();
  notched->setPath(path);
  root->setMask(notched);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 80, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 10, 50).alpha(), 0);  // in the notch
}

TEST_F(Renderer, EvenOddMaskHidesTheInside) {
  square(Rect(0, 0, 100, 100), green);
  root->setMask(squareAround(Rect(20, 20, 60, 60)));
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 10, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 50, 50).alpha(), 0);

  // A mask that is not made of rects clips by its path.
  auto round = ShapeLayer::make();
  round->setPath(Path::ellipse(Rect(0, 0, 100, 100)));
  root->setMask(round);
  const QImage clipped = frame(0);
  EXPECT_EQ(at(clipped, 50, 50), QColor(Qt::green));
  EXPECT_EQ(at(clipped, 2, 2).alpha(), 0);
}

TEST_F(Renderer, AMaskOneLineWideAtAnEdgeStillShowsThatLine) {
  square(Rect(0, 0, 100, 100), green);
  const struct {
    const char* name;
    Rect line;
    Point inside;
  } cases[] = {
      {"bottom row", {0, 0, 100, 1}, {50, 0}},
      {"top row", {0, 99, 100, 1}, {50, 99}},
      {"left column", {0, 0, 1, 100}, {0, 50}},
      {"right column", {99, 0, 1, 100}, {99, 50}},
  };
  for (const auto& c : cases) {
    auto mask = ShapeLayer::make();
    mask->setPath(Path::rect(c.line));
    root->setMask(mask);
    const QImage image = frame(0);
    EXPECT_EQ(at(image, int(c.inside.x), int(c.inside.y)), QColor(Qt::green)) << c.name;
    EXPECT_EQ(painted(image), 100) << c.name;
  }
}

TEST_F(Renderer, RadialGradientIsBrightestAtItsStartPoint) {
  auto glow = GradientLayer::make();
  glow->setType(GradientLayer::Type::radial);
  glow->setFrame(Rect(0, 0, 100, 50));
  glow->setColors({red, Color::calibratedRGB(1, 0, 0, 0)});
  glow->setStartPoint({0.5, 0.5});
  glow->setEndPoint({1, 1});
  root->addSublayer(glow);
  const QImage image = frame(0);
  EXPECT_GT(at(image, 50, 25).alpha(), 240);
  EXPECT_NEAR(at(image, 75, 25).alpha(), 128, 6);  // half way along the x radius
  EXPECT_NEAR(at(image, 50, 37).alpha(), 132, 8);  // and along the shorter y radius
  EXPECT_LT(at(image, 98, 25).alpha(), 8);
}

// Red, green and blue at a fifth, half and four fifths of the way across:
// each end holds its colour, and colours blend between neighbouring stops.
TEST_F(Renderer, LinearGradientsRunThroughTheirStopsAndHoldTheEnds) {
  auto band = GradientLayer::make();
  band->setFrame(Rect(0, 0, 100, 20));
  band->setColors({red, green, blue});
  band->setLocations({0.2, 0.5, 0.8});
  band->setStartPoint({0, 0.5});
  band->setEndPoint({1, 0.5});
  root->addSublayer(band);
  const QImage image = frame(0);
  struct Case {
    int x;
    QColor color;
  };
  const Case cases[] = {{2, Qt::red}, {19, Qt::red}, {50, QColor(0, 255, 0)}, {81, Qt::blue}, {98, Qt::blue}};
  for (const auto& c : cases) {
    const QColor got = at(image, c.x, 10);
    EXPECT_NEAR(got.red(), c.color.red(), 6) << c.x;
    EXPECT_NEAR(got.green(), c.color.green(), 6) << c.x;
    EXPECT_NEAR(got.blue(), c.color.blue(), 6) << c.x;
  }
  const QColor between = at(image, 34, 10);  // half way from red to green
  EXPECT_NEAR(between.red(), 128, 10);
  EXPECT_NEAR(between.green(), 128, 10);
  EXPECT_EQ(between.blue(), 0);
}

TEST_F(Renderer, ContentsImagesAreStretchedUpright) {
  QImage picture(2, 2, QImage::Format_ARGB32_Premultiplied);
  picture.setPixelColor(0, 0, Qt::red);
  picture.setPixelColor(1, 0, Qt::red);
  picture.setPixelColor(0, 1, Qt::blue);
  picture.setPixelColor(1, 1, Qt::blue);
  auto sprite = Layer::make();
  sprite->setFrame(Rect(0, 0, 40, 40));
  sprite->setContents(picture);
  root->addSublayer(sprite);
  const QImage image = frame(0);
  EXPECT_GT(at(image, 20, 36).red(), 200);  // the image's first row is at the top
  EXPECT_GT(at(image, 20, 4).blue(), 200);
}

TEST_F(Renderer, ShadowsGlowAroundAStroke) {
  auto stroke = line({20, 50}, {80, 50}, blue, 2);
  stroke->setShadowColor(red);
  stroke->setShadowOpacity(1);
  stroke->setShadowRadius(6);
  stroke->setShadowOffset({0, 0});
  root->addSublayer(stroke);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::blue));
  const QColor near = at(image, 50, 54);
  EXPECT_GT(near.alpha(), 20);
  EXPECT_GT(near.red(), near.blue());
  EXPECT_LT(at(image, 50, 54).alpha(), at(image, 50, 52).alpha());
  EXPECT_EQ(at(image, 50, 70).alpha(), 0);
}

TEST_F(Renderer, CachedLayersAreNotRasterisedAgainWhileTheyOnlyMove) {
  auto still = square(Rect(0, 0, 10, 10), red);
  auto fading = square(Rect(20, 0, 10, 10), green);
  fading->addAnimation(endless("opacity", 0.2, 1.0, 2));
  auto moving = square(Rect(40, 0, 10, 10), blue);
  moving->addAnimation(endless("position", Point{45, 5}, Point{45, 85}, 2));

  frame(0);
  EXPECT_EQ(renderer.stats().rasterisations, 3);
  EXPECT_EQ(renderer.stats().composited, 3);
  for (double t = 0.1; t < 1; t += 0.1) frame(t);
  EXPECT_EQ(renderer.stats().rasterisations, 3);
  EXPECT_EQ(renderer.stats().directDraws, 0);
  EXPECT_TRUE(renderer.isAnimating());
  EXPECT_EQ(at(frame(1), 45, 45), QColor(Qt::blue));  // half way up

  still->setBackgroundColor(green);  // a drawn change: once more, then cached again
  frame(1);
  frame(1.1);
  EXPECT_EQ(renderer.stats().rasterisations, 4);
}

// Moved by whole pixels, a layer keeps its image; by a fraction, it is drawn again.
TEST_F(Renderer, LayersMovedByWholePixelsAreNotDrawnAgain) {
  struct Case {
    const char* name;
    Point to;
    int drawings;
  };
  const Case cases[] = {
      {"right", {23, 20}, 0},
      {"up", {20, 27}, 0},
      {"down and left", {18, 15}, 0},
      {"half a pixel up", {20, 20.5}, 1},
  };
  for (const auto& c : cases) {
    auto box = square(Rect(10, 10, 20, 20), red);  // centred on (20, 20)
    frame(0);
    const int before = renderer.stats().rasterisations;
    box->setPosition(c.to);
    const QImage image = frame(0);
    EXPECT_EQ(renderer.stats().rasterisations - before, c.drawings) << c.name;
    EXPECT_EQ(at(image, static_cast<int>(c.to.x), static_cast<int>(c.to.y)), QColor(Qt::red)) << c.name;
    box->removeFromSuperlayer();
  }
}

TEST_F(Renderer, TurningLayersAreRedrawnOnlyWhenTheyCrossAStep) {
  // Growing by 2% in a second stays within one step of about 3%.
  auto growing = square(Rect(20, 20, 20, 20), blue);
  growing->addAnimation(endless("transform.scale", 1.0, 1.2, 10));
  auto spinning = square(Rect(60, 60, 20, 20), green);
  spinning->addAnimation(endless("transform.rotation.z", 0.0, 0.2, 10));
  for (int i = 0; i <= 30; ++i) frame(i / 30.0);
  EXPECT_LE(renderer.stats().rasterisations, 4);

  // Drawn at the animated size about the anchor, to within a pixel.
  auto doubled = square(Rect(0, 0, 10, 10), red);
  doubled->addAnimation(endless("transform.scale", 2.0, 2.0, 1));
  const QImage image = frame(0.5);
  EXPECT_EQ(at(image, 14, 14), QColor(Qt::red));  // scaled about (5, 5): -5 to 15
  EXPECT_EQ(at(image, 14, 0), QColor(Qt::red));
  EXPECT_EQ(at(image, 16, 5).alpha(), 0);
  EXPECT_EQ(at(image, 30, 30), QColor(Qt::blue));
}

// A stroke under a swelling layer is drawn again at each step of the swell,
// reusing its outline; changed meanwhile, it shows at the next step as a
// renderer seeing it first draws it.
TEST_F(Renderer, AStrokeChangedWhileItSwellsShowsTheChange) {
  struct Case {
    const char* name;
    std::function<void(ShapeLayer&)> change;
  };
  const Case cases[] = {
      {"wider", [](ShapeLayer& s) { s.setLineWidth(5); }},
      {"along another path", [](ShapeLayer& s) { s.setPath(Path::rect(Rect(15, 25, 60, 40))); }},
      {"with round caps", [](ShapeLayer& s) { s.setLineCap(ShapeLayer::LineCap::round); }},
  };
  for (const Case& c : cases) {
    renderer.reset();
    root = Layer::make();
    root->setFrame(Rect(0, 0, 100, 100));
    auto swell = Layer::make();
    swell->addAnimation(endless("transform.scale", 0.5, 1.0, 2), "swell");
    auto zigzag = line({10, 10}, {50, 80}, blue, 2);
    Path path = zigzag->path();
    path.lineTo({90, 20});
    zigzag->setPath(path);
    swell->addSublayer(zigzag);
    root->addSublayer(swell);
    frame(0.1);
    frame(0.3);
    c.change(*zigzag);
    const QImage shown = frame(0.9);
    const QImage expected = freshFrame(*root, 0.9);
    EXPECT_EQ(shown, expected) << c.name;
  }
}

// A still layer that its superlayer turns or swells about the point they
// share is placed as last frame while the motion stays within a step of its
// picture: at every frame, as the picture repainted only where reported
// changed, it shows what a renderer seeing it first shows, steps crossed and
// come round again.
TEST_F(Renderer, AStillLayerTurnedOrSwollenByItsSuperlayerShowsEveryStep) {
  struct Case {
    const char* name;
    Rect shape;  // about the point it turns or swells about
    BasicAnimation motion;
  };
  const Case cases[] = {
      {"swelling about its centre", Rect(-20, -12, 40, 25), endless("transform.scale", 0.6, 1.0, 1)},
      {"growing upwards from its foot", Rect(-6, 1, 12, 40), endless("transform.scale.y", 0.35, 1.0, 1)},
      {"turning about its corner", Rect(0, 0, 30, 20), endless("transform.rotation.z", 0.0, 0.6, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    renderer.reset();
    root = Layer::make();
    root->setFrame(Rect(0, 0, 100, 100));
    auto superlayer = Layer::make();
    superlayer->setPosition({50.3, 40.6});
    superlayer->addAnimation(c.motion);
    auto still = ShapeLayer::make();
    still->setPath(Path::rect(c.shape));
    still->setFillColor(blue);
    still->setStrokeColor(red);
    still->setLineWidth(1.5);
    still->setShadowColor(green);
    still->setShadowOpacity(0.8);
    still->setShadowRadius(4);
    superlayer->addSublayer(still);
    root->addSublayer(superlayer);
    QImage kept = blank();
    for (int i = 0; i <= 45; ++i) {
      const double t = i / 30.0;
      repaintOnly(kept, renderer, renderer.prepare(*root, t, QSizeF(100, 100)));
      const QImage expected = freshFrame(*root, t);
      ASSERT_EQ(kept, expected) << "frame " << i;
    }
  }
}

// A layer growing a little, between two steps of its scale, is drawn at the
// nearer step about its anchor: the edge it grows from stays where it stands.
TEST_F(Renderer, TurningLayersKeepTheirAnchorInPlace) {
  struct Case {
    const char* name;
    Point anchor;
    const char* keyPath;
    int insideX, insideY, outsideX, outsideY;  // either side of the edge at the anchor
  };
  const Case cases[] = {
      {"growing leftwards from its right end", {1, 0.5}, "transform.scale.x", 89, 50, 90, 50},
      {"growing rightwards from its left end", {0, 0.5}, "transform.scale.x", 10, 50, 9, 50},
      {"growing upwards from its foot", {0.5, 0}, "transform.scale.y", 50, 40, 50, 39},
      {"growing downwards from its head", {0.5, 1}, "transform.scale.y", 50, 59, 50, 60},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bar = square(Rect(10, 40, 80, 20), red);
    bar->setAnchorPoint(c.anchor);
    bar->setPosition({10 + 80 * c.anchor.x, 40 + 20 * c.anchor.y});
    bar->addAnimation(endless(c.keyPath, 1.015, 1.015, 1));
    const QImage image = frame(0.5);
    EXPECT_EQ(at(image, c.insideX, c.insideY), QColor(Qt::red));
    EXPECT_EQ(at(image, c.outsideX, c.outsideY).alpha(), 0);
    EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
    bar->removeFromSuperlayer();
  }
}

// Two round outlines (round rects whose radius is half their side, so each
// corner meets the next at one repeated point), the first drawn on whole:
// it closes round on itself, with nothing across its inside.
TEST_F(Renderer, AnOutlineDrawnOnWholeClosesRoundOnItself) {
  Path rings = Path::roundedRect(Rect(10, 30, 40, 40), 20, 20);
  rings.addPath(Path::roundedRect(Rect(55, 30, 40, 40), 20, 20));
  auto shape = ShapeLayer::make();
  shape->setPath(rings);
  shape->setFillColor(std::nullopt);
  shape->setStrokeColor(red);
  shape->setLineWidth(2);
  shape->setStrokeEnd(0.75);
  root->addSublayer(shape);
  const QImage image = frame(0);
  int inside = 0;
  for (int y = 35; y < 65; ++y) {
    for (int x = 15; x < 45; ++x) inside += std::hypot(x + 0.5 - 30, y + 0.5 - 50) < 16 && at(image, x, y).alpha() > 0;
  }
  EXPECT_EQ(inside, 0);
  EXPECT_EQ(at(image, 30, 30), QColor(Qt::red));  // the first ring, all round
  EXPECT_EQ(at(image, 30, 69), QColor(Qt::red));
}

TEST_F(Renderer, AnimatedPathsAndStrokeEndsAreDrawnEveryFrame) {
  auto vine = line({0, 50}, {100, 50}, green, 4);
  vine->setShadowOpacity(0.8);
  vine->setShadowOffset({0, 0});
  KeyframeAnimation crawl("strokeEnd");
  crawl.values = {0.0, 1.0};
  crawl.duration = 10;
  crawl.repeatCount = Animation::repeatForever;
  vine->addAnimation(crawl, "vineCrawl");
  root->addSublayer(vine);
  square(Rect(0, 0, 10, 10), red);

  QImage image = frame(2.5);
  EXPECT_EQ(at(image, 20, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 30, 50).alpha(), 0);  // not yet stroked
  EXPECT_GT(at(image, 20, 53).alpha(), 0);  // the stand-in shadow, wider than the line
  image = frame(5);
  EXPECT_EQ(at(image, 45, 50), QColor(Qt::green));
  EXPECT_EQ(renderer.stats().directDraws, 2);
  EXPECT_EQ(renderer.stats().rasterisations, 1);  // only the still square
}

// Content that animates is drawn again only when it draws otherwise: a
// strokeEnd that holds at a keyframe is placed as last frame, and nothing
// changes on screen; moved by a fraction of a pixel, it is drawn again.
TEST_F(Renderer, AnimatedContentThatHoldsIsNotDrawnAgain) {
  auto vine = line({0, 50}, {100, 50}, green, 4);
  KeyframeAnimation crawl("strokeEnd");
  crawl.values = {0.2, 1.0, 1.0};
  crawl.keyTimes = {0, 0.5, 1};
  crawl.duration = 4;
  crawl.repeatCount = Animation::repeatForever;
  vine->addAnimation(crawl, "vineCrawl");
  root->addSublayer(vine);
  frame(1);
  const QImage held = frame(2.5);
  const int drawn = renderer.stats().directDraws;
  EXPECT_EQ(frame(3), held);
  EXPECT_TRUE(damage.isEmpty());
  EXPECT_EQ(renderer.stats().directDraws, drawn);
  vine->setPosition({vine->position().x + 0.25, vine->position().y});
  frame(3.5);
  EXPECT_EQ(renderer.stats().directDraws, drawn + 1);
}

// Drawn afresh every frame, a shape's shadow is stood in for by one wider stroke
// of its outline, as wide as the shadow's radius and any stroke together.
TEST_F(Renderer, AShadowDrawnEveryFrameReachesHalfItsRadiusPastTheOutline) {
  struct Case {
    const char* name;
    std::optional<Color> fill;
    double lineWidth;
    int reach;  // points past the outline: (line width + radius) / 2
  };
  const Case cases[] = {{"a fill", blue, 0, 3}, {"a stroke", std::nullopt, 4, 5}};
  for (const auto& c : cases) {
    auto shape = ShapeLayer::make();
    shape->setPath(Path::rect(Rect(30, 30, 40, 40)));
    shape->setFillColor(c.fill);
    shape->setStrokeColor(c.lineWidth > 0 ? std::optional<Color>(green) : std::nullopt);
    shape->setLineWidth(c.lineWidth);
    shape->setShadowColor(red);
    shape->setShadowOpacity(1);
    shape->setShadowRadius(6);
    shape->setShadowOffset({0, 0});
    shape->addAnimation(endless("fillColor", blue, blue, 1));
    root->addSublayer(shape);
    const QImage image = frame(0.5);
    EXPECT_GT(at(image, 30 - c.reach, 50).alpha(), 0) << c.name;
    EXPECT_EQ(at(image, 30 - c.reach - 1, 50).alpha(), 0) << c.name;
    EXPECT_EQ(at(image, 69 + c.reach + 1, 50).alpha(), 0) << c.name;
    shape->removeFromSuperlayer();
  }
}

// Qt's raster engine hands a large blend to worker threads and waits for them,
// which the thread that renders sees as a wait of its own. Every way a layer
// is drawn (cached, at a morph's stage, afresh, in a faded or clipped group),
// antialiased, large and of every kind of content, must leave it running.
TEST_F(Renderer, DrawsEveryWayWithoutWaitingForOtherThreads) {
  const auto waits = [] {
    QFile status(QStringLiteral("/proc/thread-self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1LL;
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("voluntary_ctxt_switches:")) return line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return -1LL;
  };
  const Rect whole(0, 0, 400, 400);
  root->setFrame(whole);
  const auto disc = [](Rect frame, Color stroke, Color fill) {
    auto shape = ShapeLayer::make();
    shape->setPath(Path::ellipse(frame));
    shape->setStrokeColor(stroke);
    shape->setFillColor(fill);
    shape->setLineWidth(9);
    return shape;
  };
  root->addSublayer(disc(Rect(10, 10, 380, 380), red, blue.withAlpha(0.5)));
  auto afresh = disc(Rect(30, 30, 340, 340), green, red.withAlpha(0.3));
  afresh->addAnimation(endless("strokeEnd", 0.2, 1.0, 3));
  afresh->setShadowColor(blue);
  afresh->setShadowOpacity(1);
  root->addSublayer(afresh);
  auto glow = GradientLayer::make();
  glow->setType(GradientLayer::Type::radial);
  glow->setFrame(Rect(20.5, 20.5, 359, 359));
  glow->setColors({green, blue.withAlpha(0)});
  glow->setEndPoint({1, 1});
  root->addSublayer(glow);
  QImage picture(300, 300, QImage::Format_ARGB32_Premultiplied);
  picture.fill(QColor(200, 100, 0, 150));
  auto image = Layer::make();
  image->setFrame(Rect(40.5, 40.5, 330, 330));
  image->setContents(picture);
  image->addAnimation(endless("transform.scale", 0.9, 1.1, 2));
  root->addSublayer(image);
  auto faded = Layer::make();
  faded->setFrame(whole);
  faded->setOpacity(0.5);
  faded->addSublayer(disc(Rect(50, 50, 300, 300), blue, green.withAlpha(0.4)));
  auto morphing = disc(Rect(60, 60, 280, 280), red, blue.withAlpha(0.2));
  morphing->addAnimation(
      endless("path", Path::ellipse(Rect(60, 60, 280, 280)), Path::ellipse(Rect(70, 60, 270, 280)), 2));
  faded->addSublayer(morphing);
  root->addSublayer(faded);
  auto mask = ShapeLayer::make();
  mask->setPath(Path::ellipse(whole));
  root->setMask(mask);

  QImage target(400, 400, QImage::Format_ARGB32_Premultiplied);
  const long long before = waits();
  for (double t : {0.0, 0.4, 0.9}) {
    renderer.prepare(*root, t, QSizeF(400, 400));
    target.fill(Qt::transparent);
    // As a widget paints: within the region of its paint event, of several rects a row.
    const QRegion region = QRegion(0, 0, 190, 400) + QRegion(200, 0, 200, 400);
    target.paintEngine()->setSystemClip(region);
    QPainter p(&target);
    renderer.paint(p, region);
  }
  EXPECT_GE(before, 0);
  // Qt's hand-off waits at every large blend, a dozen times over these three
  // frames; a sanitizer's thread or the kernel may take this one off the
  // processor once or twice on a loaded machine.
  EXPECT_LE(waits() - before, 2);
  EXPECT_GT(renderer.stats().directDraws, 0);
  EXPECT_GT(qAlpha(target.pixel(200, 15)), 0);
  EXPECT_EQ(qAlpha(target.pixel(195, 200)), 0);  // outside the region
}

// A layer whose picture comes round again each cycle (a morph's stages, a
// turn or swell about an anchor that stays put, a group of such members) is
// drawn in the first cycle only: in the next it shows, frame for frame, the
// same pictures without drawing any. One that also moves comes back at other
// places within a pixel, so it is drawn again.
TEST_F(Renderer, PicturesThatComeRoundAgainAreDrawnOnlyInTheFirstCycle) {
  const auto swaying = [](std::shared_ptr<Layer> layer) {
    auto sway = endless("transform.rotation.z", -0.3, 0.3, 1);
    sway.autoreverses = true;
    sway.timingFunction = TimingFunction::easeInEaseOut();
    layer->addAnimation(sway, "sway");
    return layer;
  };
  const auto leaf = [&](Rect frame) {
    auto blade = ShapeLayer::make();
    blade->setPath(Path::ellipse(Rect(0, 0, frame.width(), frame.height())));
    blade->setFillColor(green);
    blade->setStrokeColor(blue);
    blade->setShadowColor(red);
    blade->setShadowOpacity(1);
    blade->setShadowRadius(3);
    blade->setFrame(frame);
    return blade;
  };
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Layer>()> build;
    bool drawnAgain;
  };
  const Case cases[] = {
      {"a group of morphing shapes",
       [&] {
         auto group = Layer::make();
         group->setFrame(Rect(0, 0, 100, 100));
         group->setOpacity(0.6);
         for (const double top : {40.0, 60.0}) {
           auto bar = ShapeLayer::make();
           bar->setPath(Path::rect(Rect(10, top, 80, 10)));
           bar->setStrokeColor(red);
           bar->setLineWidth(3);
           auto swell = endless("path", Path::rect(Rect(10, top, 80, 10)), Path::rect(Rect(15, top - 8, 70, 20)), 1);
           swell.autoreverses = true;
           swell.timingFunction = TimingFunction::easeInEaseOut();
           bar->addAnimation(swell, "flow");
           group->addSublayer(bar);
         }
         return group;
       },
       false},
      {"a shape turning about its anchor", [&] { return swaying(leaf(Rect(30, 20, 40, 60))); }, false},
      {"a faded group turning about its members' common anchor",
       [&] {
         auto group = Layer::make();
         group->setFrame(Rect(20, 20, 60, 60));
         group->setOpacity(0.7);
         group->addSublayer(leaf(Rect(10, 0, 40, 60)));
         group->addSublayer(leaf(Rect(20, 20, 20, 20)));
         return swaying(group);
       },
       false},
      {"a shape turning while it moves",
       [&] {
         auto shape = swaying(leaf(Rect(30, 20, 40, 60)));
         auto drift = endless("position.x", 45.0, 55.0, 1);
         drift.autoreverses = true;
         shape->addAnimation(drift, "drift");
         return shape;
       },
       true},
  };
  // A cycle is two seconds; frames fall on the same times of each.
  constexpr int framesPerCycle = 32;
  const auto at = [](int k) { return k * 2.0 / framesPerCycle; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    root->removeAllSublayers();
    renderer.reset();
    root->addSublayer(c.build());
    std::vector<QImage> first;
    for (int k = 0; k < framesPerCycle; ++k) first.push_back(frame(at(k)));
    const int drawn = renderer.stats().rasterisations;
    for (int k = 0; k < framesPerCycle; ++k) {
      const QImage again = frame(at(k + framesPerCycle));
      if (!c.drawnAgain) {
        EXPECT_TRUE(again == first[static_cast<std::size_t>(k)]) << "frame " << k;
      }
    }
    EXPECT_EQ(renderer.stats().rasterisations > drawn, c.drawnAgain);
  }
}

// A morph whose stage, at the first frames, falls before it began shows the
// model's path then; the stage's own picture is drawn when it is reached.
TEST_F(Renderer, AStageBeforeTheMorphBeganIsNotTakenForTheStage) {
  auto bar = ShapeLayer::make();
  bar->setPath(Path::rect(Rect(10, 45, 80, 10)));
  bar->setFillColor(blue);
  auto swell = endless("path", Path::rect(Rect(10, 45, 80, 10)), Path::rect(Rect(10, 35, 80, 30)), 2);
  swell.beginTime = 0.1;  // the first stage at or after 0 s lies at 0
  bar->addAnimation(swell, "flow");
  root->addSublayer(bar);
  EXPECT_EQ(at(frame(0.05), 50, 60).alpha(), 0);  // not begun: the bar as modelled
  frame(1.1);
  EXPECT_EQ(at(frame(2.1), 50, 58).alpha(), 0);  // the pass's first stage: no swelling yet
  EXPECT_EQ(at(frame(3.1), 50, 58), QColor(Qt::blue));
}

// A shape whose content animates is drawn afresh each frame, a wide pen
// stroked in one go and a thin one outlined first: either way it looks as the
// same shape drawn once and kept, where the lines meet too.
TEST_F(Renderer, AShapeDrawnAfreshLooksAsWhenKept) {
  for (const double width : {0.6, 3.0}) {
    SCOPED_TRACE(width);
    const int drawnAfresh = renderer.stats().directDraws;
    QImage pictures[2];
    for (const bool afresh : {false, true}) {
      root->removeAllSublayers();
      renderer.reset();
      auto zigzag = ShapeLayer::make();
      Path path;
      path.moveTo({10, 20});
      for (int k = 1; k <= 8; ++k) path.lineTo({10 + 10.3 * k, k % 2 ? 80.0 : 20.0});
      zigzag->setPath(path);
      zigzag->setFillColor(std::nullopt);
      zigzag->setStrokeColor(red.withAlpha(0.6));
      zigzag->setLineWidth(width);
      if (afresh) zigzag->addAnimation(endless("strokeEnd", 1.0, 1.0, 1));
      root->addSublayer(zigzag);
      pictures[afresh] = frame(0.5);
    }
    EXPECT_EQ(renderer.stats().directDraws, drawnAfresh + 1);
    int worst = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) {
        const QRgb a = pictures[0].pixel(x, y), b = pictures[1].pixel(x, y);
        worst = std::max({worst, std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b))});
      }
    }
    EXPECT_LE(worst, 1);
  }
}

// A stroke whose end alone moves (growing, withdrawing, round corners, along
// curves, back beside itself) is drawn again only where the end moved, and
// every frame shows the very pixels the whole stroke drawn anew gives; along
// gentle turns its miters reach little past the pen, so a frame changes only
// a few pixels around the end. A thin
// pen, outlined first, is drawn whole. A closed outline, or a stroke of two
// pieces, is drawn in part only while what shows is one open piece: the close
// joins its ends, and a second piece is capped apart. A stroke that moves
// too is drawn whole: its last picture lies elsewhere.
TEST_F(Renderer, AStrokeWhoseEndMovesIsDrawnAgainOnlyWhereItMoved) {
  const auto wave = [] {
    Path path;
    path.moveTo({5.3, 50.2});
    for (int k = 1; k <= 40; ++k) path.lineTo({5.3 + 2.25 * k, 50.2 + 7 * std::sin(k / 4.0)});
    return path;
  };
  const auto zigzag = [] {
    Path path;
    path.moveTo({10, 20});
    for (int k = 1; k <= 8; ++k) path.lineTo({10 + 10.3 * k, k % 2 ? 80.0 : 20.0});
    return path;
  };
  const auto curves = [] {
    Path path;
    path.moveTo({8, 10});
    path.cubicTo({40, 0}, {20, 60}, {50, 50});
    path.quadTo({90, 40}, {85.5, 90.5});
    return path;
  };
  const auto closed = [] {
    Path path;
    path.moveTo({20, 20});
    path.lineTo({80.5, 20});
    path.lineTo({80.5, 80.5});
    path.lineTo({20, 80.5});
    path.close();
    return path;
  };
  const auto twoPieces = [&] {
    Path path = zigzag();
    path.moveTo({15, 90});
    path.lineTo({85, 90});
    return path;
  };
  const auto hairpin = [] {  // out along y = 40 and back along y = 47
    Path path;
    path.moveTo({10, 40});
    for (int k = 1; k <= 16; ++k) path.lineTo({10.0 + 5 * k, 40});
    path.cubicTo({100, 40}, {100, 47}, {90, 47});
    for (int k = 1; k <= 16; ++k) path.lineTo({90.0 - 5 * k, 47});
    return path;
  };
  struct Case {
    const char* name;
    Path path;
    double width;
    ShapeLayer::LineCap cap;
    ShapeLayer::LineJoin join;
    double from, to;   // strokeEnd over the pass
    bool partly;       // drawn again only in part
    double drift = 0;  // pixels the stroke moves sideways each frame
    int spans = 0;     // most rows or columns a frame's change spans after the first; 0: not asked
  };
  const Case cases[] = {
      {"a growing wave", wave(), 1.6, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::miter, 0.05, 1, true, 0, 16},
      {"a withdrawing wave", wave(), 2.5, ShapeLayer::LineCap::butt, ShapeLayer::LineJoin::miter, 1, 0.05, true, 0, 16},
      {"sharp miters", zigzag(), 3, ShapeLayer::LineCap::square, ShapeLayer::LineJoin::miter, 0, 1, true},
      {"round joins", zigzag(), 4, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::round, 0.1, 1, true},
      {"curves", curves(), 2.5, ShapeLayer::LineCap::square, ShapeLayer::LineJoin::bevel, 0, 1, true},
      {"back beside itself", hairpin(), 3, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::miter, 0, 1, true},
      {"a thin pen", wave(), 0.6, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::miter, 0, 1, false},
      {"a closed outline", closed(), 3, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::miter, 0, 1, true},
      {"two pieces", twoPieces(), 3, ShapeLayer::LineCap::butt, ShapeLayer::LineJoin::round, 0, 1, true},
      {"a wave on the move", wave(), 2.5, ShapeLayer::LineCap::round, ShapeLayer::LineJoin::miter, 0.05, 1, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    root->removeAllSublayers();
    renderer.reset();
    auto stroke = ShapeLayer::make();
    stroke->setPath(c.path);
    stroke->setPosition({0.3, 0.6});
    stroke->setFillColor(std::nullopt);
    stroke->setStrokeColor(green.withAlpha(0.9));
    stroke->setLineWidth(c.width);
    stroke->setLineCap(c.cap);
    stroke->setLineJoin(c.join);
    auto pass = endless("strokeEnd", c.from, c.to, 3);
    pass.repeatCount = 1;
    stroke->addAnimation(pass, "crawl");
    if (c.drift != 0) {
      auto drift = endless("position", Point{0.3, 0.6}, Point{0.3 - 45 * c.drift, 0.6}, 3);
      drift.repeatCount = 1;
      stroke->addAnimation(drift, "drift");
    }
    root->addSublayer(stroke);
    const int partly = renderer.stats().strokeEndRedraws;
    for (int k = 0; k <= 45; ++k) {
      const QImage kept = frame(k / 15.0);
      if (k > 0 && c.spans > 0) {
        EXPECT_LE(std::max(damage.boundingRect().width(), damage.boundingRect().height()), c.spans) << "frame " << k;
      }
      LayerRenderer whole;
      whole.prepare(*root, k / 15.0, QSizeF(100, 100));
      QImage drawn = blank();
      QPainter p(&drawn);
      whole.paint(p, QRegion(0, 0, 100, 100));
      p.end();
      ASSERT_TRUE(kept == drawn) << "frame " << k;
    }
    EXPECT_EQ(renderer.stats().strokeEndRedraws > partly, c.partly);
  }
}

TEST_F(Renderer, MotionOfNothingAsksForNoFrames) {
  root->addAnimation(endless("opacity", 0.84, 1.0, 3.8), "vfxPulse");  // a band with no effect in it
  frame(0);
  EXPECT_FALSE(renderer.isAnimating());
  square(Rect(10, 10, 10, 10), red);
  frame(0.1);
  EXPECT_TRUE(renderer.isAnimating());
}

TEST_F(Renderer, ReportsOnlyWhatChanged) {
  square(Rect(0, 0, 10, 10), red);
  auto moving = square(Rect(50, 50, 10, 10), blue);
  frame(0);
  EXPECT_EQ(damage, QRegion(0, 0, 100, 100));  // the first frame is new everywhere

  frame(1);
  EXPECT_TRUE(damage.isEmpty());  // nothing animates, nothing changed

  moving->setPosition({75, 55});
  frame(2);
  EXPECT_TRUE(damage.contains(QRect(50, 40, 10, 10)));  // where it was (y down)
  EXPECT_TRUE(damage.contains(QRect(70, 40, 10, 10)));  // where it is now
  EXPECT_FALSE(damage.intersects(QRect(0, 90, 10, 10)));

  moving->removeFromSuperlayer();
  frame(3);
  EXPECT_TRUE(damage.contains(QRect(70, 40, 10, 10)));
  EXPECT_FALSE(renderer.isAnimating());
}

// Whatever moves, fades or changes shape, every pixel that differs between two
// frames lies in the area reported changed for the second: nothing is left stale.
TEST_F(Renderer, ReportsEveryPixelThatChanged) {
  struct Case {
    const char* name;
    QSize size;
    double scale;
    std::function<void(Layer&)> build;
    double from, to;
  };
  const auto breathing = [](Rect edge, double glow) {
    return [=](Layer& root) {
      auto band = ShapeLayer::make();
      band->setFrame(root.bounds());
      band->setPath(Path::roundedRect(edge, 12, 12));
      band->setFillColor(std::nullopt);
      band->setStrokeColor(blue);
      band->setLineWidth(1.5);
      band->setShadowColor(blue);
      band->setShadowOpacity(0.75);
      band->setShadowRadius(glow);
      band->setShadowOffset({0, 0});
      band->addAnimation(endless("opacity", 0.25, 0.9, 3.5), "breathe");
      root.addSublayer(band);
    };
  };
  const auto outline = breathing(Rect(3, 3, 294, 194), 7);
  const auto sliding = [](Layer& root) {
    auto box = Layer::make();
    box->setFrame(Rect(0, 0, 10, 10));
    box->setBackgroundColor(red);
    box->addAnimation(endless("position", Point{20.3, 50}, Point{80.7, 50}, 1));
    root.addSublayer(box);
  };
  const auto fadingGroup = [](Layer& root) {
    auto container = Layer::make();
    container->setFrame(root.bounds());
    container->addSublayer(line({10, 50}, {70, 50}, red, 10));
    container->addSublayer(line({30, 40}, {90, 60}, green, 6));
    container->addAnimation(endless("opacity", 0.2, 0.9, 1));
    root.addSublayer(container);
  };
  const auto morphing = [](Layer& root) {
    auto bar = ShapeLayer::make();
    bar->setPath(Path::rect(Rect(10, 40, 80, 10)));
    bar->setFillColor(blue);
    bar->addAnimation(endless("path", Path::rect(Rect(10, 40, 80, 10)), Path::rect(Rect(30, 20, 40, 60)), 2), "flow");
    root.addSublayer(bar);
  };
  const auto spinning = [](Layer& root) {
    auto box = Layer::make();
    box->setFrame(Rect(30, 30, 40, 20));
    box->setBackgroundColor(green);
    box->addAnimation(endless("transform.rotation.z", 0.0, 6.0, 4));
    root.addSublayer(box);
  };
  const auto glowingUnderAMask = [](Layer& root) {
    auto mask = ShapeLayer::make();
    mask->setPath(Path::ellipse(Rect(-40, -10, 100, 120)));
    root.setMask(mask);
    auto glowing = Layer::make();
    glowing->setFrame(Rect(10, 40, 10, 10));
    glowing->setBackgroundColor(red);
    glowing->setShadowOpacity(1);
    glowing->setShadowRadius(4);
    glowing->addAnimation(endless("position", Point{15, 45}, Point{85, 45}, 7));
    root.addSublayer(glowing);
  };
  const auto slidingMask = [](Layer& root) {
    auto still = Layer::make();
    still->setFrame(Rect(20, 20, 60, 60));
    still->setBackgroundColor(green);
    root.addSublayer(still);
    auto window = Layer::make();
    window->setFrame(Rect(0, 0, 40, 100));
    window->addAnimation(endless("position.x", 20.0, 80.0, 1));
    root.setMask(window);
  };
  std::vector<Case> cases = {
      {"a still square seen through a sliding mask", {100, 100}, 1, slidingMask, 0.2, 0.5},
      {"a breathing outline", {300, 200}, 1, outline, 0.5, 1},
      {"a breathing outline on a dense screen", {300, 200}, 2, outline, 0.5, 1},
      {"a small breathing ring, wholly inside", {100, 100}, 1, breathing(Rect(20, 20, 60, 60), 3), 0.5, 1},
      {"a square sliding by fractions of a pixel", {100, 100}, 1, sliding, 0.3, 0.35},
      {"a fading group", {100, 100}, 1, fadingGroup, 0.25, 0.5},
      {"a morph", {100, 100}, 1, morphing, 0, 1},
      {"a spinning square", {100, 100}, 1, spinning, 0, 0.5},
      {"a glow crossing a mask's edge", {100, 100}, 1, glowingUnderAMask, 4, 4.3},
  };
  // Sixteen widths in a row: the image's edge falls at every place in a tile of its coverage.
  for (int side = 45; side < 61; ++side) {
    cases.push_back(
        {"a breathing ring of one of sixteen widths", {100, 100}, 1, breathing(Rect(18, 18, side, side), 2), 0.5, 1});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto scene = Layer::make();
    scene->setFrame(Rect(0, 0, c.size.width(), c.size.height()));
    c.build(*scene);
    LayerRenderer fresh;
    const QSize pixels = c.size * c.scale;
    const auto draw = [&](double t, QRegion& changed) {
      changed = fresh.prepare(*scene, t, QSizeF(c.size), c.scale);
      QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      image.setDevicePixelRatio(c.scale);
      QPainter p(&image);
      fresh.paint(p, QRegion(QRect(QPoint(0, 0), pixels)));
      return image;
    };
    QRegion changed;
    const QImage before = draw(c.from, changed);
    const QImage after = draw(c.to, changed);
    int differ = 0, stale = 0;
    for (int y = 0; y < pixels.height(); ++y) {
      for (int x = 0; x < pixels.width(); ++x) {
        if (before.pixel(x, y) == after.pixel(x, y)) continue;
        ++differ;
        if (!changed.contains(QPoint(x, y))) ++stale;
      }
    }
    EXPECT_GT(differ, 0);
    EXPECT_EQ(stale, 0) << "of " << differ << " changed pixels";
  }
}

// A host repaints only the area reported changed, over the picture it kept
// from the frames before. Many soft round wisps that rise, swell, flicker or
// drift (their changes merged onto tiles, rows joined and gaps closed) leave
// that picture, frame after frame, the very picture the whole frame paints on
// a clear one: no pixel left stale.
TEST_F(Renderer, RepaintingOnlyWhatIsReportedKeepsThePictureWhole) {
  const QImage wisp = [] {
    QImage image(24, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QRadialGradient soft(QPointF(12, 15), 12);
    soft.setColorAt(0, QColor(200, 200, 220, 180));
    soft.setColorAt(1, QColor(200, 200, 220, 0));
    p.setBrush(soft);
    p.drawEllipse(QPointF(12, 15), 12, 15);
    return image;
  }();
  // `count` wisps spread along the bottom edge of `size` from `left`, `spacing` apart.
  const auto wisps = [wisp](int count, double left, double spacing, const std::function<void(Layer&, int)>& animate) {
    return [=](Layer& root) {
      for (int i = 0; i < count; ++i) {
        auto layer = Layer::make();
        layer->setBounds(Rect(0, 0, 18 + i % 5 * 3, 22 + i % 4 * 4));
        layer->setAnchorPoint({0.5, 0.04});
        layer->setPosition({left + i * spacing, 12.0 + i % 3 * 5});
        layer->setContents(wisp);
        animate(*layer, i);
        root.addSublayer(layer);
      }
    };
  };
  const auto rising = [](Layer& layer, int i) {
    const Point from = layer.position();
    auto rise = endless("position", from, Point{from.x + (i % 2 ? 9.3 : -7.7), from.y + 55.5}, 1.3 + i % 7 * 0.2);
    layer.addAnimation(rise, "rise");
    layer.addAnimation(endless("transform.scale", 0.85, 1.3, 1.7 + i % 5 * 0.3), "swell");
    layer.addAnimation(endless("opacity", 0.9, 0.1, 1.1 + i % 3 * 0.4), "fade");
  };
  const auto flickering = [](Layer& layer, int i) {
    layer.addAnimation(endless("opacity", 0.55, 1.0, 0.7 + i % 4 * 0.3), "flicker");
  };
  const auto drifting = [](Layer& layer, int i) {
    const Point from = layer.position();
    layer.addAnimation(endless("position", from, Point{from.x + 3.3, from.y + (i % 2 ? 2.6 : -1.4)}, 0.9), "drift");
  };
  // Only the band around a window shows, as around an effect.
  const auto banded = [](std::function<void(Layer&)> build) {
    return [build](Layer& root) {
      auto mask = ShapeLayer::make();
      Path band = Path::rect(root.bounds());
      band.addRect(Rect(40, 40, root.bounds().width() - 80, root.bounds().height() - 80));
      mask->setPath(band);
      mask->setFillRule(ShapeLayer::FillRule::evenOdd);
      root.setMask(mask);
      build(root);
    };
  };
  const struct {
    const char* name;
    QSize size;
    double scale;
    std::function<void(Layer&)> build;
  } cases[] = {
      {"rising, swelling, fading wisps", {300, 200}, 1, wisps(30, 10, 9.5, rising)},
      {"rising wisps on a dense screen", {300, 200}, 1.5, wisps(30, 10, 9.5, rising)},
      {"rising wisps in the band around a window", {300, 200}, 1, banded(wisps(30, 10, 9.5, rising))},
      {"flickering wisps", {300, 200}, 1, wisps(24, 10, 11, flickering)},
      {"wisps drifting far apart, past odd edges", {203, 157}, 1, wisps(20, -6, 11.3, drifting)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto scene = Layer::make();
    scene->setFrame(Rect(0, 0, c.size.width(), c.size.height()));
    c.build(*scene);
    const QSize pixels = c.size * c.scale;
    const auto canvas = [&] {
      QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      image.setDevicePixelRatio(c.scale);
      return image;
    };
    LayerRenderer shown;
    QImage kept = canvas();
    int narrowed = 0;  // frames repainted in part
    for (int k = 0; k < 24; ++k) {
      SCOPED_TRACE(k);
      const double t = 0.3 + k * 0.1;
      const QRegion changed = shown.prepare(*scene, t, QSizeF(c.size), c.scale);
      narrowed += changed != QRegion(QRect(QPoint(0, 0), pixels));
      repaintOnly(kept, shown, changed);
      // The whole frame, painted on a clear picture.
      QImage drawn = canvas();
      {
        QPainter p(&drawn);
        shown.paint(p, QRegion(QRect(QPoint(0, 0), pixels)));
      }
      ASSERT_EQ(kept, drawn) << "pixels differ; " << changed.rectCount() << " rects reported";
    }
    EXPECT_GT(narrowed, 12);
  }
}

// A faded group whose members change a little at a time (a vine growing, a
// leaf lighting up, a member sliding past the group's edge, a group within it)
// has its picture drawn again only where they changed, and reports only that:
// a host repainting what is reported shows, frame after frame, the picture a
// renderer drawing everything afresh shows, while a still member far from
// the change is not repainted. Painted whole, the picture carried over from
// frame to frame (its edge moving in as a member slides away, or kept in
// place and size, drawn on the picture before last) shows the same.
TEST_F(Renderer, AGroupChangedInPartIsDrawnAgainAndReportedOnlyThere) {
  const auto growing = [] {
    Path wave;
    wave.moveTo({10.3, 30.2});
    for (int k = 1; k <= 30; ++k) wave.lineTo({10.3 + 2.5 * k, 30.2 + 6 * std::sin(k / 3.0)});
    auto vine = line({0, 0}, {1, 1}, green.withAlpha(0.9), 2.5);
    vine->setPath(wave);
    vine->setFillColor(std::nullopt);
    vine->setLineCap(ShapeLayer::LineCap::round);
    auto crawl = endless("strokeEnd", 0.05, 1.0, 4);
    vine->addAnimation(crawl, "crawl");
    return vine;
  };
  const auto fading = [] {
    auto leaf = Layer::make();
    leaf->setFrame(Rect(55, 65, 12, 6));
    leaf->setBackgroundColor(green);
    leaf->addAnimation(endless("opacity", 0.2, 1.0, 1.5), "light");
    return leaf;
  };
  const auto sliding = [] {
    auto box = Layer::make();
    box->setFrame(Rect(0, 0, 8, 8));
    box->setBackgroundColor(blue);
    box->addAnimation(endless("position", Point{60, 60}, Point{185.5, 80.5}, 3), "slide");
    return box;
  };
  const auto faded = [](std::vector<std::shared_ptr<Layer>> members) {
    auto group = Layer::make();
    group->setOpacity(0.8);
    for (auto& member : members) group->addSublayer(member);
    return group;
  };
  const auto still = [] { return line({150, 20}, {190, 20}, red, 6); };  // device rows 77 to 83
  // Under everything, so the group's picture keeps its place and size from frame to frame.
  const auto wash = [] {
    auto layer = Layer::make();
    layer->setFrame(Rect(0, 0, 200, 100));
    layer->setBackgroundColor(blue.withAlpha(0.3));
    return layer;
  };
  // Only the band around a window shows, as around an effect: a clip of rects.
  const auto banded = [](Layer& root) {
    auto mask = ShapeLayer::make();
    Path band = Path::rect(root.bounds());
    band.addRect(Rect(30, 40, 100, 20));
    mask->setPath(band);
    mask->setFillRule(ShapeLayer::FillRule::evenOdd);
    root.setMask(mask);
  };
  const struct {
    const char* name;
    std::function<void(Layer&)> build;
  } cases[] = {
      {"a vine growing",
       [&](Layer& root) {
         root.addSublayer(faded({still(), growing()}));
       }},
      {"a leaf lighting up",
       [&](Layer& root) {
         root.addSublayer(faded({still(), fading()}));
       }},
      {"a member sliding past the group's edge",
       [&](Layer& root) {
         root.addSublayer(faded({sliding(), still()}));
       }},
      {"a member sliding over the rest",
       [&](Layer& root) {
         root.addSublayer(faded({wash(), sliding(), still()}));
       }},
      {"a group within a group",
       [&](Layer& root) {
         root.addSublayer(faded({still(), faded({growing(), fading()})}));
       }},
      {"in the band around a window",
       [&](Layer& root) {
         banded(root);
         root.addSublayer(faded({still(), growing(), fading()}));
       }},
  };
  const QSize size(200, 100);
  const QRect stillPixels(150, 77, 40, 7);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto scene = Layer::make();
    scene->setFrame(Rect(0, 0, size.width(), size.height()));
    c.build(*scene);
    const auto canvas = [&] {
      QImage image(size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      return image;
    };
    LayerRenderer shown;
    QImage kept = canvas();
    int narrowed = 0;  // frames that left the still member unrepainted
    for (int k = 0; k < 30; ++k) {
      SCOPED_TRACE(k);
      const double t = 0.2 + k / 15.0;
      const QRegion changed = shown.prepare(*scene, t, QSizeF(size));
      narrowed += !changed.intersects(stillPixels);
      repaintOnly(kept, shown, changed);
      LayerRenderer afresh;
      afresh.prepare(*scene, t, QSizeF(size));
      const auto paintedWhole = [&](const LayerRenderer& renderer) {
        QImage image = canvas();
        QPainter p(&image);
        renderer.paint(p, QRegion(QRect(QPoint(0, 0), size)));
        return image;
      };
      const QImage drawn = paintedWhole(afresh);
      ASSERT_EQ(kept, drawn);
      ASSERT_EQ(paintedWhole(shown), drawn);
    }
    EXPECT_GT(narrowed, 20);
  }
}

// Blends reach into the clear columns cached images keep at their sides, out
// to where the target's rows are aligned, and damage tiles start there:
// neither may change a pixel. Swelling, drifting gradients, repainted only
// where reported, show frame for frame on targets whose rows start anywhere
// within 32 bytes the picture a target of rows aligned unlike each other
// shows, and the damage of each starts and ends at its aligned columns.
TEST_F(Renderer, TargetsAlignedAnyWayShowTheSamePictures) {
  const QSize size(304, 200);
  auto scene = Layer::make();
  scene->setFrame(Rect(0, 0, size.width(), size.height()));
  for (int i = 0; i < 30; ++i) {
    auto vapor = GradientLayer::make();
    vapor->setType(GradientLayer::Type::radial);
    vapor->setBounds(Rect(0, 0, 20 + i % 5 * 7, 30 + i % 4 * 9));
    vapor->setColors({Color::calibratedRGB(0.4, 1, 0.1, 0.7), Color::calibratedRGB(0.2, 0.6, 0, 0.3),
                      Color::calibratedRGB(0, 0, 0, 0)});
    vapor->setLocations({0, 0.4, 1});
    vapor->setStartPoint({0.5, 0.4});
    vapor->setEndPoint({1, 1});
    const Point from{12.3 + i * 9.7, 30.0 + i % 3 * 40};
    vapor->setPosition(from);
    vapor->addAnimation(endless("position", from, Point{from.x + 11.3, from.y + 43.7}, 2.1 + i % 5 * 0.3), "drift");
    vapor->addAnimation(endless("transform.scale", 0.65, 1.45, 1.7 + i % 3 * 0.4), "swell");
    vapor->addAnimation(endless("opacity", 0.9, 0.2, 1.3 + i % 4 * 0.2), "fade");
    scene->addSublayer(vapor);
  }
  struct Target {
    int offset = -1;  // pixels past a 32-byte boundary its rows start at; -1: rows aligned unlike each other
    std::vector<uchar> bytes;
    QImage image;
    LayerRenderer renderer;
  };
  std::vector<std::unique_ptr<Target>> targets;
  for (int offset = -1; offset < 8; ++offset) {
    auto target = std::make_unique<Target>();
    target->offset = offset;
    const qsizetype bytesPerLine = size.width() * 4 + (offset < 0 ? 4 : 0);
    target->bytes.assign(static_cast<std::size_t>(bytesPerLine * size.height() + 64), 0);
    uchar* first = target->bytes.data() + (32 - reinterpret_cast<quintptr>(target->bytes.data()) % 32) % 32 +
                   4 * std::max(offset, 0);
    target->image = QImage(first, size.width(), size.height(), bytesPerLine, QImage::Format_ARGB32_Premultiplied);
    targets.push_back(std::move(target));
  }
  for (int k = 0; k < 20; ++k) {
    SCOPED_TRACE(k);
    for (auto& target : targets) {
      const QRegion changed = target->renderer.prepare(*scene, 0.2 + k * 0.13, QSizeF(size));
      for (const QRect& r : changed) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
          std::fill_n(reinterpret_cast<QRgb*>(target->image.scanLine(y)) + r.left(), r.width(), 0);
        }
      }
      target->image.paintEngine()->setSystemClip(changed);
      {
        QPainter p(&target->image);
        target->renderer.paint(p, changed);
      }
      if (target->offset < 0 || k == 0) continue;
      // Tiles start where the target painted on last has its rows aligned (or at its edges).
      const int aligned = (8 - target->offset) % 8;
      const auto onAligned = [&](int x) { return x == 0 || x == size.width() || (x - aligned) % 8 == 0; };
      for (const QRect& r : changed) {
        EXPECT_TRUE(onAligned(r.left()) && onAligned(r.right() + 1)) << "rows offset " << target->offset;
      }
    }
    const QImage& unaligned = targets.front()->image;
    for (const auto& target : targets) {
      int differing = 0;
      for (int y = 0; y < size.height(); ++y) {
        differing += std::memcmp(target->image.constScanLine(y), unaligned.constScanLine(y), size.width() * 4) != 0;
      }
      ASSERT_EQ(differing, 0) << "rows offset " << target->offset;
    }
  }
}

TEST_F(Renderer, ReportsNothingWhereAMaskHidesEverything) {
  root->setMask(squareAround(Rect(20, 20, 60, 60)));
  // Sliding across the hidden middle and out over the band on the right.
  square(Rect(0, 40, 20, 20), red)->addAnimation(endless("position.x", 30.0, 95.0, 1));
  frame(0.6);
  frame(0.8);
  EXPECT_TRUE(damage.intersects(QRect(80, 40, 20, 20)));
  EXPECT_FALSE(damage.intersects(QRect(20, 20, 60, 60)));
}

TEST_F(Renderer, ABreathingOutlineChangesOnlyTheBandAlongItsEdges) {
  auto outline = ShapeLayer::make();
  outline->setFrame(Rect(0, 0, 300, 200));
  outline->setPath(Path::roundedRect(Rect(3, 3, 294, 194), 12, 12));
  outline->setFillColor(std::nullopt);
  outline->setStrokeColor(blue);
  outline->setLineWidth(1.5);
  outline->setShadowColor(blue);
  outline->setShadowOpacity(0.75);
  outline->setShadowRadius(7);
  outline->setShadowOffset({0, 0});
  outline->addAnimation(endless("opacity", 0.25, 0.9, 3.5), "breathe");
  root->setFrame(Rect(0, 0, 300, 200));
  root->addSublayer(outline);
  renderer.prepare(*root, 0.5, QSizeF(300, 200));
  const QRegion changed = renderer.prepare(*root, 1, QSizeF(300, 200));
  EXPECT_TRUE(changed.contains(QPoint(3, 100)));
  EXPECT_TRUE(changed.contains(QPoint(150, 196)));
  // As wide as the glow reaches (half the radius three times over, beyond the line), no wider.
  EXPECT_TRUE(changed.contains(QPoint(11, 100)));
  EXPECT_FALSE(changed.intersects(QRect(0, 0, 300, 200).adjusted(15, 15, -15, -15)));
}

TEST_F(Renderer, ManyChangesMergeIntoAFewTiles) {
  for (int i = 0; i < 40; ++i) {
    auto dot = square(Rect(i * 2, 0, 2, 2), red);
    dot->addAnimation(endless("opacity", 0.0, 1.0, 1));
  }
  frame(0);
  frame(0.5);
  EXPECT_EQ(damage, QRegion(0, 96, 80, 4));  // 40 changed dots, one strip of tiles
}

TEST_F(Renderer, BadNumbersDrawNothingRatherThanGarbage) {
  auto huge = square(Rect(0, 0, 1e12, 1e12), red);
  huge->setOpacity(NAN);
  auto over = square(Rect(40, 40, 10, 10), blue);
  over->setOpacity(7);  // held to 1
  const QImage image = frame(0.5);
  EXPECT_EQ(at(image, 5, 5).alpha(), 0);
  EXPECT_EQ(at(image, 45, 45), QColor(Qt::blue));
}

// A layer placed at a number that is not one, by its model or by an animation,
// is neither drawn nor worth drawing, even where its model would put it.
TEST_F(Renderer, LayersPlacedAtBadNumbersAreNotDrawn) {
  struct Case {
    const char* name;
    std::function<void(Layer&)> spoil;
  };
  const Case cases[] = {
      {"position not a number",
       [](Layer& l) {
         l.setPosition({NAN, 50});
       }},
      {"position infinite",
       [](Layer& l) {
         l.setPosition({50, INFINITY});
       }},
      {"moving to no number", [](Layer& l) { l.addAnimation(endless("position.x", 50.0, NAN, 1)); }},
      {"moving to infinity", [](Layer& l) { l.addAnimation(endless("position.y", 50.0, INFINITY, 1)); }},
      {"sliding by no number", [](Layer& l) { l.addAnimation(endless("transform.translation.x", 0.0, NAN, 1)); }},
      {"turning by no number", [](Layer& l) { l.addAnimation(endless("transform.rotation.z", 0.0, NAN, 1)); }},
      {"scaled to infinity", [](Layer& l) { l.addAnimation(endless("transform.scale", 1.0, INFINITY, 1)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto lost = square(Rect(40, 40, 20, 20), red);
    c.spoil(*lost);
    const int before = renderer.stats().rasterisations;
    EXPECT_EQ(painted(frame(0.5)), 0);
    EXPECT_EQ(renderer.stats().rasterisations, before);
    lost->removeFromSuperlayer();
  }
}

// Within a region of several rects, in one band or in several, each item is
// blended once and in order (the later over the earlier wherever they
// overlap), through its clip, as the whole frame shows it there; nothing is
// drawn outside the region. So too once the item seen through a path is cut to it.
TEST_F(Renderer, PaintsWithinARegionWhatTheWholeFrameShowsThere) {
  root->setMask(squareAround(Rect(45, 45, 10, 10)));
  square(Rect(0, 40, 100, 20), Color::calibratedRGB(1, 0, 0, 0.5));
  square(Rect(20, 10, 30, 80), Color::calibratedRGB(0, 0, 1, 0.6))->setOpacity(0.7);
  auto rounded = square(Rect(35, 25, 40, 50), Color::calibratedRGB(0, 1, 0, 0.5));
  rounded->setCornerRadius(12);
  rounded->setMasksToBounds(true);
  square(Rect(60, 0, 30, 70), Color::calibratedRGB(1, 1, 0, 0.4))->setOpacity(0.5);
  const std::vector<std::pair<const char*, QRegion>> regions{
      {"one rect", QRegion(10, 30, 60, 40)},
      {"rects side by side", QRegion(10, 40, 20, 20) + QRegion(30, 45, 30, 10) + QRegion(70, 40, 10, 20)},
      {"bands above one another", QRegion(0, 0, 50, 30) + QRegion(25, 30, 75, 30) + QRegion(5, 80, 90, 15)},
      {"a frame around a hole", QRegion(0, 0, 100, 100) - QRegion(30, 30, 40, 40)},
  };
  for (const int seen : {1, 2}) {
    const QImage whole = frame(0);
    for (const auto& [name, region] : regions) {
      SCOPED_TRACE(testing::Message() << name << ", frame " << seen);
      QImage image = blank();
      image.paintEngine()->setSystemClip(region);  // as a widget's paint event
      QPainter p(&image);
      renderer.paint(p, region);
      p.end();
      int differing = 0;
      for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
          differing += image.pixel(x, y) != (region.contains(QPoint(x, y)) ? whole.pixel(x, y) : 0);
        }
      }
      EXPECT_EQ(differing, 0);
    }
  }
  // The blue square lies over the red bar, not under it.
  const QColor overlap = at(frame(0), 30, 50);
  EXPECT_GT(overlap.blue(), overlap.red());
}

// Painted through a region of many rects, a frame shows inside it what it
// shows painted whole, each item over the ones before it, and nothing
// outside it: whether items overlap at partial opacities or are seen
// through a mask of rects or of a curve.
TEST_F(Renderer, PaintsTheSameThroughAnyRegion) {
  square(Rect(10, 10, 60, 60), red.withAlpha(0.5));
  square(Rect(40, 40, 50, 50), green.withAlpha(0.6))->setOpacity(0.7);
  const auto masked = [&](std::shared_ptr<Layer> mask, Rect frame, Color color) {
    auto holder = Layer::make();
    holder->setFrame(Rect(0, 0, 100, 100));
    holder->setMask(std::move(mask));
    auto inside = Layer::make();
    inside->setFrame(frame);
    inside->setBackgroundColor(color);
    holder->addSublayer(inside);
    root->addSublayer(holder);
  };
  auto bars = ShapeLayer::make();
  Path twoBars = Path::rect(Rect(20, 0, 15, 100));
  twoBars.addRect(Rect(55, 0, 10, 100));
  bars->setPath(twoBars);
  masked(bars, Rect(0, 30, 100, 20), blue.withAlpha(0.6));
  auto oval = ShapeLayer::make();
  oval->setPath(Path::ellipse(Rect(30, 20, 60, 50)));
  masked(oval, Rect(0, 35, 100, 30), Color::calibratedRGB(1, 1, 0, 0.8));
  square(Rect(45, 25, 40, 60), red.withAlpha(0.3));

  const QImage whole = frame(0);
  const auto tiles = [](int side) {
    QRegion region;
    for (int y = 0; y < 100; y += side) {
      for (int x = (y / side) % 2 * side; x < 100; x += 2 * side) region += QRect(x, y, side, side);
    }
    return region;
  };
  const auto stripes = [](int height) {
    QRegion region;
    for (int y = 0; y < 100; y += 2 * height) region += QRect(0, y, 100, height);
    return region;
  };
  const struct {
    const char* name;
    QRegion region;
  } cases[] = {
      {"all of it", QRegion(0, 0, 100, 100)},
      {"a chequer of small tiles", tiles(7)},
      {"a chequer of large tiles", tiles(32)},
      {"stripes", stripes(5)},
      {"an L", QRegion(0, 0, 30, 100) + QRegion(0, 70, 100, 30)},
      {"a few scattered rects", QRegion(12, 33, 9, 4) + QRegion(47, 41, 30, 25) + QRegion(60, 5, 3, 90)},
  };
  for (const auto& c : cases) {
    QImage image = blank();
    QPainter p(&image);
    renderer.paint(p, c.region);
    p.end();
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) {
        const QRgb expected = c.region.contains(QPoint(x, y)) ? whole.pixel(x, y) : 0;
        ASSERT_EQ(image.pixel(x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(Renderer, BordersLieInsideTheBoundsAboveTheContent) {
  auto layer = square(Rect(20, 20, 60, 60), blue);
  layer->setBorderWidth(4);
  layer->setBorderColor(green);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 21, 50), QColor(Qt::green));  // inside the edge
  EXPECT_EQ(at(image, 78, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::blue));  // the content within
  EXPECT_EQ(at(image, 18, 50).alpha(), 0);         // nothing beyond the bounds
  layer->setBorderColor(green);
  layer->setBorderWidth(45);  // wider than half the layer: the border fills it, leaving no hole
  EXPECT_EQ(at(frame(0), 50, 50), QColor(Qt::green));
  layer->setBorderColor(std::nullopt);
  EXPECT_EQ(at(frame(0), 21, 50), QColor(Qt::blue));
}

// A rounded border of width 4 and radius 20 on (20, 20, 60, 60): each corner's
// band lies between 16 and 20 points from the corner's centre, 20 in from both
// edges; its inner edge is a circle too, not stretched along either side.
TEST_F(Renderer, RoundedBordersFollowTheCornersAtTheirWidth) {
  auto layer = square(Rect(20, 20, 60, 60), blue);
  layer->setCornerRadius(20);
  layer->setBorderWidth(4);
  layer->setBorderColor(green);
  const QImage image = frame(0);
  struct Case {
    const char* name;
    int x, y;
    QColor color;
  };
  const Case cases[] = {
      {"bottom left, in the band", 27, 27, Qt::green},              // 17.7 from the centre
      {"bottom left, within", 30, 30, Qt::blue},                    // 13.4
      {"bottom left, beyond", 24, 24, Qt::transparent},             // 21.9
      {"bottom left, within, off the diagonal", 27, 31, Qt::blue},  // 15.1
      {"top right, within, off the diagonal", 72, 68, Qt::blue},
      {"top left, in the band", 27, 72, Qt::green},
      {"top right, in the band", 72, 72, Qt::green},
      {"bottom right, in the band", 72, 27, Qt::green},
      {"bottom right, within", 69, 30, Qt::blue},
      {"top right, beyond", 75, 75, Qt::transparent},
  };
  for (const auto& c : cases) EXPECT_EQ(at(image, c.x, c.y), c.color) << c.name;
}

// A stroke of no width draws nothing, not a hairline; one of a single point's
// width is drawn; whether cached or drawn every frame.
TEST_F(Renderer, AStrokeOfNoWidthLeavesOnlyTheFill) {
  for (const bool animated : {false, true}) {
    for (const double width : {0.0, 1.0}) {
      SCOPED_TRACE(animated ? "drawn every frame" : "cached");
      SCOPED_TRACE(width);
      auto shape = ShapeLayer::make();
      shape->setPath(Path::rect(Rect(30, 30, 40, 40)));
      shape->setFillColor(blue);
      shape->setStrokeColor(red);
      shape->setLineWidth(width);
      if (animated) shape->addAnimation(endless("fillColor", blue, blue, 1));
      root->addSublayer(shape);
      const QImage image = frame(0.5);
      EXPECT_EQ(at(image, 50, 50), QColor(Qt::blue));
      EXPECT_EQ(at(image, 28, 50).alpha(), 0);
      if (width == 0) {
        EXPECT_EQ(at(image, 30, 50), QColor(Qt::blue));
        EXPECT_EQ(at(image, 69, 50), QColor(Qt::blue));
        EXPECT_EQ(at(image, 29, 50).alpha(), 0);
        EXPECT_EQ(painted(image), 40 * 40);
      } else {
        EXPECT_GT(at(image, 29, 50).red(), 0);  // half a point of stroke outside the fill
        EXPECT_GT(at(image, 30, 50).red(), 0);
      }
      shape->removeFromSuperlayer();
    }
  }
}

TEST_F(Renderer, MasksToBoundsClipsSublayersToTheRoundedBounds) {
  // Opaque, the box's sublayers are drawn on their own; faded, into one image
  // with it. Rounded, the clip is a path; square, a rect.
  for (const double opacity : {1.0, 0.5}) {
    for (const double radius : {20.0, 0.0}) {
      SCOPED_TRACE(testing::Message() << opacity << " " << radius);
      auto box = square(Rect(20, 20, 60, 60), blue);
      box->setCornerRadius(radius);
      box->setOpacity(opacity);
      auto spill = Layer::make();
      spill->setFrame(Rect(-20, -20, 100, 100));  // beyond the box on every side
      spill->setBackgroundColor(red);
      box->addSublayer(spill);
      const int spilled = static_cast<int>(255 * opacity);
      EXPECT_NEAR(at(frame(0), 10, 10).alpha(), spilled, 1);
      box->setMasksToBounds(true);
      const QImage image = frame(0);
      EXPECT_EQ(at(image, 10, 10).alpha(), 0);  // outside the box
      EXPECT_EQ(at(image, 19, 50).alpha(), 0);
      EXPECT_EQ(at(image, 22, 22).alpha(), radius > 0 ? 0 : spilled);  // in the box's corner
      EXPECT_NEAR(at(image, 50, 50).alpha(), spilled, 1);
      EXPECT_GT(at(image, 50, 50).red(), 0);
      EXPECT_NEAR(at(image, 50, 21).alpha(), spilled, 1);
      box->removeFromSuperlayer();
    }
  }
}

TEST_F(Renderer, BoxesSideBySideEachClipTheirOwnSublayers) {
  const auto box = [&](Rect frame, Color color) {
    auto holder = Layer::make();
    holder->setFrame(frame);
    holder->setMasksToBounds(true);
    auto spill = Layer::make();
    spill->setFrame(Rect(-100, -100, 300, 300));  // over the whole picture
    spill->setBackgroundColor(color);
    holder->addSublayer(spill);
    root->addSublayer(holder);
  };
  box(Rect(0, 0, 50, 100), red);
  box(Rect(50, 0, 50, 100), blue);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 25, 50), QColor(Qt::red));
  EXPECT_EQ(at(image, 75, 50), QColor(Qt::blue));
}

TEST_F(Renderer, AFadingImageUnderARoundedMaskLooksTheSameFrameAfterFrame) {
  // From its second frame alike the outline is shown cut to the rounded
  // bounds ahead of time; it must look as when drawn through them.
  root->setCornerRadius(30);
  root->setMasksToBounds(true);
  auto outline = line(Point(0, 8), Point(100, 8), blue, 6);
  outline->setFrame(Rect(0, 0, 100, 100));
  outline->setShadowColor(red);
  outline->setShadowOpacity(1);
  outline->setShadowRadius(8);
  outline->addAnimation(endless("opacity", 0.2, 1.0, 4), "breathe");
  root->addSublayer(outline);
  for (const double t : {0.0, 1.0, 1.0, 2.5}) {
    SCOPED_TRACE(t);
    const QImage shown = frame(t);
    const QImage throughPaths = freshFrame(*root, t);
    EXPECT_EQ(shown, throughPaths);
    EXPECT_EQ(at(shown, 1, 1).alpha(), 0);  // in the rounded corner
    EXPECT_GT(at(shown, 50, 8).alpha(), 0);
  }
}

TEST_F(Renderer, ARootLeftToItsHostDrawsOnlyItsBorderAndSublayers) {
  root->setBackgroundColor(blue);
  root->setShadowOpacity(1);
  root->setBorderWidth(2);
  square(Rect(40, 40, 20, 20), red);
  renderer.setDrawsRootBackdrop(false);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 50, 20).alpha(), 0);
  EXPECT_EQ(at(image, 50, 95).alpha(), 0);  // no shadow under the top border either
  EXPECT_EQ(at(image, 0, 50), QColor(Qt::black));
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
}

TEST_F(Renderer, AFadedContainerFadesItsSublayersAsOneImage) {
  auto container = Layer::make();
  container->setFrame(root->bounds());
  container->setOpacity(0.5);
  container->addSublayer(line({10, 50}, {70, 50}, red, 10));
  container->addSublayer(line({30, 50}, {90, 50}, red, 10));  // overlaps the first from 30 to 70
  root->addSublayer(container);
  const QImage image = frame(0);
  const QColor alone = at(image, 20, 50), overlap = at(image, 50, 50);
  EXPECT_NEAR(alone.alphaF(), 0.5, 0.01);
  EXPECT_EQ(overlap, alone);  // not the darker 75% of two separate fades
  // The one image holds the strokes to their very edges (45 to 55, 10 to 90).
  for (const QPoint edge : {QPoint(20, 54), QPoint(20, 45), QPoint(10, 50), QPoint(89, 50)}) {
    EXPECT_EQ(at(image, edge.x(), edge.y()), alone) << edge.x() << "," << edge.y();
  }
  EXPECT_EQ(at(image, 20, 55).alpha(), 0);
  // A hairline one pixel tall is its whole image.
  auto hairline = Layer::make();
  hairline->setFrame(root->bounds());
  hairline->setOpacity(0.5);
  auto row = Layer::make();
  row->setFrame(Rect(10, 80, 80, 1));
  row->setBackgroundColor(blue);
  hairline->addSublayer(row);
  root->addSublayer(hairline);
  EXPECT_NEAR(at(frame(0), 50, 80).alphaF(), 0.5, 0.01);
  hairline->removeFromSuperlayer();
  // An animated fade keeps the one image and only places it at another opacity.
  container->addAnimation(endless("opacity", 0.2, 0.6, 1));
  const int before = renderer.stats().rasterisations;
  frame(0.25);
  frame(0.5);
  EXPECT_EQ(renderer.stats().rasterisations, before);
  EXPECT_EQ(at(frame(0.5), 50, 50), at(frame(0.5), 20, 50));
}

TEST_F(Renderer, SublayersCastTheirContainersShadow) {
  auto container = Layer::make();
  container->setFrame(root->bounds());
  container->setShadowColor(blue);
  container->setShadowOpacity(1);
  container->setShadowRadius(2);
  container->setShadowOffset({0, -10});  // below
  container->addSublayer(line({20, 50}, {80, 50}, red, 6));
  root->addSublayer(container);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
  EXPECT_GT(at(image, 50, 40).blue(), 200);  // the shadow, 10 points lower
  EXPECT_EQ(at(image, 50, 60).alpha(), 0);   // nothing above
}

TEST_F(Renderer, EndlessShapeMorphsAreDrawnOncePerStepAndReusedBetween) {
  // A bar 10 points thick that swells to 30 and back over 2 seconds a pass.
  morphingBar(Rect(10, 35, 80, 30), TimingFunction::linear());

  EXPECT_EQ(at(frame(0), 50, 58).alpha(), 0);
  EXPECT_EQ(at(frame(1), 50, 58), QColor(Qt::blue));  // halfway: 20 thick, an exact step
  EXPECT_EQ(at(frame(1), 50, 62).alpha(), 0);
  EXPECT_EQ(at(frame(1.1), 50, 61).alpha(), 0);       // still the step at 1 s, not one further on
  EXPECT_EQ(at(frame(2), 50, 64), QColor(Qt::blue));  // swollen
  EXPECT_EQ(renderer.stats().directDraws, 0);
  const int drawn = renderer.stats().rasterisations;
  frame(2.05);  // within the same step
  EXPECT_EQ(renderer.stats().rasterisations, drawn);
  EXPECT_EQ(at(frame(3), 50, 58), QColor(Qt::blue));  // on the way back: the halfway image again
  EXPECT_EQ(at(frame(4), 50, 58).alpha(), 0);
  EXPECT_TRUE(renderer.isAnimating());
}

// Whatever step an endless morph's image is drawn at and reused for, at each
// step it shows exactly the path the layer presents then.
TEST_F(Renderer, EndlessMorphsShowThePresentedPathAtEveryStep) {
  struct Case {
    const char* name;
    double duration;  // 0: the default pass
    bool autoreverses;
    double timeOffset;
    double beginTime = 0;
  };
  const Case cases[] = {
      {"a pass of the default length", 0, false, 0},
      {"forth and back", 2, true, 0},
      {"started part way", 2, false, 0.5},
      {"forth and back, started on the way back", 2, true, 2.75},
      {"forth and back, begun late", 2, true, 0, 0.75},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bar = ShapeLayer::make();
    bar->setPath(Path::rect(Rect(10, 40, 80, 10)));
    bar->setFillColor(blue);
    auto swell = endless("path", Path::rect(Rect(10, 40, 80, 10)), Path::rect(Rect(10, 40, 80, 50)), c.duration);
    swell.autoreverses = c.autoreverses;
    swell.timeOffset = c.timeOffset;
    swell.beginTime = c.beginTime;
    bar->addAnimation(swell, "flow");
    root->addSublayer(bar);
    const double pass = c.duration > 0 ? c.duration : Animation::defaultDuration;
    // Every step in turn, then frames skipping eight steps at a time (to a pass's other end).
    for (int j = 0; j <= 81; ++j) {
      const double t = (j <= 40 ? j : (j - 41) * 8 % 41) * pass / 8;
      auto still = ShapeLayer::make();
      still->setPath(presentation(*bar, t).path);
      still->setFillColor(blue);
      auto alone = Layer::make();
      alone->setFrame(root->frame());
      alone->addSublayer(still);
      const QImage expected = freshFrame(*alone, t);
      EXPECT_EQ(frame(t), expected) << "at " << t;
    }
    EXPECT_EQ(renderer.stats().directDraws, 0);  // staged and cached, never drawn afresh
    bar->removeFromSuperlayer();
  }
}

TEST_F(Renderer, EasedShapeMorphsAreDrawnAtStagesEvenlySpacedInProgress) {
  // A bar whose top rises from 55 to 65, eased in and out over 2 seconds a pass:
  // five stages of progress, a 2-point rise each, where eight steps of time
  // would draw tops in between and barely move near the ends.
  morphingBar(Rect(10, 45, 80, 20), TimingFunction::easeInEaseOut());
  const auto top = [&](double t) {
    const QImage image = frame(t);
    int y = 99;
    while (y >= 0 && at(image, 50, y).alpha() == 0) --y;
    EXPECT_EQ(at(image, 50, y), QColor(Qt::blue)) << t;  // a whole stage: no partly covered row
    return y + 1;
  };
  const struct {
    double t;
    int top;
  } cases[] = {{0.2, 55}, {0.5, 57}, {0.8, 59}, {1.2, 61}, {1.5, 63}, {1.9, 65}, {2.8, 61}, {3.8, 55}};
  for (const auto& c : cases) EXPECT_EQ(top(c.t), c.top) << c.t;
  // Stages count from when the morph was added.
  root->removeAllSublayers();
  AnimationClock::setTimeSource([] { return 0.5; });
  morphingBar(Rect(10, 45, 80, 20), TimingFunction::easeInEaseOut());
  EXPECT_EQ(top(0.7), 55);
  EXPECT_EQ(top(1.0), 57);

  // Each stage is drawn once on the way up and reused until the next.
  renderer.reset();
  const int before = renderer.stats().rasterisations;
  for (int f = 0; f <= 60; ++f) frame(f / 30.0);
  EXPECT_EQ(renderer.stats().rasterisations - before, 6);
}

TEST_F(Renderer, AMorphingLayerThatAlsoMovesMovesEveryFrame) {
  // Staged every quarter second, slid right 40 points a second.
  auto bar = ShapeLayer::make();
  bar->setFrame(Rect(0, 0, 100, 100));
  bar->setPath(Path::rect(Rect(10, 45, 20, 10)));
  bar->setFillColor(blue);
  bar->addAnimation(endless("path", Path::rect(Rect(10, 45, 20, 10)), Path::rect(Rect(10, 35, 20, 30)), 2), "flow");
  bar->addAnimation(endless("position", Point{50, 50}, Point{90, 50}, 1), "slide");
  root->addSublayer(bar);
  const QImage image = frame(0.1);  // the stage of 0 s, moved 4 points
  EXPECT_EQ(at(image, 12, 50).alpha(), 0);
  EXPECT_EQ(at(image, 15, 50), QColor(Qt::blue));
  EXPECT_EQ(at(image, 33, 50), QColor(Qt::blue));
  EXPECT_EQ(at(image, 50, 58).alpha(), 0);  // not yet swollen
}

TEST_F(Renderer, GroupsOfShapesThatOnlyMorphAreDrawnStraightIntoOneImage) {
  // A group of shapes that swell: a wide stroke, one casting a shadow, a
  // filled one faded on its own and a half-pass behind, and a thin stroke
  // drawn on a canvas no wider than itself. However the group is drawn, it
  // must look as when
  // each member is drawn into its own image first (which a second animation
  // on each, changing nothing, forces); only a plain fading group is drawn
  // straight, with fewer images.
  struct Case {
    const char* name;
    std::function<void(Layer&)> style;
    bool straight;
  };
  const Case cases[] = {
      {"fades", [](Layer&) {}, true},
      {"masks to its bounds",
       [](Layer& g) {
         g.setBounds(Rect(0, 0, 60, 100));
         g.setMasksToBounds(true);
       },
       false},
      {"has a mask",
       [](Layer& g) {
         auto mask = Layer::make();
         mask->setFrame(Rect(0, 0, 50, 100));
         mask->setBackgroundColor(blue);
         g.setMask(mask);
       },
       false},
      {"casts a shadow",
       [](Layer& g) {
         g.setShadowColor(green);
         g.setShadowOpacity(1);
         g.setShadowRadius(4);
       },
       false},
  };
  const auto build = [&](const Case& c, bool forcedApart) {
    root->removeAllSublayers();
    renderer.reset();
    auto container = Layer::make();
    container->setFrame(Rect(0, 0, 100, 100));
    container->setAnchorPoint({0, 0});  // narrower bounds keep the left edge where it is
    container->setPosition({0, 0});
    container->setOpacity(0.5);
    c.style(*container);
    const struct {
      double width;
      Color stroke;
      std::optional<Color> fill;
      bool shadow;
      double opacity;
      double behind;
    } members[] = {{14, red.withAlpha(0.5), std::nullopt, false, 1, 0},
                   {6, blue, std::nullopt, true, 1, 0},
                   {3, green, red, false, 0.6, 1},
                   {1.5, green.withAlpha(0.8), std::nullopt, false, 1, 0}};
    for (const auto& m : members) {
      const auto bend = [](double rise) {
        Path path;
        path.moveTo({20, 40});
        path.cubicTo({35, 40 + rise}, {65, 40 + rise}, {80, 40});
        path.close();
        return path;
      };
      auto shape = ShapeLayer::make();
      shape->setPath(bend(10));
      shape->setLineWidth(m.width);
      shape->setStrokeColor(m.stroke);
      shape->setFillColor(m.fill);
      shape->setOpacity(m.opacity);
      if (m.shadow) {
        shape->setShadowColor(blue);
        shape->setShadowOpacity(1);
        shape->setShadowRadius(6);
      }
      auto swell = endless("path", bend(10), bend(40), 2);
      swell.autoreverses = true;
      swell.timingFunction = TimingFunction::easeInEaseOut();
      swell.timeOffset = -m.behind;
      shape->addAnimation(swell, "flow");
      if (forcedApart) shape->addAnimation(endless("opacity", m.opacity, m.opacity, 1), "still");
      container->addSublayer(shape);
    }
    root->addSublayer(container);
  };
  for (const Case& c : cases) {
    for (double t : {0.0, 0.7, 1.3}) {
      build(c, true);
      int before = renderer.stats().rasterisations;
      const QImage apart = frame(t);
      const int apartDrawn = renderer.stats().rasterisations - before;
      build(c, false);
      before = renderer.stats().rasterisations;
      const QImage together = frame(t);
      EXPECT_EQ(renderer.stats().rasterisations - before < apartDrawn, c.straight) << c.name << " " << t;
      int worst = 0;
      for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
          const QRgb a = apart.pixel(x, y), b = together.pixel(x, y);
          worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                            std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
        }
      }
      EXPECT_LE(worst, 1) << c.name << " " << t;
      EXPECT_GT(qAlpha(together.pixel(30, 50)), 0) << c.name << " " << t;  // something was drawn
    }
  }
  // A straight group's image is kept until the next stage, and drawn again there.
  build(cases[0], false);
  frame(1.3);
  const int drawn = renderer.stats().rasterisations;
  const QImage stage = frame(1.31);
  EXPECT_EQ(renderer.stats().rasterisations, drawn);
  EXPECT_NE(frame(1.9), stage);
  EXPECT_TRUE(renderer.isAnimating());
}

// A group of shapes that only morph keeps what it found of its members from
// frame to frame: a change to any of them, or to where the group lies, shows
// at once, as a renderer seeing the group for the first time draws it.
TEST_F(Renderer, AGroupOfMorphingShapesShowsAChangeToAnyMemberAtOnce) {
  const auto bend = [](double rise) {
    Path path;
    path.moveTo({20, 40});
    path.cubicTo({35, 40 + rise}, {65, 40 + rise}, {80, 40});
    return path;
  };
  const auto swelling = [&](Color color, double width) {
    auto shape = ShapeLayer::make();
    shape->setPath(bend(10));
    shape->setStrokeColor(color);
    shape->setLineWidth(width);
    auto swell = endless("path", bend(10), bend(40), 2);
    swell.autoreverses = true;
    shape->addAnimation(swell, "flow");
    return shape;
  };
  struct Case {
    const char* name;
    std::function<void(Layer& holder, Layer& group, Layer& member)> change;
  };
  const Case cases[] = {
      {"a member recoloured", [](Layer&, Layer&, Layer& m) { static_cast<ShapeLayer&>(m).setStrokeColor(green); }},
      {"a member hidden", [](Layer&, Layer&, Layer& m) { m.setHidden(true); }},
      {"a member faded", [](Layer&, Layer&, Layer& m) { m.setOpacity(0.3); }},
      {"a member moved",
       [](Layer&, Layer&, Layer& m) {
         m.setPosition({10, -15});
       }},
      {"a member's morph half a pass behind",
       [&](Layer&, Layer&, Layer& m) {
         auto swell = endless("path", bend(10), bend(40), 2);
         swell.autoreverses = true;
         swell.timeOffset = -1;
         m.addAnimation(swell, "flow");
       }},
      {"a member that no longer morphs", [](Layer&, Layer&, Layer& m) { m.removeAnimation("flow"); }},
      {"a member added", [&](Layer&, Layer& g, Layer&) { g.addSublayer(swelling(red, 2)); }},
      {"the group moved",
       [](Layer&, Layer& g, Layer&) {
         g.setPosition({55, 70});
       }},
      {"the group's superlayer moved",
       [](Layer& h, Layer&, Layer&) {
         h.setPosition({55, 70});
       }},
  };
  for (const Case& c : cases) {
    root->removeAllSublayers();
    renderer.reset();
    auto holder = Layer::make();
    holder->setFrame(Rect(0, 0, 100, 100));
    auto group = Layer::make();
    group->setFrame(Rect(0, 0, 100, 100));
    group->setOpacity(0.5);
    for (const auto& [color, width] : {std::pair{red, 12.0}, std::pair{blue, 4.0}, std::pair{green, 1.5}}) {
      group->addSublayer(swelling(color, width));
    }
    holder->addSublayer(group);
    root->addSublayer(holder);
    frame(0.3);
    frame(0.6);
    c.change(*holder, *group, *group->sublayers()[1]);
    const QImage changed = frame(1.4);
    const QImage seenFirst = freshFrame(*root, 1.4);
    EXPECT_TRUE(changed == seenFirst) << c.name;
  }
}

// In a fading group beside a morphing shape, members that do not only morph
// are drawn whole, their own sublayers included.
TEST_F(Renderer, AFadingGroupWithMoreThanMorphsDrawsEveryMember) {
  const auto morphing = [](Rect from, Rect to, Color color) {
    auto shape = ShapeLayer::make();
    shape->setPath(Path::rect(from));
    shape->setFillColor(color);
    shape->addAnimation(endless("path", Path::rect(from), Path::rect(to), 2), "flow");
    return shape;
  };
  const auto holding = [](std::shared_ptr<Layer> holder, Color color) {
    auto nested = Layer::make();
    nested->setFrame(Rect(20, 60, 20, 20));
    nested->setBackgroundColor(color);
    holder->addSublayer(nested);
    return holder;
  };
  const auto still = [] {
    auto layer = Layer::make();
    layer->setFrame(Rect(0, 0, 100, 100));
    return layer;
  };
  const auto sliding = [&] {
    // Moved 50 points up by a member of an animation group, beside its morph.
    auto shape = morphing(Rect(60, 20, 30, 10), Rect(60, 20, 30, 20), green);
    auto lift = std::make_shared<BasicAnimation>("transform.translation.y");
    lift->fromValue = 50.0;
    lift->toValue = 50.0;
    AnimationGroup group;
    group.animations = {lift};
    group.duration = 1;
    group.repeatCount = Animation::repeatForever;
    shape->addAnimation(group, "lift");
    return shape;
  };
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Layer>()> second;
    QPoint shown;  // where the second member shows green
  };
  const Case cases[] = {
      {"a still layer holding another", [&] { return holding(still(), green); }, {30, 70}},
      {"a morphing shape holding another",
       [&] { return holding(morphing(Rect(60, 20, 30, 10), Rect(60, 20, 30, 20), red), green); },
       {30, 70}},
      {"a morphing shape that also moves", sliding, {75, 75}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto container = Layer::make();
    container->setFrame(root->bounds());
    container->setOpacity(0.5);
    container->addSublayer(morphing(Rect(10, 10, 40, 10), Rect(10, 10, 40, 20), blue));
    container->addSublayer(c.second());
    root->addSublayer(container);
    const QImage image = frame(0);
    for (const auto& [x, y, color] :
         {std::tuple{30, 15, QColor(Qt::blue)}, std::tuple{c.shown.x(), c.shown.y(), QColor(Qt::green)}}) {
      const QColor got = at(image, x, y);
      EXPECT_NEAR(got.alphaF(), 0.5, 0.01) << x << "," << y;
      EXPECT_EQ(got.rgb(), color.rgb()) << x << "," << y;
    }
    container->removeFromSuperlayer();
  }
}

TEST_F(Renderer, OnlyFaintShapesAreDrawnWithoutAntialiasing) {
  struct Case {
    const char* name;
    double alpha;
    bool filled;        // a filled disc, else a slanted stroke
    bool onBackground;  // the shape's layer also has a rounded background of the same colour
    bool antialiased;
  };
  const Case cases[] = {
      {"faint stroke", 0.05, false, false, false},
      {"faint fill", 0.08, true, false, false},
      {"stronger stroke", 0.2, false, false, true},
      {"stronger fill", 0.5, true, false, true},
      {"faint stroke on a background", 0.05, false, true, true},
  };
  for (const Case& c : cases) {
    root->removeAllSublayers();
    renderer.reset();
    const Color color = Color::calibratedRGB(1, 1, 1, c.alpha);
    std::shared_ptr<ShapeLayer> shape;
    if (c.filled) {
      shape = ShapeLayer::make();
      shape->setPath(Path::ellipse(Rect(20, 20, 60, 60)));
      shape->setFillColor(color);
    } else {
      shape = line({10, 20}, {90, 70}, color, 6);
      shape->setFillColor(std::nullopt);  // not the opaque black a shape fills with unless told
    }
    if (c.onBackground) {
      shape->setFrame(Rect(0, 0, 100, 100));
      shape->setBackgroundColor(color);
      shape->setCornerRadius(30);
    }
    root->addSublayer(shape);
    const QImage image = frame(0);
    // Only an antialiased edge paints a pixel partly: fainter than the colour itself.
    const int whole = qRound(c.alpha * 255);
    bool partly = false;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int a = qAlpha(image.pixel(x, y));
        partly = partly || (a > 0 && a < whole);
      }
    }
    EXPECT_EQ(partly, c.antialiased) << c.name;
  }
}

TEST_F(Renderer, AShapeWithAnEmptyPathDrawsNothing) {
  auto shape = ShapeLayer::make();
  shape->setFrame(Rect(0, 0, 100, 100));
  shape->setFillColor(red);
  shape->setStrokeColor(blue);
  shape->setLineWidth(4);
  shape->setShadowOpacity(1);
  root->addSublayer(shape);
  const QImage image = frame(0);
  EXPECT_EQ(renderer.stats().rasterisations, 0);
  EXPECT_EQ(renderer.stats().composited, 0);
  EXPECT_EQ(at(image, 50, 50).alpha(), 0);
}

TEST_F(Renderer, ASubpixelMoveRedrawsAStillLayerButNotATurningOne) {
  auto still = square(Rect(10, 10, 20, 20), red);
  frame(0);
  still->setPosition({20.5, 20});  // half a pixel right: its edges fall mid-pixel
  const QImage moved = frame(0);
  EXPECT_EQ(renderer.stats().rasterisations, 2);
  EXPECT_NEAR(at(moved, 10, 20).alpha(), 128, 10);
  EXPECT_NEAR(at(moved, 30, 20).alpha(), 128, 10);
  EXPECT_EQ(at(moved, 20, 20), QColor(Qt::red));
  still->setPosition({21, 20});  // a whole pixel on from the first: the first image again would do, the half one not
  EXPECT_EQ(at(frame(0), 10, 20).alpha(), 0);
  still->setPosition({20.25, 20});
  EXPECT_NEAR(at(frame(0), 10, 20).alpha(), 191, 10);
  still->setPosition({20.75, 20});  // half a pixel on: drawn again, not the quarter image moved
  EXPECT_NEAR(at(frame(0), 10, 20).alpha(), 64, 10);
  still->setPosition({20, 20.25});  // the same upwards
  EXPECT_NEAR(at(frame(0), 20, 10).alpha(), 191, 10);
  still->setPosition({20, 20.75});
  EXPECT_NEAR(at(frame(0), 20, 10).alpha(), 64, 10);

  // Turning slowly while gliding by fractions of a pixel: drawn once per step of the turn, not per frame.
  auto spinning = square(Rect(60, 60, 20, 20), green);
  spinning->addAnimation(endless("transform.rotation.z", 0.0, 0.2, 10));
  spinning->addAnimation(endless("position", Point{70, 70}, Point{77.3, 70}, 1));
  const int before = renderer.stats().rasterisations;
  for (int i = 0; i < 30; ++i) frame(i / 30.0);
  EXPECT_LE(renderer.stats().rasterisations - before, 3);
}

TEST_F(Renderer, LayersCoverTheirWholeFrameToTheEdgePixels) {
  square(Rect(10, 10, 20, 20), red);
  const QImage image = frame(0);
  const struct {
    int x, y;
    bool covered;
  } cases[] = {{10, 10, true}, {29, 29, true},  {10, 29, true}, {29, 10, true},
               {9, 20, false}, {30, 20, false}, {20, 9, false}, {20, 30, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(at(image, c.x, c.y).alpha() == 255, c.covered) << c.x << "," << c.y;
    EXPECT_EQ(at(image, c.x, c.y).alpha() == 0, !c.covered) << c.x << "," << c.y;
  }
}

TEST_F(Renderer, ContentsImagesFillTheirFrameOnce) {
  QImage picture(2, 1, QImage::Format_ARGB32_Premultiplied);
  picture.setPixelColor(0, 0, Qt::red);
  picture.setPixelColor(1, 0, Qt::blue);
  auto sprite = Layer::make();
  sprite->setFrame(Rect(20, 0, 40, 20));
  sprite->setContents(picture);
  root->addSublayer(sprite);
  const QImage image = frame(0);
  EXPECT_GT(at(image, 24, 10).red(), 200);
  EXPECT_GT(at(image, 55, 10).blue(), 200);
  EXPECT_EQ(at(image, 70, 10).alpha(), 0);
  // Edge to edge of the frame, not a pixel beyond.
  EXPECT_EQ(at(image, 20, 0).alpha(), 255);
  EXPECT_EQ(at(image, 59, 19).alpha(), 255);
  EXPECT_EQ(at(image, 19, 10).alpha(), 0);
  EXPECT_EQ(at(image, 60, 10).alpha(), 0);
  EXPECT_EQ(at(image, 40, 20).alpha(), 0);
}

TEST_F(Renderer, APlainMaskClipsToItsRoundedBounds) {
  square(Rect(0, 0, 100, 100), green);
  auto mask = Layer::make();
  mask->setFrame(Rect(0, 0, 50, 100));
  mask->setCornerRadius(10);
  root->setMask(mask);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 25, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 75, 50).alpha(), 0);
  EXPECT_EQ(at(image, 0, 99).alpha(), 0);  // the rounded corner
}

// A container's shadow is the one its picture would cast as a single layer,
// soft tail and all (a wide blur, worked out at half resolution on another
// grid, to within a few levels).
TEST_F(Renderer, AContainersShadowMatchesALayersOwn) {
  for (const double radius : {5.0, 8.0}) {
    SCOPED_TRACE(radius);
    const auto shadowed = [&](Layer& l) {
      l.setShadowOpacity(1);
      l.setShadowRadius(radius);
      l.setShadowOffset({3, -4});
    };
    auto single = square(Rect(30, 30, 40, 40), red);
    shadowed(*single);
    const QImage alone = frame(0);
    single->removeFromSuperlayer();
    auto container = square(Rect(30, 30, 40, 40), red);
    shadowed(*container);
    auto inner = Layer::make();
    inner->setFrame(Rect(10, 10, 20, 20));
    inner->setBackgroundColor(red);
    container->addSublayer(inner);
    const QImage grouped = frame(0);
    int worst = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) {
        worst = std::max(worst, std::abs(qAlpha(grouped.pixel(x, y)) - qAlpha(alone.pixel(x, y))));
      }
    }
    EXPECT_LE(worst, radius < 6 ? 0 : 3);
    container->removeFromSuperlayer();
  }
}

// A shadowed layer that gains a sublayer casts one shadow for both, drawn as a
// renderer that never saw it alone would draw it: not a shadow of its shadow.
TEST_F(Renderer, ALayerThatBecomesAGroupCastsItsShadowOnce) {
  auto box = square(Rect(30, 30, 30, 30), red);
  box->setShadowOpacity(1);
  box->setShadowRadius(4);
  box->setShadowOffset({6, -6});
  frame(0);
  auto inner = Layer::make();
  inner->setFrame(Rect(5, 5, 10, 10));
  inner->setBackgroundColor(blue);
  box->addSublayer(inner);
  const QImage expected = freshFrame(*root, 0);
  EXPECT_EQ(frame(0), expected);
}

TEST_F(Renderer, AShadowedContainerCastsOneShadowForItselfAndItsSublayers) {
  auto container = square(Rect(20, 40, 20, 20), red);
  container->setShadowOpacity(1);
  container->setShadowRadius(0);
  container->setShadowOffset({10, 0});
  auto inner = Layer::make();
  inner->setFrame(Rect(0, 0, 5, 5));
  inner->setBackgroundColor(blue);
  container->addSublayer(inner);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 30, 50), QColor(Qt::red));
  EXPECT_GT(at(image, 45, 50).alpha(), 200);  // the shadow, 10 points right
  EXPECT_EQ(at(image, 55, 50).alpha(), 0);    // and no shadow of a shadow beyond it
}

TEST_F(Renderer, AGlowingGroupMovedWholeIsPlacedAgainUntilAMaskCutsIt) {
  enum class Mask { rects, path, none };
  for (const Mask kind : {Mask::rects, Mask::path, Mask::none}) {
    SCOPED_TRACE(kind == Mask::rects ? "mask of rects" : kind == Mask::path ? "mask of a path" : "no mask");
    auto mask = ShapeLayer::make();
    mask->setPath(kind == Mask::rects ? Path::rect(Rect(0, 0, 60, 100)) : Path::ellipse(Rect(-40, -10, 100, 120)));
    root->setMask(kind == Mask::none ? nullptr : mask);
    auto glowing = square(Rect(10, 40, 10, 10), red);
    glowing->setShadowOpacity(1);
    glowing->setShadowRadius(4);
    auto inner = Layer::make();
    inner->setFrame(Rect(2, 2, 5, 5));
    inner->setBackgroundColor(blue);
    glowing->addSublayer(inner);
    glowing->addAnimation(endless("opacity", 0.3, 0.9, 1));
    glowing->addAnimation(endless("position", Point{15, 45}, Point{85, 45}, 7));  // a point every 0.1 s
    const auto afresh = [&](double t) {
      LayerRenderer first;
      first.prepare(*root, t, QSizeF(100, 100));
      QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter p(&image);
      first.paint(p, QRegion(0, 0, 100, 100));
      return image;
    };
    frame(0);
    const int composed = renderer.stats().rasterisations;
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(frame(k / 10.0), afresh(k / 10.0)) << k;
    EXPECT_EQ(renderer.stats().rasterisations, composed);  // well inside the mask: only moved
    for (int k = 11; k <= 50; ++k) EXPECT_EQ(frame(k / 10.0), afresh(k / 10.0)) << k;  // across its edge
    if (kind == Mask::none) {
      EXPECT_EQ(renderer.stats().rasterisations, composed);  // nothing to cut it
    } else {
      EXPECT_GT(renderer.stats().rasterisations, composed);
    }
    glowing->removeFromSuperlayer();
  }
}

TEST_F(Renderer, ABoundsOriginShiftsWhereSublayersLand) {
  auto host = Layer::make();
  host->setBounds(Rect(10, 10, 20, 20));
  host->setPosition({50, 50});  // the frame runs 40 to 60; local (10, 10) is its corner
  auto corner = Layer::make();
  corner->setFrame(Rect(10, 10, 5, 5));
  corner->setBackgroundColor(red);
  host->addSublayer(corner);
  root->addSublayer(host);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 42, 42), QColor(Qt::red));
  EXPECT_EQ(at(image, 62, 62).alpha(), 0);
}

TEST_F(Renderer, EveryLayerIsDrawnOnAClearCanvasWhateverWasDrawnBefore) {
  // A small layer shares one canvas with every small layer drawn before it; a
  // large one gets its own. Either way the corners its rounding leaves out stay clear.
  const struct { double side; } cases[] = {{30}, {600}};
  for (const auto& c : cases) {
    auto before = square(Rect(0, 0, 100, 100), red);
    frame(0);
    root->removeAllSublayers();
    LayerRenderer fresh;
    auto rounded = square(Rect(10, 10, c.side, c.side), green);
    rounded->setCornerRadius(12);
    fresh.prepare(*root, 0, QSizeF(100, 100));
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    fresh.paint(p, QRegion(0, 0, 100, 100));
    p.end();
    EXPECT_EQ(at(image, 10, 10).alpha(), 0) << c.side;
    EXPECT_EQ(at(image, 11, 11).alpha(), 0) << c.side;
    EXPECT_EQ(at(image, 30, 30), QColor(Qt::green)) << c.side;
    root->removeAllSublayers();
  }
}

TEST_F(Renderer, AStillLayerIsDrawnAgainWhenItsScaleOrTurnChanges) {
  // Set on the model, not animated: the cached image no longer fits the
  // layer's shape on screen and must be drawn anew, at the new shape.
  const struct {
    Transform transform;
    Point covered;                   // inside the new shape, outside the old square
    std::optional<Point> uncovered;  // inside the old square, outside the new shape
  } cases[] = {{Transform::makeScale(2, 2), {33, 33}, std::nullopt},
               {Transform::makeRotation(std::numbers::pi / 4), {25, 30}, Point{20, 20}}};
  for (const auto& c : cases) {
    auto layer = square(Rect(20, 20, 10, 10), red);
    frame(0);
    const int before = renderer.stats().rasterisations;
    layer->setTransform(c.transform);
    const QImage image = frame(0);
    EXPECT_EQ(renderer.stats().rasterisations, before + 1);
    EXPECT_EQ(at(image, static_cast<int>(c.covered.x), static_cast<int>(c.covered.y)), QColor(Qt::red));
    if (c.uncovered) {
      EXPECT_EQ(at(image, static_cast<int>(c.uncovered->x), static_cast<int>(c.uncovered->y)).alpha(), 0);
    }
    root->removeAllSublayers();
  }
}

// A layer that is only its contents image, drawn again at each step of an
// animated scale, shows every pixel that the same image shows when the scale
// is the model's, up to rounding: none of its smoothed edge is cut away.
TEST_F(Renderer, AnImageRedrawnAtAScaleStepShowsAllOfIt) {
  // A solid block inside a transparent margin, one corner pixel at the very edge.
  const auto picture = [](QImage::Format format) {
    QImage image(12, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 2; y < 6; ++y) {
      for (int x = 3; x < 9; ++x) image.setPixelColor(x, y, QColor(255, 140, 0));
    }
    image.setPixelColor(11, 7, Qt::white);
    return image.convertToFormat(format);
  };
  const struct {
    const char* name;
    double scale;
    QImage::Format format;
    std::optional<Color> background;  // drawn under it, all over the frame
  } cases[] = {
      {"shrunk a lot", 0.25, QImage::Format_ARGB32_Premultiplied, std::nullopt},
      {"near its size", 1.125, QImage::Format_ARGB32_Premultiplied, std::nullopt},
      {"four times larger", 4.0, QImage::Format_ARGB32_Premultiplied, std::nullopt},
      {"straight alpha", 2.0, QImage::Format_ARGB32, std::nullopt},
      {"no alpha channel", 2.0, QImage::Format_RGB888, std::nullopt},
      {"over a background", 2.0, QImage::Format_ARGB32_Premultiplied, blue},
  };
  const auto shown = [&](QImage contents, double scale, bool animated, std::optional<Color> background = {}) {
    root->removeAllSublayers();
    renderer.reset();
    auto sprite = Layer::make();
    sprite->setFrame(Rect(30.3, 40.6, 24, 16));
    sprite->setContents(contents);
    sprite->setBackgroundColor(background);
    if (animated) {
      sprite->addAnimation(endless("transform.scale", scale, scale, 1));
    } else {
      sprite->setTransform(Transform::makeScale(scale, scale));
    }
    root->addSublayer(sprite);
    return frame(0.5);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage still = shown(picture(c.format), c.scale, false, c.background);
    const QImage stepped = shown(picture(c.format), c.scale, true, c.background);
    EXPECT_EQ(painted(stepped), painted(still));
    int largest = 0;
    for (int y = 0; y < still.height(); ++y) {
      for (int x = 0; x < still.width(); ++x) {
        const QRgb a = still.pixel(x, y), b = stepped.pixel(x, y);
        largest = std::max({largest, std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b)),
                            std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
      }
    }
    EXPECT_LE(largest, 1);
  }
  // Wholly transparent, it shows nothing and changes nothing as it grows.
  QImage clear(6, 6, QImage::Format_ARGB32_Premultiplied);
  clear.fill(Qt::transparent);
  EXPECT_EQ(painted(shown(clear, 2.0, true)), 0);
  root->sublayers().front()->addAnimation(endless("transform.scale", 2.0, 4.0, 1));
  frame(0.5);
  EXPECT_TRUE(damage.isEmpty());
}

// A layer with no animations, in a container whose placement did not change,
// is placed as it was last frame without being evaluated again: every change
// to it, to what holds it or to its neighbours still shows on the next frame.
TEST_F(Renderer, AStillLayerPlacedAsLastFrameShowsEveryChange) {
  struct Scene {
    std::shared_ptr<Layer> container, still, neighbour;
  };
  const auto plain = [](Rect frame, Color color) {
    auto layer = Layer::make();
    layer->setFrame(frame);
    layer->setBackgroundColor(color);
    return layer;
  };
  const struct {
    const char* name;
    std::function<void(const Scene&)> change;
    Point seen;       // where the change shows, y up
    QColor expected;  // what shows there after it
  } cases[] = {
      {"its colour", [](const Scene& s) { s.still->setBackgroundColor(green); }, {45, 45}, Qt::green},
      {"its position",
       [](const Scene& s) {
         s.still->setPosition({65, 65});
       },
       {65, 65},
       Qt::red},
      {"its opacity", [](const Scene& s) { s.still->setOpacity(0); }, {45, 45}, Qt::transparent},
      {"hidden", [](const Scene& s) { s.still->setHidden(true); }, {45, 45}, Qt::transparent},
      {"scaled", [](const Scene& s) { s.still->setTransform(Transform::makeScale(2, 2)); }, {33, 45}, Qt::red},
      {"animated",
       [](const Scene& s) {
         s.still->addAnimation(endless("position", Point{65, 65}, Point{65, 65}, 1));
       },
       {65, 65},
       Qt::red},
      {"given a sublayer",
       [&](const Scene& s) { s.still->addSublayer(plain(Rect(0, 0, 5, 5), green)); },
       {42, 42},
       Qt::green},
      {"raised over its neighbour", [](const Scene& s) { s.container->addSublayer(s.still); }, {52, 52}, Qt::red},
      {"its neighbour removed", [](const Scene& s) { s.neighbour->removeFromSuperlayer(); }, {52, 52}, Qt::red},
      {"its container moved",
       [](const Scene& s) {
         s.container->setPosition({30, 30});
       },
       {25, 25},
       Qt::red},
      {"clipping its sublayers",
       [&](const Scene& s) {
         s.still->setMasksToBounds(true);
         s.still->addSublayer(plain(Rect(-10, -10, 5, 5), green));
       },
       {32, 32},
       Qt::transparent},
      {"masked", [&](const Scene& s) { s.still->setMask(plain(Rect(0, 0, 5, 5), red)); }, {45, 45}, Qt::transparent},
      {"its container animated",
       [](const Scene& s) {
         s.container->addAnimation(endless("position", Point{30, 30}, Point{30, 30}, 1));
       },
       {25, 25},
       Qt::red},
      {"its container scaled",
       [](const Scene& s) { s.container->setTransform(Transform::makeScale(1.5, 1.5)); },
       {37, 37},
       Qt::red},
      {"its container masked",
       [&](const Scene& s) { s.container->setMask(plain(Rect(0, 0, 44, 44), red)); },
       {46, 46},
       Qt::transparent},
      {"the root faded", [this](const Scene&) { root->setOpacity(0.5); }, {45, 45}, QColor(255, 0, 0, 128)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    root->setOpacity(1);
    auto container = Layer::make();
    container->setFrame(Rect(0, 0, 100, 100));
    root->addSublayer(container);
    const Scene scene{container, Layer::make(), Layer::make()};
    scene.still->setFrame(Rect(40, 40, 15, 15));
    scene.still->setBackgroundColor(red);
    container->addSublayer(scene.still);
    scene.neighbour->setFrame(Rect(50, 50, 10, 10));
    scene.neighbour->setBackgroundColor(blue);
    container->addSublayer(scene.neighbour);
    frame(0);
    const QImage before = frame(0);
    ASSERT_EQ(at(before, 45, 45), QColor(Qt::red));
    ASSERT_EQ(at(before, 52, 52), QColor(Qt::blue));
    c.change(scene);
    for (const int next : {1, 2}) {  // as evaluated, then as placed from the memo
      SCOPED_TRACE(next);
      const QColor shown = at(frame(0), static_cast<int>(c.seen.x), static_cast<int>(c.seen.y));
      EXPECT_NEAR(shown.alpha(), c.expected.alpha(), 1);
      if (c.expected.alpha() > 0) {
        EXPECT_EQ(shown.red() > 0, c.expected.red() > 0);
        EXPECT_EQ(shown.green() > 0, c.expected.green() > 0);
        EXPECT_EQ(shown.blue() > 0, c.expected.blue() > 0);
      }
    }
    container->removeFromSuperlayer();
  }
}

// The root's backdrop is left to the host; a layer drawn before as a sublayer
// and now as the root (or the other way round) is drawn as what it is now.
TEST_F(Renderer, ALayerThatBecomesTheRootOrStopsBeingItIsDrawnAsWhatItIsNow) {
  renderer.setDrawsRootBackdrop(false);
  const auto outer = root;
  const auto inner = square(Rect(0, 0, 100, 100), red);
  for (const bool innerFirst : {false, true}) {
    SCOPED_TRACE(innerFirst);
    renderer.reset();
    for (const bool innerIsRoot : {innerFirst, innerFirst, !innerFirst, !innerFirst}) {
      root = innerIsRoot ? inner : outer;
      EXPECT_EQ(at(frame(0), 50, 50).alpha(), innerIsRoot ? 0 : 255);
    }
  }
  root = outer;
}

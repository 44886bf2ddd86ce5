#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/LayerContent.h"
#include "platform/gfx/LayerRenderer.h"
#include "platform/gfx/ShadowBlur.h"
#include "platform/gfx/ShapeLayer.h"

#include <gtest/gtest.h>

#include <numbers>
#include <optional>

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
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.paint(p, QRegion(0, 0, 100, 100));
    return image;
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

TEST_F(Renderer, AnchorRotationAndOpacity) {
  auto bar = square(Rect(0, 0, 40, 10), green);
  bar->setAnchorPoint({0, 0.5});
  bar->setPosition({50, 50});
  bar->setTransform(Transform::makeRotation(std::numbers::pi / 2));  // turns about its left end, upwards
  bar->setOpacity(0.5);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 50, 80).green(), 255);
  EXPECT_NEAR(at(image, 50, 80).alpha(), 128, 1);
  EXPECT_EQ(at(image, 70, 50).alpha(), 0);
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
  EXPECT_FALSE(changed.intersects(QRect(50, 50, 200, 100)));
}

TEST_F(Renderer, ManyChangesMergeIntoAFewTiles) {
  for (int i = 0; i < 40; ++i) {
    auto dot = square(Rect(i * 2, 0, 2, 2), red);
    dot->addAnimation(endless("opacity", 0.0, 1.0, 1));
  }
  frame(0);
  frame(0.5);
  EXPECT_EQ(damage, QRegion(0, 96, 96, 4));  // 40 changed dots, one strip of tiles
}

TEST_F(Renderer, BadNumbersDrawNothingRatherThanGarbage) {
  auto lost = square(Rect(0, 0, 10, 10), red);
  lost->setPosition({NAN, 5});
  auto huge = square(Rect(0, 0, 1e12, 1e12), red);
  huge->setOpacity(NAN);
  auto over = square(Rect(40, 40, 10, 10), blue);
  over->setOpacity(7);  // held to 1
  auto runaway = square(Rect(60, 60, 10, 10), green);
  runaway->addAnimation(endless("position.x", 0.0, INFINITY, 1));
  const QImage image = frame(0.5);
  EXPECT_EQ(at(image, 5, 5).alpha(), 0);
  EXPECT_EQ(at(image, 45, 45), QColor(Qt::blue));
}

TEST_F(Renderer, PaintsEachPartOfARegionOnceAndNothingBeyond) {
  square(Rect(0, 40, 100, 20), Color::calibratedRGB(1, 0, 0, 0.5));
  renderer.prepare(*root, 0, QSizeF(100, 100));
  QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  // Two parts side by side (y down): half-transparent red blended once in each.
  renderer.paint(p, QRegion(10, 40, 20, 20) + QRegion(30, 45, 30, 10) + QRegion(70, 40, 10, 20));
  p.end();
  EXPECT_EQ(at(image, 15, 50).alpha(), 128);
  EXPECT_EQ(at(image, 35, 50).alpha(), 128);
  EXPECT_EQ(at(image, 75, 50).alpha(), 128);
  EXPECT_EQ(at(image, 65, 50).alpha(), 0);
  EXPECT_EQ(at(image, 5, 50).alpha(), 0);
}

TEST_F(Renderer, BordersLieInsideTheBoundsAboveTheContent) {
  auto layer = square(Rect(20, 20, 60, 60), blue);
  layer->setBorderWidth(4);
  layer->setBorderColor(green);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 21, 50), QColor(Qt::green));   // inside the edge
  EXPECT_EQ(at(image, 78, 50), QColor(Qt::green));
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::blue));    // the content within
  EXPECT_EQ(at(image, 18, 50).alpha(), 0);           // nothing beyond the bounds
  layer->setBorderColor(std::nullopt);
  EXPECT_EQ(at(frame(0), 21, 50), QColor(Qt::blue));
}

TEST_F(Renderer, MasksToBoundsClipsSublayersToTheRoundedBounds) {
  auto box = square(Rect(20, 20, 60, 60), blue);
  box->setCornerRadius(20);
  auto spill = Layer::make();
  spill->setFrame(Rect(-20, -20, 100, 100));  // beyond the box on every side
  spill->setBackgroundColor(red);
  box->addSublayer(spill);
  EXPECT_EQ(at(frame(0), 10, 10), QColor(Qt::red));
  box->setMasksToBounds(true);
  const QImage image = frame(0);
  EXPECT_EQ(at(image, 10, 10).alpha(), 0);  // outside the box
  EXPECT_EQ(at(image, 22, 22).alpha(), 0);  // in the box's rounded corner
  EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
  EXPECT_EQ(at(image, 50, 21), QColor(Qt::red));
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
  EXPECT_EQ(at(image, 50, 60).alpha(), 0);  // nothing above
}

TEST_F(Renderer, EndlessShapeMorphsAreDrawnOncePerStepAndReusedBetween) {
  // A bar 10 points thick that swells to 30 and back over 2 seconds a pass.
  morphingBar(Rect(10, 35, 80, 30), TimingFunction::linear());

  EXPECT_EQ(at(frame(0), 50, 58).alpha(), 0);
  EXPECT_EQ(at(frame(1), 50, 58), QColor(Qt::blue));  // halfway: 20 thick, an exact step
  EXPECT_EQ(at(frame(1), 50, 62).alpha(), 0);
  EXPECT_EQ(at(frame(1.1), 50, 61).alpha(), 0);  // still the step at 1 s, not one further on
  EXPECT_EQ(at(frame(2), 50, 64), QColor(Qt::blue));  // swollen
  EXPECT_EQ(renderer.stats().directDraws, 0);
  const int drawn = renderer.stats().rasterisations;
  frame(2.05);  // within the same step
  EXPECT_EQ(renderer.stats().rasterisations, drawn);
  EXPECT_EQ(at(frame(3), 50, 58), QColor(Qt::blue));  // on the way back: the halfway image again
  EXPECT_EQ(at(frame(4), 50, 58).alpha(), 0);
  EXPECT_TRUE(renderer.isAnimating());
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
  // A group of three shapes that swell together: a wide stroke, one casting a
  // shadow and a filled one faded on its own. However the group is drawn, it
  // must look as when each member is drawn into its own image first (which a
  // second animation on each, changing nothing, forces); only a plain fading
  // group is drawn straight, with fewer images.
  struct Case {
    const char* name;
    std::function<void(Layer&)> style;
    bool straight;
  };
  const Case cases[] = {
      {"fades", [](Layer&) {}, true},
      {"masks to its bounds", [](Layer& g) { g.setBounds(Rect(0, 0, 60, 100)); g.setMasksToBounds(true); }, false},
      {"has a mask", [](Layer& g) {
         auto mask = Layer::make();
         mask->setFrame(Rect(0, 0, 50, 100));
         mask->setBackgroundColor(blue);
         g.setMask(mask);
       }, false},
      {"casts a shadow", [](Layer& g) { g.setShadowColor(green); g.setShadowOpacity(1); g.setShadowRadius(4); }, false},
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
    } members[] = {{14, red.withAlpha(0.5), std::nullopt, false, 1},
                   {6, blue, std::nullopt, true, 1},
                   {3, green, red, false, 0.6}};
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

TEST(LayerContentBounds, HoldWhatIsDrawnNotTheWholeLayer) {
  auto shape = line({10, 10}, {30, 10}, red, 2);
  shape->setFrame(Rect(0, 0, 200, 200));  // bounds far larger than the line, with no background
  LayerContent content = LayerContent::of(*shape, modelPresentation(*shape));
  EXPECT_FALSE(content.localBounds().contains(QPointF(150, 150)));
  // Outlined, a stroke is held tightly rather than by its longest possible miter.
  EXPECT_GT(content.localBounds().height(), 12);
  EXPECT_FALSE(content.hasShadow());  // a shadow of opacity 0 is none
  content.outlineStroke();
  EXPECT_LE(content.localBounds().height(), 5);
  EXPECT_TRUE(content.localBounds().contains(QRectF(10, 9, 20, 2)));
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
        EXPECT_EQ(shadow.pixelColor(i, middle), shadow.pixelColor(size - 1 - i, middle)) << size << " " << sigma << " " << i;
        EXPECT_EQ(shadow.pixelColor(middle, i), shadow.pixelColor(middle, size - 1 - i)) << size << " " << sigma << " " << i;
      }
      EXPECT_LT(shadow.pixelColor(0, middle).alpha(), shadow.pixelColor(middle, middle).alpha());  // blurred off the edge
    }
  }
  QImage field(30, 30, QImage::Format_ARGB32_Premultiplied);
  field.fill(QColor(0, 0, 0, 128));
  EXPECT_EQ(shadowImage(field, QPointF(0, 0), 1.5, Qt::red).pixelColor(15, 15), QColor(255, 0, 0, 128));
}

TEST(LayerContentVisibility, OnlyWhatWouldLeaveAMarkIsDrawn) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Layer>()> make;
    bool visible;
    bool shadow;
  };
  const Color clear = Color::calibratedRGB(1, 0, 0, 0);
  const auto shape = [](Path path, std::function<void(ShapeLayer&)> style) {
    auto s = ShapeLayer::make();
    s->setFrame(Rect(0, 0, 20, 20));
    s->setPath(path);
    style(*s);
    return std::shared_ptr<Layer>(s);
  };
  const auto plain = [](std::function<void(Layer&)> style) {
    auto l = Layer::make();
    l->setFrame(Rect(0, 0, 20, 20));
    style(*l);
    return l;
  };
  const Path box = Path::rect(Rect(2, 2, 10, 10));
  const Case cases[] = {
      {"a filled path", [&] { return shape(box, [](ShapeLayer& s) { s.setFillColor(red); }); }, true, false},
      {"a filled empty path", [&] { return shape(Path(), [](ShapeLayer& s) { s.setFillColor(red); }); }, false, false},
      {"a stroked empty path",
       [&] { return shape(Path(), [](ShapeLayer& s) { s.setFillColor(std::nullopt); s.setStrokeColor(red); s.setLineWidth(3); }); },
       false, false},
      {"a clear fill", [&] { return shape(box, [&](ShapeLayer& s) { s.setFillColor(clear); }); }, false, false},
      {"a stroke", [&] { return shape(box, [](ShapeLayer& s) { s.setFillColor(std::nullopt); s.setStrokeColor(red); s.setLineWidth(1); }); },
       true, false},
      {"a stroke of no width",
       [&] { return shape(box, [](ShapeLayer& s) { s.setFillColor(std::nullopt); s.setStrokeColor(red); s.setLineWidth(0); }); },
       false, false},
      {"a stroke ending where it starts",
       [&] {
         return shape(box, [](ShapeLayer& s) {
           s.setFillColor(std::nullopt);
           s.setStrokeColor(red);
           s.setStrokeStart(0.5);
           s.setStrokeEnd(0.5);
         });
       },
       false, false},
      {"a shadowed fill",
       [&] { return shape(box, [](ShapeLayer& s) { s.setFillColor(red); s.setShadowOpacity(0.5); }); }, true, true},
      {"a shadow of a clear colour",
       [&] { return shape(box, [&](ShapeLayer& s) { s.setFillColor(red); s.setShadowOpacity(0.5); s.setShadowColor(clear); }); },
       true, false},
      {"the shadow of an empty path",
       [&] { return shape(Path(), [](ShapeLayer& s) { s.setFillColor(red); s.setShadowOpacity(1); }); }, false, false},
      {"a background", [&] { return plain([](Layer& l) { l.setBackgroundColor(blue); }); }, true, false},
      {"a background of no area",
       [&] { return plain([](Layer& l) { l.setBackgroundColor(blue); l.setBounds(Rect(0, 0, 20, 0)); }); }, false, false},
      {"a border", [&] { return plain([](Layer& l) { l.setBorderWidth(2); l.setBorderColor(green); }); }, true, false},
      {"a border of a clear colour", [&] { return plain([&](Layer& l) { l.setBorderWidth(2); l.setBorderColor(clear); }); }, false, false},
      {"a border of no width", [&] { return plain([](Layer& l) { l.setBorderColor(green); }); }, false, false},
      {"nothing", [&] { return plain([](Layer&) {}); }, false, false},
      {"a gradient",
       [] {
         auto g = GradientLayer::make();
         g->setFrame(Rect(0, 0, 20, 20));
         g->setColors({red, blue});
         return std::shared_ptr<Layer>(g);
       },
       true, false},
      {"a gradient of no colours",
       [] {
         auto g = GradientLayer::make();
         g->setFrame(Rect(0, 0, 20, 20));
         return std::shared_ptr<Layer>(g);
       },
       false, false},
  };
  for (const auto& c : cases) {
    const auto layer = c.make();
    const LayerContent content = LayerContent::of(*layer, modelPresentation(*layer));
    EXPECT_EQ(content.isVisible(), c.visible) << c.name;
    EXPECT_EQ(content.hasShadow(), c.shadow) << c.name;
    EXPECT_EQ(content.shadowReach() > 0, c.shadow) << c.name;
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
  } cases[] = {{10, 10, true}, {29, 29, true}, {10, 29, true}, {29, 10, true},
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
  for (const bool rects : {true, false}) {
    SCOPED_TRACE(rects ? "mask of rects" : "mask of a path");
    auto mask = ShapeLayer::make();
    mask->setPath(rects ? Path::rect(Rect(0, 0, 60, 100)) : Path::ellipse(Rect(-40, -10, 100, 120)));
    root->setMask(mask);
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
    EXPECT_GT(renderer.stats().rasterisations, composed);
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

TEST_F(Renderer, EveryLayerIsDrawnOnAClearCanvasWhateverWasDrawnBefore) {
  // A small layer shares one canvas with every small layer drawn before it; a
  // large one gets its own. Either way the corners its rounding leaves out stay clear.
  const struct {
    double side;
  } cases[] = {{30}, {600}};
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
    Point covered;                    // inside the new shape, outside the old square
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

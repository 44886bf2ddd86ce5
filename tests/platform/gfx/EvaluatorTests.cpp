#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/Presentation.h"
#include "platform/gfx/ShapeLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace pf;

namespace {

// Animations added at time 0 of a clock the test moves by hand.
class Evaluator : public ::testing::Test {
 protected:
  void SetUp() override {
    AnimationClock::setTimeSource([] { return 0.0; });
    layer = Layer::make();
  }
  void TearDown() override { AnimationClock::setTimeSource({}); }

  double number(const QString& keyPath, double t) const {
    return std::get<double>(*presentationValue(*layer, keyPath, t));
  }
  Point point(const QString& keyPath, double t) const {
    return std::get<Point>(*presentationValue(*layer, keyPath, t));
  }

  std::shared_ptr<Layer> layer;
};

BasicAnimation basic(const QString& keyPath, AnimationValue from, AnimationValue to, double duration) {
  BasicAnimation a(keyPath);
  a.fromValue = std::move(from);
  a.toValue = std::move(to);
  a.duration = duration;
  return a;
}

void expectNear(Point actual, Point expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

KeyframeAnimation keyframes(const QString& keyPath, std::vector<AnimationValue> values, std::vector<double> keyTimes,
                            double duration) {
  KeyframeAnimation a(keyPath);
  a.values = std::move(values);
  a.keyTimes = std::move(keyTimes);
  a.duration = duration;
  return a;
}

}  // namespace

TEST_F(Evaluator, BasicAutoreverseEaseInEaseOutBreathesOverAFullCycle) {
  auto a = basic("opacity", 0.25, 0.9, 3.5);
  a.autoreverses = true;
  a.repeatCount = Animation::repeatForever;
  a.timingFunction = TimingFunction::easeInEaseOut();
  layer->setOpacity(0.55);
  layer->addAnimation(a, "breathe");

  EXPECT_DOUBLE_EQ(number("opacity", 0), 0.25);
  EXPECT_NEAR(number("opacity", 1.75), 0.575, 1e-9);  // the curve is symmetric about its middle
  EXPECT_DOUBLE_EQ(number("opacity", 3.5), 0.9);
  EXPECT_NEAR(number("opacity", 5.25), 0.575, 1e-9);
  EXPECT_NEAR(number("opacity", 7.0), 0.25, 1e-9);
  EXPECT_NEAR(number("opacity", 700.0 + 3.5), 0.9, 1e-9);
  // Eased: a quarter of the way in time is less than a quarter of the way in value.
  EXPECT_LT(number("opacity", 0.875), 0.25 + 0.65 * 0.25);
}

TEST_F(Evaluator, TimeOffsetShiftsThePhaseAndWraps) {
  auto a = basic("opacity", 0.0, 1.0, 2);
  a.repeatCount = Animation::repeatForever;
  a.timeOffset = 0.5;
  layer->addAnimation(a, "fade");
  EXPECT_DOUBLE_EQ(number("opacity", 0), 0.25);
  EXPECT_DOUBLE_EQ(number("opacity", 1), 0.75);
  EXPECT_DOUBLE_EQ(number("opacity", 1.5), 0.0);
  EXPECT_DOUBLE_EQ(number("opacity", 2.5), 0.5);

  // With a repeat that ends mid-pass, the shifted phase wraps at the end of
  // the whole span (3), not of a pass (2).
  auto partial = basic("opacity", 0.0, 1.0, 2);
  partial.repeatCount = 1.5;
  partial.timeOffset = 0.5;
  layer->addAnimation(partial, "fade");
  EXPECT_DOUBLE_EQ(number("opacity", 1), 0.75);
  EXPECT_NEAR(number("opacity", 2.7), 0.1, 1e-12);
}

TEST_F(Evaluator, FiniteRepeatsEndAndBeginTimeDelays) {
  layer->setOpacity(0.3);
  auto a = basic("opacity", 0.0, 1.0, 1);
  a.repeatCount = 2;
  a.beginTime = 1;
  layer->addAnimation(a, "twice");
  EXPECT_FLOAT_EQ(number("opacity", 0.5), 0.3f);  // not begun: the model value
  EXPECT_DOUBLE_EQ(number("opacity", 1.25), 0.25);
  EXPECT_DOUBLE_EQ(number("opacity", 2.5), 0.5);   // second pass
  EXPECT_DOUBLE_EQ(number("opacity", 3.0), 1.0);   // the very end
  EXPECT_FLOAT_EQ(number("opacity", 3.01), 0.3f);  // removed once finished
  EXPECT_TRUE(hasRunningAnimations(*layer, 2.9));
  EXPECT_FALSE(hasRunningAnimations(*layer, 3.01));

  auto half = basic("opacity", 0.0, 1.0, 1);
  half.repeatCount = 0.5;  // stops halfway through its one pass
  layer->addAnimation(half, "twice");
  EXPECT_DOUBLE_EQ(number("opacity", 0.4), 0.4);
  EXPECT_FLOAT_EQ(number("opacity", 0.75), 0.3f);
  EXPECT_FALSE(hasRunningAnimations(*layer, 0.75));

  layer->addAnimation(basic("opacity", 0.0, 1.0, 0), "twice");  // no duration: a quarter of a second
  EXPECT_TRUE(hasRunningAnimations(*layer, 0.2));
  EXPECT_FALSE(hasRunningAnimations(*layer, 0.3));
}

TEST_F(Evaluator, TimeIsCountedFromWhenTheAnimationWasAdded) {
  AnimationClock::setTimeSource([] { return 100.0; });
  layer->addAnimation(basic("opacity", 0.0, 1.0, 4));
  EXPECT_DOUBLE_EQ(number("opacity", 101), 0.25);
  const struct {
    double t;
    bool running;
  } cases[] = {{100, true}, {103.9, true}, {104, true}, {104.1, false}, {200, false}};
  for (const auto& c : cases) EXPECT_EQ(hasRunningAnimations(*layer, c.t), c.running) << c.t;
}

TEST_F(Evaluator, BasicFillsMissingEndsFromTheModelValue) {
  layer->setPosition({10, 20});
  BasicAnimation to("position");
  to.toValue = Point{30, 20};
  to.duration = 2;
  layer->addAnimation(to, "to");
  EXPECT_EQ(point("position", 1), (Point{20, 20}));

  layer->removeAnimation("to");
  BasicAnimation by("position.y");
  by.fromValue = 0.0;
  by.byValue = 8.0;
  by.duration = 2;
  layer->addAnimation(by, "by");
  EXPECT_EQ(point("position", 1), (Point{10, 4}));

  BasicAnimation byTo("transform.rotation.z");
  byTo.byValue = 1.0;
  byTo.toValue = 3.0;
  byTo.duration = 2;
  layer->addAnimation(byTo, "spin");
  EXPECT_DOUBLE_EQ(number("transform.rotation", 1), 2.5);
}

TEST_F(Evaluator, TimingFunctionsFollowTheirCurves) {
  EXPECT_DOUBLE_EQ(TimingFunction::linear().map(0.3), 0.3);
  EXPECT_NEAR(TimingFunction::easeIn().map(0.5), 0.3153, 1e-3);
  EXPECT_NEAR(TimingFunction::easeOut().map(0.5), 0.6847, 1e-3);
  EXPECT_NEAR(TimingFunction::easeInEaseOut().map(0.5), 0.5, 1e-9);
  EXPECT_NEAR(TimingFunction::easeInEaseOut().map(0.25), 1 - TimingFunction::easeInEaseOut().map(0.75), 1e-9);
  // A curve whose control points lie on the diagonal is the identity.
  const auto straight = TimingFunction::custom({1.0 / 3, 1.0 / 3}, {2.0 / 3, 2.0 / 3});
  EXPECT_NEAR(straight.map(0.8), 0.8, 1e-9);
  // x outside [0, 1] is held, so the curve stays a function of time.
  EXPECT_EQ(TimingFunction::custom({-1, 0}, {3, 1}).control2.x, 1);
}

TEST_F(Evaluator, TimingCurvesAreInvertedAndTheirSteepestPointFound) {
  struct Case {
    const char* name;
    TimingFunction curve;
    bool rises;
    double steepest;  // the slope at the curve's steepest point, worked out by hand
  };
  const Case cases[] = {
      {"linear", TimingFunction::linear(), true, 1},
      {"ease in and out", TimingFunction::easeInEaseOut(), true, 1.5 / 0.87},
      {"steep middle", TimingFunction::custom({0.5, 0}, {0.5, 1}), true, 1.5 / 0.75},
      {"overshoots", TimingFunction::custom({0.3, -0.4}, {0.7, 1.4}), false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.curve.rises(), c.rises) << c.name;
    if (!c.rises) continue;
    EXPECT_NEAR(c.curve.steepestSlope(), c.steepest, 0.03 * c.steepest) << c.name;
    for (double progress : {0.0, 0.05, 0.2, 0.5, 0.8, 0.97, 1.0}) {
      EXPECT_NEAR(c.curve.map(c.curve.timeAt(progress)), progress, 1e-9) << c.name << " " << progress;
    }
  }
  // Steepest at its very start (a slope of 5 there), then its mirror image steepest at its very end.
  const double atStart = TimingFunction::custom({0.1, 0.5}, {0.5, 1}).steepestSlope();
  EXPECT_GT(atStart, 4);
  EXPECT_NEAR(TimingFunction::custom({0.5, 0}, {0.9, 0.5}).steepestSlope(), atStart, 1e-9);
}

TEST_F(Evaluator, KeyframesWithKeyTimesAreLinearBetweenNeighbours) {
  layer->addAnimation(keyframes("opacity", {0.0, 0.8, 1.0, 0.6, 0.0}, {0, 0.25, 0.5, 0.8, 1}, 10));
  EXPECT_DOUBLE_EQ(number("opacity", 1.25), 0.4);
  EXPECT_DOUBLE_EQ(number("opacity", 5), 1.0);
  EXPECT_NEAR(number("opacity", 6.5), 0.8, 1e-12);
  EXPECT_NEAR(number("opacity", 9), 0.3, 1e-12);
}

TEST_F(Evaluator, KeyframesWithoutKeyTimesAreEvenlySpaced) {
  layer->addAnimation(keyframes("position", {Point{0, 0}, Point{10, 0}, Point{20, 40}, Point{40, 40}}, {}, 3));
  expectNear(point("position", 0.5), {5, 0});
  expectNear(point("position", 1.5), {15, 20});
  expectNear(point("position", 2.5), {30, 40});
}

TEST_F(Evaluator, MismatchedKeyTimesAreIgnored) {
  layer->addAnimation(keyframes("opacity", {0.0, 1.0, 0.0}, {0, 0.9}, 2));
  EXPECT_DOUBLE_EQ(number("opacity", 1), 1.0);
}

TEST_F(Evaluator, DiscreteHoldsEachValue) {
  auto a = keyframes("opacity", {0.2, 0.4, 0.6, 0.8}, {}, 4);
  a.calculationMode = KeyframeAnimation::CalculationMode::discrete;
  layer->addAnimation(a);
  EXPECT_DOUBLE_EQ(number("opacity", 0.9), 0.2);
  EXPECT_DOUBLE_EQ(number("opacity", 1.1), 0.4);
  EXPECT_DOUBLE_EQ(number("opacity", 3.9), 0.8);
}

TEST_F(Evaluator, PerSegmentTimingFunctionsWarpEachSegment) {
  auto a = keyframes("opacity", {0.0, 1.0, 0.0}, {}, 2);
  a.timingFunctions = {TimingFunction::easeIn(), TimingFunction::linear()};
  layer->addAnimation(a);
  EXPECT_NEAR(number("opacity", 0.5), TimingFunction::easeIn().map(0.5), 1e-12);
  EXPECT_DOUBLE_EQ(number("opacity", 1.5), 0.5);
}

TEST_F(Evaluator, CubicPassesThroughEveryKeyframeAndCurvesBetween) {
  auto a = keyframes("opacity", {0.0, 1.0, 0.0}, {0, 0.5, 1}, 1);
  a.calculationMode = KeyframeAnimation::CalculationMode::cubic;
  layer->addAnimation(a);
  EXPECT_DOUBLE_EQ(number("opacity", 0), 0.0);
  EXPECT_DOUBLE_EQ(number("opacity", 0.5), 1.0);
  EXPECT_DOUBLE_EQ(number("opacity", 1), 0.0);
  // Hermite with tangents m0 = 1/(2*0.5) = 1, m1 = 0: 0.125*0.5*1 + 0.5*1 = 0.5625.
  EXPECT_DOUBLE_EQ(number("opacity", 0.25), 0.5625);
  EXPECT_DOUBLE_EQ(number("opacity", 0.75), 0.5625);
}

TEST_F(Evaluator, CubicWithUnevenKeyTimesHitsEachKey) {
  const std::vector<AnimationValue> values{0.35, 0.7, 1.0, 1.0, 0.35};
  const std::vector<double> times{0, 0.35, 0.65, 0.82, 1};
  auto a = keyframes("transform.scale.y", values, times, 20);
  a.calculationMode = KeyframeAnimation::CalculationMode::cubic;
  layer->addAnimation(a, "iceGrowth");
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_NEAR(number("transform.scale.y", 20 * times[i]), std::get<double>(values[i]), 1e-12) << i;
  }
  // Between 0.35 and 0.65: p0 = 0.7, p1 = 1, m0 = (1 - 0.35)/0.65, m1 = (1 - 0.7)/0.47, dt = 0.3.
  const double m0 = 0.65 / 0.65, m1 = 0.3 / 0.47;
  const double expected = 0.5 * 0.7 + 0.125 * 0.3 * m0 + 0.5 * 1.0 - 0.125 * 0.3 * m1;
  EXPECT_NEAR(number("transform.scale.y", 20 * 0.5), expected, 1e-12);
}

TEST_F(Evaluator, CubicDoesNotBlendValuesOfDifferentKinds) {
  auto a = keyframes("position", {Point{0, 0}, 1.0, Point{10, 10}}, {}, 2);
  a.calculationMode = KeyframeAnimation::CalculationMode::cubic;
  layer->addAnimation(a);
  expectNear(point("position", 0.5), {0, 0});  // as between any two values of different kinds: the first
}

TEST_F(Evaluator, PacedMovesAtConstantSpeedIgnoringKeyTimes) {
  auto a = keyframes("position", {Point{0, 0}, Point{10, 0}, Point{10, 30}}, {0, 0.9, 1}, 4);
  a.calculationMode = KeyframeAnimation::CalculationMode::paced;
  layer->addAnimation(a);
  expectNear(point("position", 1), {10, 0});  // 10 of 40 after a quarter
  expectNear(point("position", 2), {10, 10});
  expectNear(point("position", 3), {10, 20});
}

TEST_F(Evaluator, PacedAlongAPathFollowsItByLength) {
  KeyframeAnimation a("position");
  a.path = Path::rect(Rect(0, 0, 100, 50));  // 300 around, counter-clockwise from the origin
  a.calculationMode = KeyframeAnimation::CalculationMode::paced;
  a.duration = 30;
  a.repeatCount = Animation::repeatForever;
  a.timeOffset = 7.5;
  layer->addAnimation(a, "orbit");
  const Point start = point("position", 0);
  EXPECT_NEAR(start.x, 75, 1e-9);
  EXPECT_NEAR(start.y, 0, 1e-9);
  const Point later = point("position", 7.5);
  EXPECT_NEAR(later.x, 100, 1e-9);
  EXPECT_NEAR(later.y, 50, 1e-9);

  // A rounded orbit is followed at even speed too: equal times, equal distances.
  KeyframeAnimation round("position");
  round.path = Path::roundedRect(Rect(0, 0, 200, 100), 35, 35);
  round.calculationMode = KeyframeAnimation::CalculationMode::paced;
  round.duration = 10;
  layer->addAnimation(round, "orbit");
  double previous = -1;
  for (int i = 0; i < 10; ++i) {
    const Point p = point("position", i), q = point("position", i + 0.1);
    const double step = std::hypot(q.x - p.x, q.y - p.y);
    if (previous >= 0) {
      EXPECT_NEAR(step, previous, 0.02 * previous) << i;
    }
    previous = step;
  }
}

TEST_F(Evaluator, GroupMembersSpanTheGroupAndSeeItsWarpedTime) {
  auto position = basic("position", Point{0, 0}, Point{100, 0}, 0);
  auto opacity = keyframes("opacity", {0.0, 1.0, 0.0}, {0, 0.5, 1}, 0);
  AnimationGroup group;
  group.animations = {position.clone(), opacity.clone()};
  group.duration = 4;
  group.repeatCount = Animation::repeatForever;
  layer->addAnimation(group, "drift");
  EXPECT_EQ(point("position", 1), (Point{25, 0}));
  EXPECT_DOUBLE_EQ(number("opacity", 1), 0.5);
  EXPECT_EQ(point("position", 5), (Point{25, 0}));  // the group repeats

  group.timingFunction = TimingFunction::easeIn();
  layer->addAnimation(group, "drift");
  EXPECT_NEAR(point("position", 2).x, 100 * TimingFunction::easeIn().map(0.5), 1e-9);
}

TEST_F(Evaluator, GroupMemberWithItsOwnDurationEndsWithinTheGroup) {
  layer->setOpacity(0.4f);
  AnimationGroup group;
  group.animations = {basic("opacity", 0.0, 1.0, 1).clone()};
  group.duration = 4;
  group.autoreverses = true;
  group.repeatCount = Animation::repeatForever;
  group.timeOffset = 1;
  layer->addAnimation(group);
  EXPECT_DOUBLE_EQ(number("opacity", 0), 1.0);        // group time 1: the member's last instant
  EXPECT_FLOAT_EQ(number("opacity", 0.5), 0.4f);      // group time 1.5: the member has ended
  EXPECT_DOUBLE_EQ(number("opacity", 7 - 0.5), 0.5);  // reversed: group time 0.5
}

TEST_F(Evaluator, TransformPartsAnimateOverTheModelTransform) {
  layer->setTransform(Transform::makeRotation(1.0));
  KeyframeAnimation flip("transform.scale.x");
  flip.values = {1.0, 0.5, 1.0};
  flip.duration = 2;
  layer->addAnimation(flip);
  const auto t = presentation(*layer, 0.5);
  EXPECT_DOUBLE_EQ(t.transform.rotation, 1.0);
  EXPECT_DOUBLE_EQ(t.transform.scaleX, 0.75);
  EXPECT_DOUBLE_EQ(t.transform.scaleY, 1.0);

  auto sway = basic("transform.rotation.z", 0.88, 1.12, 3);
  layer->addAnimation(sway, "leafSway");
  EXPECT_DOUBLE_EQ(presentation(*layer, 1.5).transform.rotation, 1.0);

  layer->addAnimation(basic("transform.scale", 0.85, 1.15, 2), "grow");
  EXPECT_DOUBLE_EQ(presentation(*layer, 1).transform.scaleY, 1.0);
}

TEST_F(Evaluator, PathsMorphPointByPointAndStrokeEndAnimates) {
  auto shape = ShapeLayer::make();
  Path a, b;
  a.moveTo({0, 0});
  a.cubicTo({10, 10}, {20, 10}, {30, 0});
  b.moveTo({0, 0});
  b.cubicTo({10, 30}, {20, 30}, {30, 0});
  shape->setPath(a);
  shape->addAnimation(basic("path", a, b, 2), "flow");
  KeyframeAnimation crawl("strokeEnd");
  crawl.values = {0.05, 1.0, 1.0, 0.05};
  crawl.keyTimes = {0, 0.65, 0.88, 1};
  crawl.duration = 10;
  shape->addAnimation(crawl, "vineCrawl");
  const auto p = presentation(*shape, 1);
  EXPECT_EQ(p.path.element(1).points[0], (Point{10, 20}));
  EXPECT_NEAR(p.strokeEnd, 0.05 + 0.95 * (0.1 / 0.65), 1e-12);
  EXPECT_TRUE(animatesContent(*shape));
  EXPECT_FALSE(animatesContent(*layer));

  Path other = Path::rect(Rect(0, 0, 5, 5));  // another structure: snaps half way
  shape->addAnimation(basic("path", a, other, 2), "flow");
  EXPECT_EQ(presentation(*shape, 0.9).path, a);
  EXPECT_EQ(presentation(*shape, 1.1).path, other);
}

TEST_F(Evaluator, ColoursBlendPerComponent) {
  layer->addAnimation(basic("backgroundColor", Color::calibratedRGB(0, 0, 1, 1), Color::calibratedRGB(1, 0, 0, 0), 2));
  EXPECT_EQ(std::get<Color>(*presentationValue(*layer, "backgroundColor", 1)), Color::calibratedRGB(0.5, 0, 0.5, 0.5));
  // From no colour at all: only the colour fades in, no other hue on the way.
  auto shape = ShapeLayer::make();
  shape->setFillColor(std::nullopt);
  BasicAnimation fadeIn("fillColor");
  fadeIn.toValue = Color::calibratedRGB(1, 0, 0, 1);
  fadeIn.duration = 2;
  shape->addAnimation(fadeIn);
  EXPECT_EQ(std::get<Color>(*presentationValue(*shape, "fillColor", 1)), Color::calibratedRGB(0.5, 0, 0, 0.5));
  EXPECT_FALSE(presentationValue(*layer, "zPosition", 1));
}

TEST(Presentation, OnlyKeyPathsOfWhatALayerDrawsCountAsContent) {
  const struct {
    const char* keyPath;
    bool content;
  } cases[] = {{"path", true},         {"strokeEnd", true},  {"fillColor", true}, {"backgroundColor", true},
               {"bounds", true},       {"position", false},  {"opacity", false},  {"transform.scale", false},
               {"anchorPoint", false}, {"zPosition", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(isContentKeyPath(QString::fromLatin1(c.keyPath)), c.content) << c.keyPath;
}

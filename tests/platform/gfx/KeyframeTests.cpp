#include "platform/gfx/KeyframeEvaluation.h"
#include "platform/gfx/TimingFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace pf;

namespace {

using Mode = KeyframeAnimation::CalculationMode;

const double notANumber = std::numeric_limits<double>::quiet_NaN();

/// A number animation's value at `progress`, with these key times.
struct KeyTimeCase {
  const char* name;
  std::vector<double> keyTimes;
  double progress;
  double value;
};

KeyframeAnimation keyframes(std::vector<AnimationValue> values, std::vector<double> keyTimes = {},
                            Mode mode = Mode::linear) {
  KeyframeAnimation a("position");
  a.values = std::move(values);
  a.keyTimes = std::move(keyTimes);
  a.calculationMode = mode;
  return a;
}

double numberAt(const KeyframeAnimation& a, double progress) { return std::get<double>(*keyframeValue(a, progress)); }

}  // namespace

// Points of each curve worked out by hand at curve parameter 1/2 or 1/4, where
// x(s) and y(s) are simple sums of the control coordinates.
TEST(TimingFunction, MapsTimeThroughTheCurveToItsProgress) {
  struct Case {
    const char* name;
    TimingFunction curve;
    double time;
    double progress;
  };
  const Case cases[] = {
      {"linear", TimingFunction::linear(), 0.3, 0.3},
      {"linear-looking custom", TimingFunction::custom({0.3, 0.3}, {0.7, 0.7}), 0.2, 0.2},
      {"ease in at s = 1/2", TimingFunction::easeIn(), 0.6575, 0.5},
      {"ease out at s = 1/2", TimingFunction::easeOut(), 0.3425, 0.5},
      {"ease in ease out at s = 1/2", TimingFunction::easeInEaseOut(), 0.5, 0.5},
      {"ease in ease out at s = 1/4", TimingFunction::easeInEaseOut(), 0.274375, 0.15625},
      {"overshooting custom at s = 1/4", TimingFunction::custom({0, 1}, {1, 0}), 0.15625, 0.4375},
      {"custom rising above one at s = 1/2", TimingFunction::custom({0.2, 1.6}, {0.8, 1.6}), 0.5, 1.325},
      // x(s) = 3s - 6s^2 + 4s^3 stands still at s = 1/2, where no slope leads to the answer.
      {"custom flat mid-way at s = 17/32", TimingFunction::custom({1, 0}, {0, 1}), 16388.0 / 32768, 17918.0 / 32768},
      {"custom flat mid-way at s = 15/32", TimingFunction::custom({1, 0}, {0, 1}), 16380.0 / 32768, 14850.0 / 32768},
      {"start", TimingFunction::easeIn(), 0, 0},
      {"end", TimingFunction::easeOut(), 1, 1},
      {"before the start", TimingFunction::easeIn(), -0.5, 0},
      {"after the end", TimingFunction::easeIn(), 1.5, 1},
      {"not a number", TimingFunction::easeIn(), notANumber, 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.curve.map(c.time), c.progress, 1e-9) << c.name;
}

TEST(TimingFunction, HoldsControlTimesWithinThePass) {
  const TimingFunction held = TimingFunction::custom({-1, 2}, {3, notANumber});
  EXPECT_EQ(held.control1, (Point{0, 2}));
  EXPECT_EQ(held.control2, (Point{1, 0}));
  EXPECT_TRUE(TimingFunction::custom({0.25, 0.25}, {0.5, 0.5}).isLinear());
  EXPECT_FALSE(TimingFunction::custom({0.25, 0.25}, {0.5, 0.6}).isLinear());
  EXPECT_FALSE(TimingFunction::custom({0.25, 0.3}, {0.5, 0.5}).isLinear());
}

TEST(KeyframeValue, LinearRunsBetweenNeighboursAtTheirKeyTimes) {
  const std::vector<AnimationValue> values{0.0, 10.0, 30.0};
  const KeyTimeCase cases[] = {
      {"evenly spaced, first half", {}, 0.25, 5},
      {"evenly spaced, second half", {}, 0.75, 20},
      {"at a key time", {0, 0.2, 1}, 0.2, 10},
      {"uneven, first segment", {0, 0.2, 1}, 0.1, 5},
      {"uneven, second segment", {0, 0.2, 1}, 0.6, 20},
      {"unsorted key times are ignored", {0, 0.8, 0.2}, 0.75, 20},
      {"key times that are not numbers are ignored", {0, notANumber, 1}, 0.75, 20},
      {"too few key times are ignored", {0, 0.8}, 0.75, 20},
      {"a last segment of no time jumps at the end", {0, 1, 1}, 1, 30},
      {"a last segment of no time before the end", {0, 1, 1}, 0.5, 5},
      {"progress past the end", {}, 2, 30},
      {"progress that is not a number", {}, notANumber, 0},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(numberAt(keyframes(values, c.keyTimes), c.progress), c.value, 1e-12) << c.name;
  // Two values at one key time: the first before it, the second from it on.
  EXPECT_EQ(numberAt(keyframes({0.0, 10.0}, {0.5, 0.5}), 0.25), 0);
  EXPECT_EQ(numberAt(keyframes({0.0, 10.0}, {0.5, 0.5}), 0.5), 10);
}

TEST(KeyframeValue, TimingFunctionsApplyOnlyWhenOneIsGivenPerSegment) {
  auto a = keyframes({0.0, 10.0, 20.0}, {0, 0.5, 1});
  a.timingFunctions = {TimingFunction::easeIn(), TimingFunction::easeOut()};
  EXPECT_NEAR(numberAt(a, 0.5 * 0.6575), 5, 1e-9);
  EXPECT_NEAR(numberAt(a, 0.5 + 0.5 * 0.3425), 15, 1e-9);
  a.timingFunctions.push_back(TimingFunction::easeIn());  // one too many still counts
  EXPECT_NEAR(numberAt(a, 0.5 * 0.6575), 5, 1e-9);
  a.timingFunctions = {TimingFunction::easeIn()};  // too few: straight through
  EXPECT_NEAR(numberAt(a, 0.5 * 0.6575), 6.575, 1e-9);
}

TEST(KeyframeValue, DiscreteHoldsEachValueUntilTheNextKeyTime) {
  const std::vector<AnimationValue> values{1.0, 2.0, 3.0};
  const KeyTimeCase cases[] = {
      {"even thirds, first", {}, 0.33, 1},
      {"even thirds, second", {}, 0.34, 2},
      {"even thirds, end", {}, 1, 3},
      {"key times, before the second", {0, 0.1, 0.2}, 0.09, 1},
      {"key times, at the second", {0, 0.1, 0.2}, 0.1, 2},
      {"key times, past the last", {0, 0.1, 0.2}, 0.5, 3},
      {"one more key time than values", {0, 0.5, 0.9, 1}, 0.95, 3},
      {"one more key time than values, before the second", {0, 0.5, 0.9, 1}, 0.4, 1},
      {"mismatched key times fall back to even", {0, 0.9}, 0.5, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(numberAt(keyframes(values, c.keyTimes, Mode::discrete), c.progress), c.value) << c.name;
  }
}

TEST(KeyframeValue, PacedMovesAtOneSpeedByDistance) {
  struct Case {
    const char* name;
    std::vector<AnimationValue> values;
    double progress;
    AnimationValue value;
  };
  // Segments of 5 and 10: a third of the way is the end of the first.
  const std::vector<AnimationValue> corner{Point{0, 0}, Point{3, 4}, Point{3, 14}};
  // Opacities: segments of 0.2 and 0.6, less than one in all.
  const std::vector<AnimationValue> fade{0.0, 0.2, 0.8};
  const Case cases[] = {
      {"start", corner, 0, Point{0, 0}},
      {"within the first segment", corner, 0.2, Point{1.8, 2.4}},
      {"the corner", corner, 1.0 / 3, Point{3, 4}},
      {"within the second segment", corner, 0.5, Point{3, 6.5}},
      {"end", corner, 1, Point{3, 14}},
      {"a short fade, a quarter of the way", fade, 0.25, 0.2},
      {"a short fade, half way", fade, 0.5, 0.4},
      {"values that never move", {4.0, 4.0, 4.0}, 0.5, 4.0},
  };
  for (const auto& c : cases) {
    // Key times are ignored, however uneven.
    const AnimationValue v = *keyframeValue(keyframes(c.values, {0, 0.9, 1}, Mode::paced), c.progress);
    const auto got = animation_values::components(v, c.values), want = animation_values::components(c.value, c.values);
    ASSERT_EQ(got.size(), want.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << c.name;
  }
}

// Tangents are central differences over time (ends doubled); each segment is
// the Hermite curve h00 p0 + h10 dt m0 + h01 p1 + h11 dt m1, at s = 1/2 giving
// (p0 + p1) / 2 + dt (m0 - m1) / 8.
TEST(KeyframeValue, CubicFollowsCatmullRomTangentsOverTime) {
  const std::vector<AnimationValue> values{0.0, 10.0, 30.0};
  const KeyTimeCase cases[] = {
      {"even, first segment", {0, 0.5, 1}, 0.25, 3.75},
      {"even, second segment", {0, 0.5, 1}, 0.75, 20.625},
      {"uneven, first segment", {0, 0.25, 1}, 0.125, 4.6875},
      {"uneven, second segment", {0, 0.25, 1}, 0.625, 21.5625},
      {"through a key", {0, 0.25, 1}, 0.25, 10},
      {"the end of a jump to the last value", {0, 1, 1}, 1, 30},
  };
  // Numbers take a way of their own, with no list of components: points through them follow them to the bit.
  const std::vector<AnimationValue> points{Point{0, -1}, Point{10, 7}, Point{30, 2}};
  for (const auto& c : cases) {
    const double number = numberAt(keyframes(values, c.keyTimes, Mode::cubic), c.progress);
    EXPECT_NEAR(number, c.value, 1e-9) << c.name;
    EXPECT_EQ(std::get<Point>(*keyframeValue(keyframes(points, c.keyTimes, Mode::cubic), c.progress)).x, number)
        << c.name;
  }
}

TEST(KeyframeValue, HasAValueOnlyWhenGivenOne) {
  EXPECT_FALSE(keyframeValue(keyframes({}), 0.5));
  EXPECT_EQ(numberAt(keyframes({7.0}), 0.5), 7);
  auto orbit = keyframes({});
  orbit.path = Path::rect(Rect(0, 0, 10, 30));
  EXPECT_EQ(std::get<Point>(*keyframeValue(orbit, 0.5)), (Point{10, 30}));
  orbit.path = Path::rect(Rect(0, 0, 30, 10));  // another path is measured afresh
  EXPECT_EQ(std::get<Point>(*keyframeValue(orbit, 0.5)), (Point{30, 10}));
  orbit.path = Path();
  orbit.values = {1.0, 3.0};
  EXPECT_EQ(numberAt(orbit, 0.5), 2);
}

TEST(AnimationValues, DistanceIsStraightWithinOneKindAndNoneAcrossKinds) {
  struct Case {
    const char* name;
    AnimationValue a, b;
    double distance;
  };
  const Case cases[] = {
      {"numbers", 2.0, -1.0, 3},
      {"points", Point{1, 1}, Point{4, 5}, 5},
      {"rects", Rect(0, 0, 1, 1), Rect(1, 1, 2, 2), 2},
      {"colours", Color::calibratedRGB(0, 0, 0, 1), Color::calibratedRGB(1, 0, 0, 1), 1},
      {"paths", Path::rect(Rect(0, 0, 1, 1)), Path::rect(Rect(0, 0, 9, 9)), 0},
      {"a number and a point", 5.0, Point{1, 0}, 0},
      {"a point and a rect", Point{3, 4}, Rect(0, 0, 1, 1), 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(animation_values::distance(c.a, c.b), c.distance, 1e-12) << c.name;
}

TEST(AnimationValues, BlendPartWayWithinOneKind) {
  struct Case {
    const char* name;
    AnimationValue a, b, quarter;
  };
  const Case cases[] = {
      {"numbers", 2.0, 6.0, 3.0},
      {"points", Point{0, 4}, Point{8, 0}, Point{2, 3}},
      {"rects", Rect(0, 0, 4, 8), Rect(4, 8, 8, 0), Rect(1, 2, 5, 6)},
      {"colours of one space", Color::sRGB(0, 0, 1, 1), Color::sRGB(1, 0, 0, 0), Color::sRGB(0.25, 0, 0.75, 0.75)},
      {"colours of two spaces, as sRGB", Color::sRGB(0, 0, 1, 1), Color::calibratedWhite(1, 0),
       Color::sRGB(0.25, 0.25, 1, 0.75)},
      {"colours of two spaces, each part its own", Color::sRGB(0.2, 0.6, 1, 1), Color::calibratedWhite(0.6, 0.2),
       Color::sRGB(0.3, 0.6, 0.9, 0.8)},
  };
  for (const auto& c : cases) {
    const AnimationValue got = animation_values::interpolate(c.a, c.b, 0.25);
    ASSERT_EQ(got.index(), c.quarter.index()) << c.name;
    const AnimationValue both[] = {got, c.quarter};
    const auto have = animation_values::components(got, both), want = animation_values::components(c.quarter, both);
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(have[i], want[i], 1e-9) << c.name << " " << i;
  }
}

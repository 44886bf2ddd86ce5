// What every border effect must do, whichever it is.
#include "BorderFixture.h"
#include "platform/gfx/LayerDump.h"

#include <gtest/gtest.h>

#include <map>

using pf::Layer;
using namespace border_test;

namespace {

class EveryBorderEffect : public ::testing::TestWithParam<QuibBorderEffect> {
 protected:
  BorderVFXConfiguration tuned(double glow, double speed) const { return {GetParam(), 0.95, 1.35, glow, speed}; }
};

std::vector<std::pair<double, double>> timings(const Layer& root) {
  std::vector<std::pair<double, double>> out;
  forEachAnimation(root, [&](const pf::Animation& a) { out.emplace_back(a.duration, a.timeOffset); });
  return out;
}

// Removes what only a moving effect has (embers, glints), then every animation.
void stillOf(Layer& layer) {
  const auto subs = layer.sublayers();
  for (const auto& sub : subs) {
    if (sub->animation("emberRise") || sub->animation("iceGlint")) {
      sub->removeFromSuperlayer();
    } else {
      stillOf(*sub);
    }
  }
  layer.removeAllAnimations();
}

std::vector<QuibBorderEffect> effects() {
  std::vector<QuibBorderEffect> out;
  for (const auto type : QuibBorderEffect::allCases()) {
    if (type != QuibBorderEffect::none) out.push_back(type);
  }
  return out;
}

}  // namespace

TEST_P(EveryBorderEffect, SameInputsBuildIdenticalTrees) {
  Band a(640, 420), b(640, 420);
  a.build(effect(GetParam()));
  b.build(effect(QuibBorderEffect::fire));
  b.build(effect(GetParam()));  // a rebuild leaves nothing of the earlier tree
  EXPECT_GT(a.root->sublayers().size(), 10u);
  EXPECT_EQ(pf::dump(*a.root), pf::dump(*b.root));
}

TEST_P(EveryBorderEffect, SpeedDividesEveryDurationAndPhase) {
  Band normal(500, 300), fast(500, 300), slow(500, 300);
  normal.build(effect(GetParam()));
  fast.build(tuned(0.8, 2));
  slow.build(tuned(0.8, 0.2));
  const auto a = timings(*normal.root), b = timings(*fast.root), c = timings(*slow.root);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_EQ(a.size(), c.size());
  int timed = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_DOUBLE_EQ(b[i].first, a[i].first / 2) << i;
    EXPECT_DOUBLE_EQ(b[i].second, a[i].second / 2) << i;
    EXPECT_NEAR(c[i].first, a[i].first * 5, 1e-9) << i;
    EXPECT_NEAR(c[i].second, a[i].second * 5, 1e-9) << i;
    timed += a[i].first > 0 ? 1 : 0;
  }
  // Group members take their group's duration; everything else is timed.
  EXPECT_GT(timed, 8);
}

TEST_P(EveryBorderEffect, ReducedMotionBuildsTheSameLayersWithoutAnyAnimation) {
  Band moving(500, 300), still(500, 300);
  moving.build(effect(GetParam()));
  still.build(effect(GetParam()), true);
  EXPECT_EQ(animationCount(*still.root), 0);
  EXPECT_TRUE(still.root->animationKeys().isEmpty());
  const bool dropsSome = GetParam() == QuibBorderEffect::fire || GetParam() == QuibBorderEffect::frost;
  if (!dropsSome) {
    EXPECT_EQ(layerCount(*still.root), layerCount(*moving.root));
  }
  stillOf(*moving.root);
  EXPECT_EQ(pf::dump(*moving.root), pf::dump(*still.root));
}

TEST_P(EveryBorderEffect, LeavesTheRootsMaskAndPulseAlone) {
  Band band(500, 300), reference(500, 300);
  band.build(tuned(0.8, 1.6));
  reference.build({QuibBorderEffect::smoke, 0.95, 1.35, 0.8, 1.6});
  band.root->removeAllSublayers();
  reference.root->removeAllSublayers();
  EXPECT_EQ(pf::dump(*band.root), pf::dump(*reference.root));
  EXPECT_EQ(band.root->animationKeys(), QStringList{"vfxPulse"});
}

TEST_P(EveryBorderEffect, NothingIsBuiltWithoutOpacityOrIntensity) {
  for (const auto& c :
       {BorderVFXConfiguration{GetParam(), 0, 1.35, 0.8, 1}, BorderVFXConfiguration{GetParam(), 0.95, 0, 0.8, 1}}) {
    Band band(500, 300);
    band.build(effect(GetParam()));
    band.build(c);
    EXPECT_TRUE(band.root->sublayers().empty());
    EXPECT_NE(band.root->mask(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(BorderEffects, EveryBorderEffect, ::testing::ValuesIn(effects()),
                         [](const auto& info) { return info.param.rawValue().toStdString(); });

struct Sized {
  QuibBorderEffect type;
  double width, height, intensity;
  std::size_t count;
};

// Elements per window (their layers are named after the first word), held to their limits.
TEST(BorderEffectCounts, FollowTheWindowsSizeWithinTheirLimits) {
  const Sized cases[] = {
      {QuibBorderEffect::lightning, 600, 400, 1.35, 8 + 5 + 3 + 3},
      {QuibBorderEffect::lightning, 40, 30, 1.35, 4 * 2},
      {QuibBorderEffect::lightning, 20000, 20000, 2, 4 * 22},
      {QuibBorderEffect::plasma, 600, 400, 1.35, 3 * (8 + 8 + 5 + 5)},
      {QuibBorderEffect::plasma, 40, 30, 1.35, 3 * 4 * 3},
      {QuibBorderEffect::plasma, 20000, 20000, 2, 3 * 4 * 24},
      {QuibBorderEffect::frost, 600, 400, 1.35, 27 + 27 + 18 + 18},
      {QuibBorderEffect::frost, 40, 30, 1.35, 4 * 3},
      {QuibBorderEffect::frost, 20000, 20000, 2, 4 * 45},
      {QuibBorderEffect::starfield, 600, 400, 1.35, 57 + 57 + 38 + 38},
      {QuibBorderEffect::starfield, 40, 30, 1.35, 4 * 8},
      {QuibBorderEffect::starfield, 20000, 20000, 2, 4 * 100},
      {QuibBorderEffect::bubbles, 600, 400, 1.35, 2 * 24},
      {QuibBorderEffect::bubbles, 40, 30, 0.05, 2 * 4},
      {QuibBorderEffect::bubbles, 20000, 20000, 2, 2 * 32},
      {QuibBorderEffect::vines, 600, 400, 1.35, 4 + 4 + 3 + 3},
      {QuibBorderEffect::vines, 40, 30, 1.35, 4 * 2},
      {QuibBorderEffect::vines, 20000, 20000, 2, 4 * 12},
      {QuibBorderEffect::blossoms, 600, 400, 1.35, 14 + 14 + 9 + 9},
      {QuibBorderEffect::blossoms, 40, 30, 1.35, 4 * 4},
      {QuibBorderEffect::blossoms, 20000, 20000, 2, 4 * 32},
      {QuibBorderEffect::fireflies, 800, 500, 1.35, 27},
      {QuibBorderEffect::fireflies, 40, 30, 1.35, 8},
      {QuibBorderEffect::fireflies, 20000, 20000, 2, 64},
      {QuibBorderEffect::runes, 600, 400, 1.35, 14 + 14 + 9 + 9},
      {QuibBorderEffect::runes, 40, 30, 1.35, 4 * 3},
      {QuibBorderEffect::runes, 20000, 20000, 2, 4 * 25},
      {QuibBorderEffect::matrix, 600, 400, 1.35, 14 + 14 + 9 + 9},
      {QuibBorderEffect::matrix, 40, 30, 1.35, 4 * 4},
      {QuibBorderEffect::matrix, 20000, 20000, 2, 4 * 32},
      // Snow flakes need only some intensity, and the cap none.
      {QuibBorderEffect::snow, 500, 300, 1.35, 22 + 22 + 13 + 13},
      {QuibBorderEffect::snow, 500, 300, 0.01, 4 * 5},
      {QuibBorderEffect::snow, 2000, 300, 1.35, 55 + 55 + 13 + 13},
      {QuibBorderEffect::toxic, 500, 300, 1.35, 11 + 11 + 6 + 6},
      {QuibBorderEffect::toxic, 40, 30, 1.35, 4 * 4},
  };
  const std::map<QuibBorderEffect::Value, QString> prefixes{
      {QuibBorderEffect::lightning, "lightningArc"}, {QuibBorderEffect::plasma, "plasmaRibbon"},
      {QuibBorderEffect::frost, "frostCrystal"},     {QuibBorderEffect::starfield, "cosmic"},
      {QuibBorderEffect::bubbles, "risingBubble"},   {QuibBorderEffect::vines, "vineSegment"},
      {QuibBorderEffect::blossoms, "cherryPetal"},   {QuibBorderEffect::fireflies, "firefly"},
      {QuibBorderEffect::runes, "magicRune"},        {QuibBorderEffect::matrix, "dataRainStream"},
      {QuibBorderEffect::snow, "snowflake"},         {QuibBorderEffect::toxic, "toxicVapor"},
  };
  for (const Sized& c : cases) {
    Band band(c.width, c.height);
    band.build({c.type, 0.95, c.intensity, 0.8, 1});
    const QString prefix = prefixes.at(c.type);
    const int n = countLayers(*band.root, [&](const Layer& l) { return l.name().startsWith(prefix); });
    EXPECT_EQ(n, static_cast<int>(c.count)) << c.type.rawValue().toStdString() << " " << c.width;
  }
}

TEST(PlantEffects, GlowChangesNothing) {
  for (const auto type : {QuibBorderEffect::vines, QuibBorderEffect::blossoms}) {
    Band dim(500, 300), bright(500, 300);
    dim.build({type, 0.95, 1.35, 0, 1});
    bright.build({type, 0.95, 1.35, 1, 1});
    EXPECT_EQ(pf::dump(*dim.root), pf::dump(*bright.root));
  }
}

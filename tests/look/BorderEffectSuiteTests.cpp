// What every border effect must do, whichever it is.
#include "BorderFixture.h"
#include "platform/gfx/LayerDump.h"

#include <gtest/gtest.h>

using pf::Layer;
using namespace border_test;

namespace {

class EveryBorderEffect : public ::testing::TestWithParam<QuibBorderEffect> {
 protected:
  BorderVFXConfiguration tuned(double glow, double speed) const {
    return {GetParam(), 0.95, 1.35, glow, speed};
  }
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
  for (const auto& c : {BorderVFXConfiguration{GetParam(), 0, 1.35, 0.8, 1},
                        BorderVFXConfiguration{GetParam(), 0.95, 0, 0.8, 1}}) {
    Band band(500, 300);
    band.build(effect(GetParam()));
    band.build(c);
    EXPECT_TRUE(band.root->sublayers().empty());
    EXPECT_NE(band.root->mask(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(BorderEffects, EveryBorderEffect, ::testing::ValuesIn(effects()),
                         [](const auto& info) { return info.param.rawValue().toStdString(); });

TEST(PlantEffects, GlowChangesNothing) {
  for (const auto type : {QuibBorderEffect::vines, QuibBorderEffect::blossoms}) {
    Band dim(500, 300), bright(500, 300);
    dim.build({type, 0.95, 1.35, 0, 1});
    bright.build({type, 0.95, 1.35, 1, 1});
    EXPECT_EQ(pf::dump(*dim.root), pf::dump(*bright.root));
  }
}

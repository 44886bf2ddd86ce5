#include "BorderFixture.h"
#include "look/BorderTextures.h"
#include "look/BorderVFXParts.h"
#include "look/QuibBorderVFX.h"
#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/LayerDump.h"
#include "platform/gfx/LayerRenderer.h"
#include "platform/gfx/ShapeLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using pf::Layer;
using pf::Rect;
using namespace border_test;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinite = std::numeric_limits<double>::infinity();

}  // namespace

TEST(BorderEmissions, WorkedExampleCountsAndOrder) {
  const Rect rect(180, 180, 500, 300);
  const auto points = QuibBorderVFX::emissions(rect, 1.35);
  ASSERT_EQ(points.size(), 57u);  // 28 top + 7 corners + 6 + 6 sides + 10 bottom
  for (int i = 0; i < 28; ++i) {
    EXPECT_EQ(points[i].seed, i + 1);
    EXPECT_EQ(points[i].point.y, rect.maxY() + 1);
    EXPECT_DOUBLE_EQ(points[i].point.x, 180 + 500 * (i + 0.15 + 0.7 * QuibBorderVFX::noise(i)) / 28);
  }
  for (int q = 0; q < 7; ++q) {
    const auto& e = points[28 + q];
    EXPECT_EQ(e.seed, 100 + q);
    EXPECT_EQ(e.strength, 1.35);
    EXPECT_TRUE(q < 4 ? e.point.x < rect.minX() + 22 : e.point.x > rect.maxX() - 28) << q;
  }
  for (int j = 0; j < 6; ++j) {
    EXPECT_EQ(points[35 + j].seed, 200 + j);
    EXPECT_EQ(points[35 + j].point.x, rect.minX() - 3);
    EXPECT_EQ(points[41 + j].seed, 230 + j);
    EXPECT_EQ(points[41 + j].point.x, rect.maxX() + 3);
  }
  // Higher up the sides is stronger.
  EXPECT_LT(points[35].strength, points[40].strength);
  for (int q = 0; q < 10; ++q) {
    EXPECT_EQ(points[47 + q].seed, 300 + q);
    EXPECT_EQ(points[47 + q].point.y, rect.minY() - 5);
    EXPECT_EQ(points[47 + q].strength, 0.45);
  }
}

TEST(BorderEmissions, SmallWindowsGetTheMinimumAndHugeOnesTheMaximum) {
  EXPECT_EQ(QuibBorderVFX::emissions(Rect(0, 0, 30, 40), 1.35).size(), 2u + 7 + 2 + 2 + 2);
  EXPECT_EQ(QuibBorderVFX::emissions(Rect(0, 0, 1e300, 1e300), 2).size(), 64u + 7 + 56 + 28);
  EXPECT_EQ(QuibBorderVFX::emissions(Rect(0, 0, notANumber, notANumber), 1).size(), 15u);
  EXPECT_TRUE(QuibBorderVFX::emissions(Rect(0, 0, 500, 300), 0).empty());
  EXPECT_TRUE(QuibBorderVFX::emissions(Rect(0, 0, 500, 300), notANumber).empty());
}

TEST(BorderCounts, AreClampedBeforeConversion) {
  EXPECT_EQ(BorderVFXParts::count(28.125, 2, 64), 28);
  EXPECT_EQ(BorderVFXParts::count(-5.9, 2, 64), 2);
  EXPECT_EQ(BorderVFXParts::count(notANumber, 2, 64), 2);
  EXPECT_EQ(BorderVFXParts::count(infinite, 2, 64), 64);
  EXPECT_EQ(BorderVFXParts::count(-infinite, 5, 36), 5);
  EXPECT_EQ(BorderVFXParts::count(1e300, 5, 36), 36);
}

TEST(BorderPopulate, MaskHidesTheWindowAndStaysWhenNothingIsDrawn) {
  for (const auto& c : {effect(QuibBorderEffect::none), BorderVFXConfiguration{QuibBorderEffect::fire, 0, 1.35, 0.8, 1},
                        BorderVFXConfiguration{QuibBorderEffect::smoke, 0.95, 0, 0.8, 1}}) {
    Band band(500, 300);
    band.build(effect(QuibBorderEffect::fire));
    ASSERT_FALSE(band.root->sublayers().empty());
    ASSERT_NE(band.root->animation("vfxPulse"), nullptr);
    band.build(c);
    EXPECT_TRUE(band.root->sublayers().empty());
    EXPECT_TRUE(band.root->animationKeys().isEmpty());
    ASSERT_NE(band.root->mask(), nullptr);
    ASSERT_EQ(band.root->mask()->kind(), Layer::Kind::shape);
    const auto& mask = static_cast<const pf::ShapeLayer&>(*band.root->mask());
    pf::Path expected = pf::Path::rect(Rect(0, 0, 860, 660));
    expected.addRect(band.rect);
    EXPECT_EQ(mask.path(), expected);
    EXPECT_EQ(mask.fillRule(), pf::ShapeLayer::FillRule::evenOdd);
    EXPECT_TRUE(mask.fillColor().has_value());
  }
}

TEST(BorderPopulate, PulsesTheWholeEffectUnlessMotionIsReduced) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::smoke));
  const auto pulse = std::dynamic_pointer_cast<const pf::BasicAnimation>(band.root->animation("vfxPulse"));
  ASSERT_NE(pulse, nullptr);
  EXPECT_EQ(pulse->keyPath, "opacity");
  EXPECT_EQ(std::get<double>(*pulse->fromValue), 0.84);
  EXPECT_EQ(std::get<double>(*pulse->toValue), 1.0);
  EXPECT_DOUBLE_EQ(pulse->duration, 3.8);
  EXPECT_TRUE(pulse->autoreverses);
  EXPECT_EQ(pulse->repeatCount, pf::Animation::repeatForever);
  EXPECT_EQ(pulse->timingFunction, pf::TimingFunction::easeInEaseOut());
  EXPECT_EQ(pulse->timeOffset, 0);
  band.build(effect(QuibBorderEffect::smoke), true);
  EXPECT_EQ(band.root->animation("vfxPulse"), nullptr);
}

TEST(BorderPopulate, FireBuildsFlamesGlowsAndEmbers) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::fire));
  const Layer& root = *band.root;
  // 57 emissions: 171 flames, 57 glows below them, clamp(trunc(15), 5, 36) embers.
  ASSERT_EQ(root.sublayers().size(), 171u + 57 + 15);
  for (std::size_t i = 0; i < 57; ++i) {
    ASSERT_EQ(root.sublayers()[i]->kind(), Layer::Kind::gradient) << i;
  }
  EXPECT_EQ(withKey(root, "attachedSource"), 57);
  EXPECT_EQ(withKey(root, "borderVFX"), 114);
  EXPECT_EQ(withKey(root, "emberRise"), 15);
  EXPECT_EQ(countLayers(root, [](const Layer& l) { return !l.contents().isNull(); }), 171);

  // The glow of the first top emission (strength 1 + 0.15 noise(45)).
  const auto& glow = static_cast<const pf::GradientLayer&>(*root.sublayers()[56]);
  const auto first = QuibBorderVFX::emissions(band.rect, 1.35).front();
  EXPECT_EQ(glow.type(), pf::GradientLayer::Type::radial);
  EXPECT_EQ(glow.frame(), Rect(first.point.x - 34, first.point.y - 18, 68, 44));
  ASSERT_EQ(glow.colors().size(), 2u);
  EXPECT_DOUBLE_EQ(glow.colors()[0].alpha, first.strength * 0.8 * 0.38);
  EXPECT_EQ(glow.colors()[1].alpha, 0);
  EXPECT_EQ(glow.startPoint(), (pf::Point{0.5, 0.25}));
  EXPECT_EQ(glow.endPoint(), (pf::Point{1, 1}));
}

TEST(BorderPopulate, EdgeFlameOfTheFirstEmission) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::fire));
  const auto first = QuibBorderVFX::emissions(band.rect, 1.35).front();
  const Layer& flame = *band.root->sublayers()[57];
  const double n = QuibBorderVFX::noise(1 + 90), m = QuibBorderVFX::noise(1 + 91);
  const double o0 = std::min(0.65 * 0.95 * first.strength, 1.0);
  EXPECT_EQ(flame.bounds(), Rect(0, 0, 0.5 * (58 + 45 * n), 0.5 * (64 + 48 * m)));
  EXPECT_EQ(flame.anchorPoint(), (pf::Point{0.5, 0.04}));
  EXPECT_EQ(flame.position(), first.point);
  EXPECT_EQ(flame.contents(), BorderTextures::fire()[1]);
  EXPECT_FLOAT_EQ(flame.opacity(), static_cast<float>(0.7 * o0));
  const auto flicker = std::dynamic_pointer_cast<const pf::BasicAnimation>(flame.animation("attachedSource"));
  ASSERT_NE(flicker, nullptr);
  EXPECT_DOUBLE_EQ(std::get<double>(*flicker->fromValue), 0.55 * o0);
  EXPECT_DOUBLE_EQ(std::get<double>(*flicker->toValue), o0);
  EXPECT_DOUBLE_EQ(flicker->duration, 2.8 + 2 * n);
  EXPECT_DOUBLE_EQ(flicker->timeOffset, n * flicker->duration);
  EXPECT_TRUE(flicker->autoreverses);
}

TEST(BorderPopulate, RisingWispsDriftOutwardOnTheSidesAndHangBelowTheWindow) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::smoke));
  const Layer& root = *band.root;
  // Emission 35 is the lowest on the left side, 47 the first under the bottom edge.
  const Layer& left = *root.sublayers()[35 * 3 + 1];
  const auto group = std::dynamic_pointer_cast<const pf::AnimationGroup>(left.animation("borderVFX"));
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->animations.size(), 3u);
  const auto& path = static_cast<const pf::KeyframeAnimation&>(*group->animations[0]);
  const pf::Point p = left.position();
  const double dx = 32 * (QuibBorderVFX::noise(200 + 997 + 18) - 0.5) - 24;
  EXPECT_EQ(std::get<pf::Point>(path.values[2]), (pf::Point{p.x + dx, p.y + 38}));
  const auto& scale = static_cast<const pf::BasicAnimation&>(*group->animations[1]);
  EXPECT_EQ(std::get<double>(*scale.toValue), 1.3);
  const auto& fade = static_cast<const pf::KeyframeAnimation&>(*group->animations[2]);
  EXPECT_EQ(fade.keyTimes, (std::vector<double>{0, 0.25, 0.5, 0.8, 1}));
  EXPECT_DOUBLE_EQ(group->duration, 7 + 4 * QuibBorderVFX::noise(200 + 997 + 90));
  EXPECT_EQ(group->timingFunction, pf::TimingFunction::easeInEaseOut());
  EXPECT_EQ(root.sublayers()[47 * 3]->anchorPoint(), (pf::Point{0.5, 0.82}));
  EXPECT_EQ(root.sublayers()[46 * 3]->anchorPoint(), (pf::Point{0.5, 0.04}));
}

TEST(BorderPopulate, SmokeHasNoGlowsOrEmbersAndFireWithoutGlowHasNoGlows) {
  Band smoke(500, 300);
  smoke.build(effect(QuibBorderEffect::smoke));
  EXPECT_EQ(smoke.root->sublayers().size(), 171u);
  EXPECT_EQ(withKey(*smoke.root, "emberRise"), 0);
  EXPECT_EQ(smoke.root->sublayers()[0]->contents(), BorderTextures::smoke()[1]);

  Band fire(500, 300);
  fire.build({QuibBorderEffect::fire, 0.95, 1.35, 0, 1});
  EXPECT_EQ(fire.root->sublayers().size(), 171u + 15);
  EXPECT_EQ(countLayers(*fire.root, [](const Layer& l) { return l.kind() == Layer::Kind::gradient; }), 0);
}

TEST(BorderPopulate, OddConfigurationsBuildFiniteTrees) {
  Band band(500, 300);
  band.build({QuibBorderEffect::fire, notANumber, 1e300, infinite, 0});
  // NaN opacity and infinite glow take their defaults, intensity is held to 2, speed 0 to 0.2.
  Band expected(500, 300);
  expected.build({QuibBorderEffect::fire, 0.95, 2, 0.8, 0.2});
  EXPECT_EQ(pf::dump(*band.root), pf::dump(*expected.root));
  forEachAnimation(*band.root, [](const pf::Animation& a) {
    ASSERT_TRUE(std::isfinite(a.duration));
    ASSERT_TRUE(std::isfinite(a.timeOffset));
  });

  Band huge(1e300, 1e300);
  huge.build(effect(QuibBorderEffect::fire));
  EXPECT_EQ(huge.root->sublayers().size(), 155u * 3 + 155 + 36);
}

TEST(BorderPopulate, NothingShowsOverTheWindow) {
  pf::AnimationClock::setTimeSource([] { return 0.0; });
  Band band(200, 120);
  band.build(effect(QuibBorderEffect::fire));
  pf::LayerRenderer renderer;
  const QSizeF size(560, 480);
  renderer.prepare(*band.root, 1.5, size);
  QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.paint(painter, QRegion(image.rect()));
  painter.end();
  pf::AnimationClock::setTimeSource({});
  // y down: the window spans x 180..380 and y 180..300 of the image.
  int inside = 0, above = 0;
  for (int y = 180; y < 300; ++y) {
    for (int x = 180; x < 380; ++x) inside += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  }
  for (int y = 140; y < 180; ++y) {
    for (int x = 180; x < 380; ++x) above += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  }
  EXPECT_EQ(inside, 0);
  EXPECT_GT(above, 200 * 40 / 2);  // flames stand along the top edge
}

TEST(BorderTextures, FlamesStandOnTheirBaseAndRedden) {
  for (int v = 0; v < BorderTextures::variants; ++v) {
    const QImage& image = BorderTextures::fire()[static_cast<std::size_t>(v)];
    ASSERT_EQ(image.size(), QSize(96, 144));
    // Stored upright: the widest, brightest part is near the bottom rows.
    const QColor base = image.pixelColor(48, 144 - 12);
    EXPECT_GT(base.alpha(), 150) << v;
    EXPECT_GT(base.green(), 150) << v;
    EXPECT_LT(image.pixelColor(48, 4).alpha(), 40) << v;
  }
  EXPECT_NE(BorderTextures::fire()[0], BorderTextures::fire()[1]);
}

TEST(BorderTextures, SmokeIsGreyAndPuffIsACloudAboutTheCentre) {
  const QImage& smoke = BorderTextures::smoke()[3];
  ASSERT_EQ(smoke.size(), QSize(96, 144));
  const QColor low = smoke.pixelColor(48, 144 - 10);
  EXPECT_GT(low.alpha(), 20);
  EXPECT_EQ(low.red(), low.green());
  EXPECT_EQ(low.green(), low.blue());

  const QImage& puff = BorderTextures::puff();
  ASSERT_EQ(puff.size(), QSize(128, 128));
  EXPECT_GT(puff.pixelColor(64, 64).alpha(), 100);
  EXPECT_EQ(puff.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(puff.pixelColor(127, 127).alpha(), 0);
  EXPECT_EQ(&puff, &BorderTextures::puff());
}

TEST(BorderPopulate, WispsBesideTheWindowDriftAwayFromItOnBothSides) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::smoke));
  int left = 0, right = 0;
  for (const auto& layer : band.root->sublayers()) {
    const auto group = std::dynamic_pointer_cast<const pf::AnimationGroup>(layer->animation("borderVFX"));
    if (!group) continue;
    const auto& path = static_cast<const pf::KeyframeAnimation&>(*group->animations[0]);
    const double start = std::get<pf::Point>(path.values[0]).x, end = std::get<pf::Point>(path.values[2]).x;
    // 32 points of sideways wander either way, 24 more outwards beside the window.
    if (start > band.rect.maxX()) {
      ++right;
      EXPECT_GE(end - start, 8);
    } else if (start < band.rect.minX()) {
      ++left;
      EXPECT_LE(end - start, -8);
    } else {
      EXPECT_LE(std::fabs(end - start), 16);
    }
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(right, 0);
}

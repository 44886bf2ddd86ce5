// Vines, blossoms, fireflies, runes, matrix, snow and toxic.
#include "BorderFixture.h"
#include "platform/gfx/GradientLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using pf::Color;
using pf::Layer;
using pf::Point;
using pf::Rect;
using namespace border_test;

namespace {

double noise(int n) { return QuibBorderVFX::noise(n); }

}  // namespace

TEST(VinesEffect, SegmentsWaveAlongTheEdgeWithSevenLeaves) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::vines));
  const auto segments = band.named("vineSegment");
  ASSERT_EQ(segments.size(), 14u);
  ASSERT_EQ(band.root->sublayers().size(), 14u);
  for (std::size_t j = 0; j < 4; ++j) {  // the top edge, left to right, 150 points each
    const Layer& segment = *segments[j];
    EXPECT_EQ(layerCount(segment), 23);
    EXPECT_FLOAT_EQ(segment.opacity(), 0.95f);
    const pf::Path& path = shape(*segment.sublayers()[0]).path();
    ASSERT_EQ(path.elementCount(), 41);
    EXPECT_NEAR(path.element(0).points[0].x, band.rect.minX() + 150.0 * j, 1e-9);
    EXPECT_NEAR(path.element(40).end().x, band.rect.minX() + 150.0 * (j + 1), 1e-9);
    for (const auto& el : path.elements()) {
      EXPECT_GE(el.end().y - band.rect.maxY(), 4 - 1e-9);
      EXPECT_LE(el.end().y - band.rect.maxY(), 18 + 1e-9);
    }
    const auto& growing = shape(*segment.sublayers()[1]);
    EXPECT_EQ(growing.name(), "growingVine");
    EXPECT_EQ(growing.path(), path);
    EXPECT_EQ(growing.lineCap(), pf::LineCap::round);
  }
  // The bottom edge runs right to left.
  EXPECT_NEAR(shape(*segments[4]->sublayers()[0]).path().element(0).points[0].x, band.rect.maxX(), 1e-9);
}

TEST(VinesEffect, LeavesLightUpAsTheVinePassesThem) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::vines));
  const Layer& segment = *band.named("vineSegment").back();  // right edge, j = 2
  const int b = 503 * 3 + 37 * 2;
  const auto crawl = animationAs<pf::KeyframeAnimation>(*segment.sublayers()[1], "vineCrawl");
  ASSERT_NE(crawl, nullptr);
  EXPECT_EQ(crawl->keyPath, "strokeEnd");
  EXPECT_DOUBLE_EQ(crawl->duration, 22 + 10 * noise(b + 1));
  for (int m = 0; m < 7; ++m) {
    const Layer& leaf = *segment.sublayers()[static_cast<std::size_t>(2 + m)];
    ASSERT_EQ(leaf.name(), "vineLeaf");
    const double angle = -std::numbers::pi / 2 + (m % 2 == 1 ? 0.45 : -0.45);
    EXPECT_DOUBLE_EQ(leaf.transform().rotation, angle);
    const auto light = animationAs<pf::KeyframeAnimation>(leaf, "leafGrowth");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->duration, crawl->duration);
    EXPECT_EQ(light->timeOffset, crawl->timeOffset);
    for (std::size_t k = 1; k < light->keyTimes.size(); ++k) {
      EXPECT_LT(light->keyTimes[k - 1], light->keyTimes[k]) << m;
    }
    const auto sway = animationAs<pf::BasicAnimation>(leaf, "leafSway");
    ASSERT_NE(sway, nullptr);
    EXPECT_DOUBLE_EQ(std::get<double>(*sway->toValue), angle + 0.12);
    EXPECT_DOUBLE_EQ(sway->duration, 3 + 3 * noise(b + m + 20));
    const double z = 9 + 9 * noise(b + m + 10);
    EXPECT_EQ(shape(*leaf.sublayers()[0]).path().element(1).end(), (Point{0, z}));
  }
  // The last leaf lights at 0.65 x 13/14 + 0.06, before the hold ends.
  const auto last = animationAs<pf::KeyframeAnimation>(*segment.sublayers()[8], "leafGrowth");
  EXPECT_NEAR(last->keyTimes[2], 0.6636, 1e-4);
}

TEST(BlossomsEffect, PetalsFallOntoTheTopEdge) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::blossoms));
  const Layer& petal = *band.named("cherryPetal")[3];  // top edge, k = 3
  const int s = 31 * 3;
  const double z = 7 + 9 * noise(s + 1);
  EXPECT_DOUBLE_EQ(petal.transform().rotation, 2 * std::numbers::pi * noise(s + 8));
  EXPECT_FLOAT_EQ(petal.opacity(), static_cast<float>(0.8 * 0.95));
  ASSERT_EQ(petal.sublayers().size(), 2u);
  EXPECT_EQ(shape(*petal.sublayers()[1]).strokeColor()->alpha, 0.4);
  const auto drift = animationAs<pf::AnimationGroup>(petal, "petalDrift");
  ASSERT_NE(drift, nullptr);
  ASSERT_EQ(drift->animations.size(), 4u);
  const auto& path = static_cast<const pf::KeyframeAnimation&>(*drift->animations[0]);
  const Point a = petal.position(), b = std::get<Point>(path.values[3]);
  EXPECT_GE(a.y - band.rect.maxY(), 50);
  EXPECT_LE(a.y - band.rect.maxY(), 120);
  EXPECT_DOUBLE_EQ(b.y, band.rect.maxY() + z + 5);
  EXPECT_GE(b.x - a.x, 20);
  EXPECT_LE(b.x - a.x, 45);
  EXPECT_EQ(static_cast<const pf::PropertyAnimation&>(*drift->animations[2]).keyPath, "transform.scale.x");
  // A slight zigzag: right of the straight fall a third of the way, left of it two thirds.
  EXPECT_NEAR(std::get<Point>(path.values[1]).x, a.x + 0.35 * (b.x - a.x) + 8, 1e-9);
  EXPECT_NEAR(std::get<Point>(path.values[2]).x, a.x + 0.7 * (b.x - a.x) - 5, 1e-9);
  EXPECT_NEAR(std::get<Point>(path.values[2]).y, a.y + 0.7 * (b.y - a.y), 1e-9);
  EXPECT_DOUBLE_EQ(drift->duration, 12 + 10 * noise(s + 10));

  const Layer& side = *band.named("cherryPetal")[28];  // left edge, k = 0
  const int q = 919 * 2;
  EXPECT_DOUBLE_EQ(side.position().x, band.rect.minX() - (15 + 70 * noise(q + 2)) - (7 + 9 * noise(q + 1)));
  EXPECT_DOUBLE_EQ(side.position().y, band.rect.minY() + 400 * noise(q + 3) + 35);
}

TEST(FirefliesEffect, OrbitsAroundTheWindowFromOneSideByTurns) {
  Band band(800, 500);
  band.build(effect(QuibBorderEffect::fireflies));
  const auto flies = band.named("firefly");
  ASSERT_EQ(flies.size(), 27u);
  int held = 0, free = 0;
  for (std::size_t i = 0; i < flies.size(); ++i) {
    const Layer& fly = *flies[i];
    const auto orbit = animationAs<pf::KeyframeAnimation>(fly, "fireflyOrbit");
    ASSERT_NE(orbit, nullptr);
    ASSERT_TRUE(orbit->path.has_value());
    EXPECT_EQ(orbit->calculationMode, pf::KeyframeAnimation::CalculationMode::paced);
    const Rect grown = orbit->path->controlBounds();
    const double d = band.rect.minX() - grown.minX();
    EXPECT_GE(d, 18);
    EXPECT_LE(d, 83);
    const double corner = std::min(0.65 * d, 35.0);
    (corner == 35 ? held : free) += 1;
    EXPECT_EQ(*orbit->path, pf::Path::roundedRect(grown, corner, corner));
    const Point p = fly.position();
    const std::array<bool, 4> onSide{p.y == grown.maxY(), p.x == grown.maxX(), p.y == grown.minY(),
                                     p.x == grown.minX()};
    EXPECT_TRUE(onSide[i % 4]) << i;
    EXPECT_NEAR(orbit->timeOffset / orbit->duration, noise(43 * static_cast<int>(i) + 4), 1e-12);
    const auto glow = animationAs<pf::KeyframeAnimation>(fly, "fireflyGlow");
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(std::get<double>(glow->values.front()), 0.04);
  }
  EXPECT_GT(held, 0);
  EXPECT_GT(free, 0);
}

TEST(FirefliesEffect, WithoutGlowNoShadowOrHaloShows) {
  Band band(800, 500);
  band.build({QuibBorderEffect::fireflies, 0.95, 1.35, 0, 1});
  for (const auto& fly : band.named("firefly")) {
    EXPECT_EQ(fly->shadowOpacity(), 0);
    EXPECT_EQ(fly->shadowRadius(), 5);
    const auto& halo = dynamic_cast<const pf::GradientLayer&>(*fly->sublayers().at(0));
    EXPECT_EQ(halo.colors().at(0).alpha, 0);
    EXPECT_EQ(halo.frame().width(), 18);
  }
}

TEST(RunesEffect, FiguresRunAlongEachEdgeAndEveryThirdIsViolet) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::runes));
  const auto runes = band.named("magicRune");
  ASSERT_EQ(band.root->sublayers().size(), runes.size());
  // Each figure by its first two points, in half widths and half heights.
  const std::array<std::array<Point, 2>, 6> figures{{{{{0, -1}, {0, 1}}},
                                                     {{{0, 1}, {1, 0}}},
                                                     {{{-1, 0.5}, {0, 1}}},
                                                     {{{-1, -1}, {-1, 1}}},
                                                     {{{-1, 1}, {1, 1}}},
                                                     {{{-1, 1}, {0, 0}}}}};
  const std::array<std::size_t, 4> firsts{0, 14, 28, 37};
  const std::array<int, 4> firstFigure{0, 3, 0, 3};
  for (std::size_t e = 0; e < 4; ++e) {
    const std::size_t end = e < 3 ? firsts[e + 1] : runes.size();
    for (std::size_t k = firsts[e]; k < end; ++k) {
      const std::size_t j = k - firsts[e];
      const auto& figure = shape(*runes[k]->sublayers().at(0));
      const Rect box = figure.path().controlBounds();
      const double h = box.height() / 2, w = box.width() / 2;
      const auto& expected = figures[(static_cast<std::size_t>(firstFigure[e]) + j) % 6];
      for (int p = 0; p < 2; ++p) {
        const Point at = figure.path().element(p).end();
        EXPECT_NEAR(at.x, expected[static_cast<std::size_t>(p)].x * w, 1e-9) << k;
        EXPECT_NEAR(at.y, expected[static_cast<std::size_t>(p)].y * h, 1e-9) << k;
      }
      EXPECT_EQ(figure.strokeColor(),
                j % 3 == 0 ? Color::calibratedRGB(0.72, 0.42, 1.0, 1.0) : Color::calibratedRGB(0.4, 0.75, 1.0, 1.0));
      EXPECT_FLOAT_EQ(runes[k]->opacity(), static_cast<float>(0.65 * (e == 1 ? 0.7 : 0.95) * 0.95));
    }
  }
  EXPECT_EQ(runes[14]->position().y, band.rect.minY() - 25);
  const double g = 12 + 6 * noise(1 + 607 + 41 * 2);  // bottom edge, k = 2: a triangle as high as the rune
  EXPECT_NEAR(shape(*runes[16]->sublayers()[0]).path().controlBounds().height(), g, 1e-9);
  EXPECT_EQ(runes[37]->position().x, band.rect.maxX() + 25);
}

TEST(MatrixEffect, StreamsFadeFromTheirHeadAndFall) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::matrix));
  const auto streams = band.named("dataRainStream");
  bool sawFive = false;
  for (const auto& stream : streams) {
    const auto& digits = stream->sublayers();
    ASSERT_GE(digits.size(), 3u);
    ASSERT_LE(digits.size(), 5u);
    for (std::size_t i = 0; i < digits.size(); ++i) {
      EXPECT_EQ(digits[i]->position(), (Point{0, 9.0 * i}));
      EXPECT_FLOAT_EQ(digits[i]->shadowOpacity(), i == 0 ? 0.52f : 0.0f);
      // A zero or a one, 7 points high; the one's foot reaches further right.
      const pf::Path& glyph = shape(*digits[i]).path();
      EXPECT_EQ(glyph.controlBounds(), glyph.elementCount() == 5 ? Rect(-1, 0, 4, 7) : Rect(-2, 0, 4, 7));
    }
    if (digits.size() != 5) continue;
    sawFive = true;
    const std::array<double, 5> alphas{0.85, 0.68, 0.51, 0.34, 0.17};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(shape(*digits[i]).strokeColor()->alpha, alphas[i], 1e-12);
    EXPECT_EQ(shape(*digits[0]).strokeColor(), Color::calibratedRGB(0.68, 1.0, 0.76, 0.85));
  }
  EXPECT_TRUE(sawFive);
  const Layer& top = *streams.front();
  EXPECT_FLOAT_EQ(top.opacity(), static_cast<float>(0.7 * 0.95));
  const auto fall = animationAs<pf::AnimationGroup>(top, "dataFall");
  ASSERT_NE(fall, nullptr);
  const auto& move = static_cast<const pf::BasicAnimation&>(*fall->animations[0]);
  EXPECT_EQ(std::get<Point>(*move.toValue), (Point{top.position().x, top.position().y - 52}));
  EXPECT_DOUBLE_EQ(fall->duration, 5 + 5 * noise(4));
  const int m = 823 * 2 + 47 * 3;  // left edge, j = 3
  EXPECT_DOUBLE_EQ(streams[28 + 3]->animation("dataFall")->duration, 5 + 5 * noise(m + 4));
  const Layer& right = *streams[28 + 9];  // right edge, j = 0: falls 70 to 105 points
  const auto& rightFall =
      static_cast<const pf::BasicAnimation&>(*animationAs<pf::AnimationGroup>(right, "dataFall")->animations[0]);
  EXPECT_DOUBLE_EQ(std::get<Point>(*rightFall.toValue).y, right.position().y - 70 - 35 * noise(823 * 3 + 2));
  EXPECT_EQ(fall->timingFunction, pf::TimingFunction());
}

TEST(SnowEffect, RimsCapAndFlakesInOrder) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::snow));
  const auto& subs = band.root->sublayers();
  ASSERT_EQ(subs.size(), 3u + 35 + 70);
  const std::array<std::pair<double, double>, 3> rims{{{10, 0.12}, {5, 0.35}, {2, 0.75}}};
  const Color snow = Color::calibratedRGB(0.76, 0.9, 1.0, 1.0);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& rim = shape(*subs[i]);
    EXPECT_EQ(rim.name(), "snowFrostRim");
    EXPECT_EQ(rim.lineWidth(), rims[i].first);
    EXPECT_EQ(rim.strokeColor(), snow.withAlpha(0.95 * rims[i].second));
    EXPECT_FLOAT_EQ(rim.shadowOpacity(), 0.32f);
  }
  for (std::size_t i = 3; i < 38; ++i) {
    EXPECT_TRUE(subs[i]->name().isEmpty());
    const double r = subs[i]->bounds().height();
    EXPECT_DOUBLE_EQ(subs[i]->position().y, band.rect.maxY() + r / 4);
  }
  const Layer& flake = *subs[38];  // top edge, j = 0
  EXPECT_EQ(flake.name(), "snowflake");
  EXPECT_GE(flake.position().y, band.rect.maxY() + 45);
  const auto fall = animationAs<pf::AnimationGroup>(flake, "snowfall");
  ASSERT_NE(fall, nullptr);
  const auto& path = static_cast<const pf::KeyframeAnimation&>(*fall->animations[0]);
  EXPECT_EQ(std::get<Point>(path.values[2]), (Point{flake.position().x + 18, band.rect.maxY() + 4}));
  EXPECT_DOUBLE_EQ(fall->duration, 9 + 10 * noise(6));

  const Layer& side = *subs[3 + 35 + 22 + 22];  // left edge, j = 0: falls alongside, drifting out
  const int s = 907 * 2;
  const Point from{band.rect.minX() - 14 - 70 * noise(s + 3), band.rect.minY() + 300 * noise(s + 1) + 25};
  EXPECT_EQ(side.position(), from);
  const auto& sideFall =
      static_cast<const pf::KeyframeAnimation&>(*animationAs<pf::AnimationGroup>(side, "snowfall")->animations[0]);
  EXPECT_EQ(std::get<Point>(sideFall.values[2]), (Point{from.x - 12, from.y - 85 - 40 * noise(s + 4)}));
}

TEST(SnowEffect, CapIsHeldToEightyLumps) {
  Band band(2000, 300);
  band.build(effect(QuibBorderEffect::snow));
  EXPECT_EQ(countLayers(*band.root, [](const Layer& l) { return l.name().isEmpty(); }), 80);
}

TEST(ToxicEffect, VapourWithAlternatingBubblesAndDroplets) {
  Band band(500, 300);
  band.build(effect(QuibBorderEffect::toxic));
  const auto& subs = band.root->sublayers();
  ASSERT_EQ(subs.front()->name(), "toxicRim");
  QString order;
  for (std::size_t i = 1; i < subs.size(); ++i) order += subs[i]->name().mid(5, 1);
  // V vapour, B bubble, D droplet: 11 elements on the top and bottom edges, 6 on each side.
  const QString eleven = "VBVVDVVBVVDVVBVVD", six = "VBVVDVVBV";
  EXPECT_EQ(order, eleven + eleven + six + six);

  // A droplet on the top edge stays level; one on the left edge falls, moved out by its radius.
  const Layer& vapor = *band.named("toxicVapor")[1];  // top edge, j = 1
  EXPECT_EQ(vapor.bounds(), Rect(0, 0, 24 + 27 * noise(59 + 1), 35 + 35 * noise(59 + 2)));
  EXPECT_FLOAT_EQ(vapor.opacity(), static_cast<float>(0.6 * 0.95));
  const auto& drift =
      static_cast<const pf::BasicAnimation&>(*animationAs<pf::AnimationGroup>(vapor, "toxicDrift")->animations[0]);
  EXPECT_EQ(std::get<Point>(*drift.toValue),
            (Point{vapor.position().x + 24 * (noise(59 + 3) - 0.5), vapor.position().y + 45}));
  const auto droplets = band.named("toxicDroplet");
  const auto topFall = animationAs<pf::AnimationGroup>(*droplets.front(), "toxicAccent");
  ASSERT_NE(topFall, nullptr);
  const auto& level = static_cast<const pf::BasicAnimation&>(*topFall->animations[0]);
  EXPECT_EQ(std::get<Point>(*level.toValue).y, std::get<Point>(*level.fromValue).y);
  const Layer& left = *droplets[6];  // edge 2, j = 2
  const int s = 941 * 2 + 59 * 2;
  EXPECT_DOUBLE_EQ(left.position().x, band.rect.minX() - 15 - (3 + 5 * noise(s + 6)));
  const auto leftFall = animationAs<pf::AnimationGroup>(left, "toxicAccent");
  const auto& down = static_cast<const pf::BasicAnimation&>(*leftFall->animations[0]);
  EXPECT_EQ(std::get<Point>(*down.toValue), (Point{left.position().x - 9, left.position().y - 35}));
  EXPECT_EQ(std::get<double>(*static_cast<const pf::BasicAnimation&>(*leftFall->animations[2]).toValue), 0.9);
  EXPECT_EQ(shape(left).fillColor()->alpha, 0.6);
}

TEST(ToxicEffect, WithoutGlowNothingCastsAShadow) {
  Band band(500, 300);
  band.build({QuibBorderEffect::toxic, 0.95, 1.35, 0, 1});
  int accents = 0;
  for (const auto& l : band.root->sublayers()) {
    EXPECT_EQ(l->shadowOpacity(), 0);
    accents += l->kind() == Layer::Kind::shape ? 1 : 0;
  }
  EXPECT_EQ(accents, 1 + 6 + 6 + 3 + 3);
}

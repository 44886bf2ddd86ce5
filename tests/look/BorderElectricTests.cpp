// Lightning, plasma, frost, starfield and bubbles.
#include "BorderFixture.h"
#include "platform/gfx/Presentation.h"

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

// The edge a point 1 + d outside the window lies off: 0 top, 1 bottom, 2 left, 3 right, -1 none.
int edgeOf(Point p, const Rect& r, double d) {
  if (p.y == r.maxY() + d) return 0;
  if (p.y == r.minY() - d) return 1;
  if (p.x == r.minX() - d) return 2;
  if (p.x == r.maxX() + d) return 3;
  return -1;
}

std::array<int, 4> perEdge(const std::vector<Point>& points, const Rect& r, double d) {
  std::array<int, 4> n{};
  for (const Point& p : points) {
    const int e = edgeOf(p, r, d);
    if (e >= 0) ++n[static_cast<std::size_t>(e)];
  }
  return n;
}

Point firstPoint(const pf::Path& path) { return path.element(0).points[0]; }
Point lastPoint(const pf::Path& path) { return path.element(path.elementCount() - 1).end(); }

const Color violet = Color::calibratedRGB(0.52, 0.32, 1.0, 1.0);
const Color blue = Color::calibratedRGB(0.2, 0.6, 1.0, 1.0);

}  // namespace

TEST(LightningEffect, ArcsPerEdgeEndOnTheirContactDots) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::lightning));
  const auto& subs = band.root->sublayers();
  ASSERT_EQ(subs.size(), (8u + 5 + 3 + 3) * 3);
  std::vector<Point> starts;
  for (std::size_t i = 0; i < subs.size(); i += 3) {
    ASSERT_EQ(subs[i]->name(), "lightningArc");
    const pf::Path& arc = shape(*subs[i]->sublayers()[1]).path();
    ASSERT_EQ(arc.elementCount(), 11);
    EXPECT_EQ(subs[i + 1]->name(), "lightningContact");
    EXPECT_EQ(subs[i + 1]->position(), firstPoint(arc));
    EXPECT_EQ(subs[i + 2]->position(), lastPoint(arc));
    EXPECT_EQ(edgeOf(lastPoint(arc), band.rect, 1), edgeOf(firstPoint(arc), band.rect, 1));
    starts.push_back(firstPoint(arc));
  }
  EXPECT_EQ(perEdge(starts, band.rect, 1), (std::array<int, 4>{8, 5, 3, 3}));
}

TEST(LightningEffect, ArcStrokesColoursAndFlicker) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::lightning));
  const auto arcs = band.named("lightningArc");
  // Edge 1 (bottom) starts at arc 8: its first arc is violet again.
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    const std::size_t j = i < 8 ? i : (i < 13 ? i - 8 : (i - 13) % 3);
    const Color c = j % 3 == 0 ? violet : blue;
    const auto& strokes = arcs[i]->sublayers();
    ASSERT_EQ(strokes.size(), 4u);
    EXPECT_EQ(shape(*strokes[0]).strokeColor(), c.withAlpha(0.1)) << i;
    EXPECT_EQ(shape(*strokes[1]).strokeColor(), c.withAlpha(0.38)) << i;
    EXPECT_EQ(shape(*strokes[3]).strokeColor(), c.withAlpha(0.65)) << i;
  }
  const auto& strokes = arcs[0]->sublayers();
  const std::array<double, 4> widths{8, 3, 1.1, 0.7};
  for (std::size_t k = 0; k < 4; ++k) {
    const auto& s = shape(*strokes[k]);
    EXPECT_EQ(s.lineWidth(), widths[k]);
    EXPECT_FALSE(s.fillColor().has_value());
    EXPECT_EQ(s.lineCap(), k < 3 ? pf::LineCap::round : pf::LineCap::butt);
    EXPECT_EQ(s.shadowOpacity(), k == 1 ? 0.8f : 0.0f);
  }
  EXPECT_EQ(strokes[1]->shadowRadius(), 9);
  EXPECT_EQ(strokes[1]->shadowOffset(), (pf::Size{0, 0}));
  EXPECT_EQ(shape(*strokes[2]).strokeColor(), Color::calibratedRGB(0.83, 0.95, 1.0, 0.95));

  // The bottom edge's alpha is 0.55 of the opacity; the arc flares to it halfway through.
  const Layer& bottom = *arcs[8];
  const double a = 0.95 * 0.55;
  EXPECT_FLOAT_EQ(bottom.opacity(), static_cast<float>(0.7 * a));
  const auto pulse = animationAs<pf::KeyframeAnimation>(bottom, "lightningPulse");
  ASSERT_NE(pulse, nullptr);
  EXPECT_EQ(pulse->calculationMode, pf::KeyframeAnimation::CalculationMode::cubic);
  EXPECT_EQ(pulse->keyTimes, (std::vector<double>{0, 0.3, 0.5, 0.75, 1}));
  EXPECT_DOUBLE_EQ(pulse->duration, 3.5 + 3 * noise(100 + 80));
  EXPECT_DOUBLE_EQ(pulse->timeOffset, noise(100 + 90) * pulse->duration);
  const double d = pulse->duration;
  const double half = bottom.animations().front().addedAt + std::fmod(1.5 * d - pulse->timeOffset, d);
  EXPECT_NEAR(pf::presentation(bottom, half).opacity, a, 1e-9);
  const auto& dot = *band.root->sublayers()[8 * 3 + 1];  // the dots take the opacity, not the edge alpha
  EXPECT_EQ(dot.backgroundColor(), blue.withAlpha(0.75 * 0.95));
  EXPECT_EQ(dot.bounds(), Rect(0, 0, 5, 5));
  EXPECT_EQ(dot.shadowColor(), blue);
  EXPECT_EQ(dot.shadowRadius(), 8);
}

TEST(LightningEffect, ArcReachesOutAndForksByItsSeed) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::lightning));
  const Layer& arc = *band.named("lightningArc")[8 + 1];  // bottom edge, j = 1 of 5
  const int b = 100 + 13;
  const double c = 600 * 0.3, w = 115, h = (28 + 42 * noise(b + 5)) * 0.75;
  const pf::Path& path = shape(*arc.sublayers()[1]).path();
  const Point middle{band.rect.minX() + c + w * (noise(b + 35) - 0.5) * 0.25,
                     band.rect.minY() - h * (0.4 + 0.6 * noise(b + 55)) - 1};
  EXPECT_NEAR(path.element(5).end().x, middle.x, 1e-9);
  EXPECT_NEAR(path.element(5).end().y, middle.y, 1e-9);
  const pf::Path& forks = shape(*arc.sublayers()[3]).path();
  ASSERT_EQ(forks.elementCount(), 6);
  EXPECT_EQ(forks.element(3).points[0], path.element(6).end());
  const Point end{band.rect.minX() + c + 0.1 * w + 18, band.rect.minY() - (18 * noise(b + 6) + h + 12) - 1};
  EXPECT_NEAR(forks.element(5).end().x, end.x, 1e-9);
  EXPECT_NEAR(forks.element(5).end().y, end.y, 1e-9);
  const Point kink = forks.element(4).end();
  EXPECT_NEAR(kink.x, (path.element(6).end().x + end.x) / 2 + 7, 1e-9);
  EXPECT_NEAR(kink.y, (path.element(6).end().y + end.y) / 2 - 5, 1e-9);
  EXPECT_DOUBLE_EQ(arc.animation("lightningPulse")->duration, 3.5 + 3 * noise(b + 80));
}

TEST(LightningEffect, ArcsAndRibbonsOfAVeryLongEdgeAreHeldToTheirWidth) {
  Band huge(20000, 20000);
  huge.build({QuibBorderEffect::lightning, 0.95, 2, 0.8, 1});
  const pf::Path& arc = shape(*huge.named("lightningArc")[0]->sublayers()[0]).path();
  EXPECT_NEAR(lastPoint(arc).x - firstPoint(arc).x, 115, 1e-9);
  huge.build({QuibBorderEffect::plasma, 0.95, 2, 0.8, 1});
  const pf::Path& ribbon = shape(*huge.named("plasmaRibbon")[0]->sublayers()[0]).path();
  EXPECT_NEAR(lastPoint(ribbon).x - firstPoint(ribbon).x, 160, 1e-9);
}

TEST(PlasmaEffect, RibbonsPerEdgeWithTheirColoursAndStrokes) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::plasma));
  const auto ribbons = band.named("plasmaRibbon");
  ASSERT_EQ(ribbons.size(), 24u + 24 + 15 + 15);
  ASSERT_EQ(band.root->sublayers().size(), ribbons.size() + 1);
  std::vector<Point> starts;
  for (const auto& r : ribbons) starts.push_back(firstPoint(shape(*r->sublayers()[0]).path()));
  EXPECT_EQ(perEdge(starts, band.rect, 3), (std::array<int, 4>{24, 24, 15, 15}));

  const std::array<Color, 3> colors{Color::calibratedRGB(0.38, 0.16, 1.0, 1.0),
                                    Color::calibratedRGB(0.12, 0.55, 1.0, 1.0),
                                    Color::calibratedRGB(0.69, 0.2, 1.0, 1.0)};
  // Edge 2 (left), position j = 1, ribbon r = 2: colour (2 + 1 + 2) mod 3, alpha 0.55 x 0.65 x opacity.
  const Layer& ribbon = *ribbons[48 + 3 + 2];
  EXPECT_FLOAT_EQ(ribbon.opacity(), static_cast<float>(0.55 * 0.65 * 0.95));
  const std::array<std::pair<double, double>, 4> strokes{{{24, 0.045}, {14, 0.07}, {7, 0.13}, {2, 0.45}}};
  for (std::size_t k = 0; k < 4; ++k) {
    const auto& s = shape(*ribbon.sublayers()[k]);
    EXPECT_EQ(s.lineWidth(), strokes[k].first);
    EXPECT_EQ(s.strokeColor(), colors[2].withAlpha(strokes[k].second));
    EXPECT_EQ(s.lineCap(), pf::LineCap::round);
    EXPECT_FLOAT_EQ(s.shadowOpacity(), k == 2 ? 0.64f : 0.0f);
  }
  EXPECT_EQ(ribbon.sublayers()[2]->shadowRadius(), 12);

  const auto& outline = shape(*band.root->sublayers().back());
  EXPECT_EQ(outline.name(), "plasmaContact");
  EXPECT_EQ(outline.path(), pf::Path::roundedRect(band.rect.insetBy(-2, -2), 12, 12));
  EXPECT_EQ(outline.strokeColor(), colors[1].withAlpha(0.55 * 0.95));
  EXPECT_EQ(outline.shadowColor(), colors[0]);
  EXPECT_FLOAT_EQ(outline.shadowOpacity(), 0.8f);
  EXPECT_TRUE(outline.animations().empty());
}

TEST(PlasmaEffect, StrokesSwellTogetherBetweenTwoShapes) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::plasma));
  const Layer& ribbon = *band.named("plasmaRibbon")[1];  // top edge, j = 0, r = 1
  const int s = 1;
  std::shared_ptr<const pf::BasicAnimation> first;
  for (const auto& stroke : ribbon.sublayers()) {
    const auto flow = animationAs<pf::BasicAnimation>(*stroke, "plasmaFlow");
    ASSERT_NE(flow, nullptr);
    if (!first) first = flow;
    EXPECT_EQ(std::get<pf::Path>(*flow->fromValue), shape(*stroke).path());
    EXPECT_EQ(std::get<pf::Path>(*flow->toValue), std::get<pf::Path>(*first->toValue));
    EXPECT_DOUBLE_EQ(flow->duration, 3.5 + 3 * noise(s + 70));
    EXPECT_DOUBLE_EQ(flow->timeOffset, noise(s + 80) * flow->duration);
    EXPECT_TRUE(flow->autoreverses);
  }
  const auto& rest = std::get<pf::Path>(*first->fromValue);
  const auto& swollen = std::get<pf::Path>(*first->toValue);
  EXPECT_TRUE(rest.hasSameStructure(swollen));
  EXPECT_NE(rest, swollen);
  // Both start and end 3 points above the top edge; the middle reaches further out when swollen.
  EXPECT_EQ(firstPoint(rest), firstPoint(swollen));
  EXPECT_EQ(firstPoint(rest).y, band.rect.maxY() + 3);
  EXPECT_EQ(lastPoint(rest).y, band.rect.maxY() + 3);
  EXPECT_GT(swollen.element(1).end().y, rest.element(1).end().y);
  const auto pulse = animationAs<pf::BasicAnimation>(ribbon, "plasmaPulse");
  ASSERT_NE(pulse, nullptr);
  EXPECT_DOUBLE_EQ(std::get<double>(*pulse->fromValue), 0.55 * 0.8 * 0.85 * 0.95);
  EXPECT_DOUBLE_EQ(pulse->duration, 3 + 4 * noise(s + 90));
}

TEST(FrostEffect, CrystalsPerEdgeWithGlintsOnEveryFifth) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::frost));
  const auto& subs = band.root->sublayers();
  ASSERT_EQ(subs.front()->name(), "frostContact");
  EXPECT_EQ(shape(*subs.front()).path(), pf::Path::roundedRect(band.rect.insetBy(-3, -3), 12, 12));
  EXPECT_EQ(shape(*subs.front()).lineWidth(), 5);
  const auto crystals = band.named("frostCrystal");
  ASSERT_EQ(crystals.size(), 27u + 27 + 18 + 18);
  ASSERT_EQ(subs.size(), crystals.size() + 1);
  constexpr double pi = std::numbers::pi;
  const std::array<double, 4> turns{0, pi, pi / 2, -pi / 2};
  const std::array<std::size_t, 4> firsts{0, 27, 54, 72};
  for (std::size_t e = 0; e < 4; ++e) {
    const std::size_t end = e < 3 ? firsts[e + 1] : crystals.size();
    for (std::size_t i = firsts[e]; i < end; ++i) {
      EXPECT_EQ(crystals[i]->transform().rotation, turns[e]) << i;
      const Layer& growth = *crystals[i]->sublayers().at(0);
      EXPECT_EQ(growth.sublayers().size(), (i - firsts[e]) % 5 == 0 ? 3u : 2u) << i;
      EXPECT_NE(growth.animation("iceGrowth"), nullptr);
    }
  }
  EXPECT_EQ(crystals[0]->position().y, band.rect.maxY() + 1);
  EXPECT_EQ(crystals[27]->position().y, band.rect.minY() - 1);
  EXPECT_EQ(crystals[54]->position().x, band.rect.minX() - 1);
  EXPECT_EQ(crystals[72]->position().x, band.rect.maxX() + 1);
}

TEST(FrostEffect, CrystalBodyVeinsGlintAndGrowth) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::frost));
  const Layer& growth = *band.named("frostCrystal")[5]->sublayers()[0];  // top edge, i = 5
  const int b = 17 * 5;
  const double t = (5 + 0.2 + 0.6 * noise(b)) / 27;
  ASSERT_FALSE(t < 0.14 || t > 0.86);
  const double h = (15 + 31 * noise(b + 1)) * 1.1, lean = (noise(b + 3) - 0.5) * h * 0.5;
  const Color ice = Color::calibratedRGB(0.48, 0.83, 1.0, 1.0);
  const auto& body = shape(*growth.sublayers()[0]);
  EXPECT_EQ(body.path().element(2).end(), (Point{lean, h}));  // the tip
  EXPECT_EQ(body.fillColor(), ice.withAlpha(0.18 * 0.95));
  EXPECT_EQ(body.strokeColor(), ice.withAlpha(0.65 * 0.95));
  EXPECT_FLOAT_EQ(body.shadowOpacity(), 0.32f);
  const auto& veins = shape(*growth.sublayers()[1]);
  EXPECT_EQ(veins.strokeColor(), Color::calibratedWhite(1.0, 0.55 * 0.95));
  ASSERT_EQ(veins.path().elementCount(), 2 + 3 * 3);
  const double w = 5 + 10 * noise(b + 2);
  EXPECT_NEAR(veins.path().element(10).end().x, 3 * lean / 5 + 0.4 * w, 1e-9);  // the third chevron's right arm
  EXPECT_NEAR(veins.path().element(10).end().y, 3 * h / 5 + 0.12 * h, 1e-9);
  const Layer& glint = *growth.sublayers()[2];
  EXPECT_EQ(glint.position(), (Point{lean, h}));
  EXPECT_EQ(glint.opacity(), 0);
  const auto flash = animationAs<pf::KeyframeAnimation>(glint, "iceGlint");
  ASSERT_NE(flash, nullptr);
  EXPECT_EQ(flash->keyTimes, (std::vector<double>{0, 0.65, 0.7, 0.77, 1}));
  EXPECT_DOUBLE_EQ(std::get<double>(flash->values[2]), 0.85 * 0.95);
  EXPECT_DOUBLE_EQ(flash->duration, 10 + 8 * noise(b + 7));
  const auto grow = animationAs<pf::KeyframeAnimation>(growth, "iceGrowth");
  ASSERT_NE(grow, nullptr);
  EXPECT_EQ(grow->keyPath, "transform.scale.y");
  EXPECT_EQ(grow->calculationMode, pf::KeyframeAnimation::CalculationMode::cubic);
  EXPECT_DOUBLE_EQ(grow->duration, 14 + 10 * noise(b + 4));
}

TEST(FrostEffect, StillFrostHasNoGlints) {
  Band still(600, 400);
  still.build(effect(QuibBorderEffect::frost), true);
  for (const auto& c : still.named("frostCrystal")) EXPECT_EQ(c->sublayers()[0]->sublayers().size(), 2u);
}

TEST(StarfieldEffect, StarsPerEdgeEveryEleventhBright) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::starfield));
  const auto& subs = band.root->sublayers();
  ASSERT_EQ(subs.size(), 57u + 57 + 38 + 38);
  const std::array<std::size_t, 4> firsts{0, 57, 114, 152};
  for (std::size_t e = 0; e < 4; ++e) {
    const std::size_t end = e < 3 ? firsts[e + 1] : subs.size();
    for (std::size_t k = firsts[e]; k < end; ++k) {
      const std::size_t i = k - firsts[e];
      const Layer& star = *subs[k];
      EXPECT_EQ(star.name(), i % 11 == 0 ? "cosmicStar" : "cosmicDust") << k;
      EXPECT_EQ(star.sublayers().size(), i % 11 == 0 ? 1u : 0u) << k;
      EXPECT_EQ(star.cornerRadius(), star.bounds().width() / 2);
      // Between 5 and 100 (top) or 70 points clear of the window, on its own side.
      const Point p = star.position();
      const double out = std::array<double, 4>{p.y - band.rect.maxY(), band.rect.minY() - p.y, band.rect.minX() - p.x,
                                               p.x - band.rect.maxX()}[e];
      EXPECT_GE(out, 5) << k;
      EXPECT_LE(out, e == 0 ? 100 : 70) << k;
    }
  }
  // Bottom stars run right to left: star i lies L x noise left of maxX.
  EXPECT_DOUBLE_EQ(subs[57]->position().x, band.rect.maxX() - 600 * noise(1009 + 1));
  EXPECT_DOUBLE_EQ(subs[57]->position().y, band.rect.minY() - 65 * std::pow(noise(1009 + 2), 1.6) - 5);
  const Layer& bright = *subs[57];
  const double alpha = 0.7 * 0.95 * 0.85;
  EXPECT_FLOAT_EQ(bright.opacity(), static_cast<float>(0.8 * alpha));
  EXPECT_FLOAT_EQ(bright.shadowOpacity(), static_cast<float>(0.9 * 0.8));
  EXPECT_EQ(bright.shadowRadius(), 6);
  const auto drift = animationAs<pf::AnimationGroup>(bright, "cosmicDrift");
  ASSERT_NE(drift, nullptr);
  ASSERT_EQ(drift->animations.size(), 2u);
  const auto& path = static_cast<const pf::KeyframeAnimation&>(*drift->animations[0]);
  const double delta = 14 + 30 * noise(1009 + 5);
  // First further out, then 2 points further out than it began, delta along the edge.
  EXPECT_NEAR(std::get<Point>(path.values[1]).y, bright.position().y - 7, 1e-9);
  EXPECT_NEAR(std::get<Point>(path.values[2]).x, bright.position().x - delta, 1e-9);
  EXPECT_NEAR(std::get<Point>(path.values[2]).y, bright.position().y - 2, 1e-9);
  EXPECT_EQ(drift->timingFunction, pf::TimingFunction::easeInEaseOut());
}

TEST(BubblesEffect, RiseBesideTheSides) {
  for (const auto& [w, h, count] : {std::tuple{600.0, 400.0, 24u}, std::tuple{40.0, 30.0, 24u}}) {
    Band band(w, h);
    band.build(effect(QuibBorderEffect::bubbles));
    const auto bubbles = band.named("risingBubble");
    ASSERT_EQ(bubbles.size(), 2 * count);
    ASSERT_EQ(band.root->sublayers().size(), 2 * count);
    for (std::size_t k = 0; k < bubbles.size(); ++k) {
      const bool left = k < count;
      const std::size_t j = left ? k : k - count;
      const double r = bubbles[k]->bounds().width() / 2;
      const Point p = bubbles[k]->position();
      EXPECT_TRUE(left ? p.x <= band.rect.minX() - r - 5 : p.x >= band.rect.maxX() + r + 5) << k;
      if (j % 3 == 0) {
        EXPECT_DOUBLE_EQ(p.y, band.rect.minY() - r) << k;
      } else {
        EXPECT_GE(p.y, band.rect.minY());
        EXPECT_LE(p.y, band.rect.minY() + 0.72 * band.rect.height());
      }
    }
  }
}

TEST(BubblesEffect, FilmHighlightRimAndRise) {
  Band band(600, 400);
  band.build(effect(QuibBorderEffect::bubbles));
  const Layer& bubble = *band.named("risingBubble")[24 + 1];  // right side, j = 1
  const int b = 811 + 29;
  const double r = 5 + 14 * noise(b + 1);
  const Color color = Color::calibratedRGB(0.4 + 0.3 * noise(b + 4), 0.8, 1.0, 1.0);
  ASSERT_EQ(bubble.sublayers().size(), 3u);
  const auto& film = shape(*bubble.sublayers()[0]);
  EXPECT_EQ(film.path(), pf::Path::ellipse(Rect(1, 1, 2 * r - 2, 2 * r - 2)));
  EXPECT_EQ(film.fillColor(), color.withAlpha(0.055));
  EXPECT_FLOAT_EQ(film.shadowOpacity(), 0.2f);
  const auto& shine = shape(*bubble.sublayers()[1]);
  EXPECT_NEAR(firstPoint(shine.path()).x, r + 0.72 * r * std::cos(0.65), 1e-9);
  EXPECT_NEAR(lastPoint(shine.path()).y, r + 0.72 * r * std::sin(2.4), 1e-9);
  EXPECT_EQ(shine.lineCap(), pf::LineCap::round);
  EXPECT_EQ(shape(*bubble.sublayers()[2]).strokeColor(), Color::calibratedRGB(0.8, 0.55, 1.0, 0.45));

  const auto rise = animationAs<pf::AnimationGroup>(bubble, "bubbleRise");
  ASSERT_NE(rise, nullptr);
  const auto& path = static_cast<const pf::KeyframeAnimation&>(*rise->animations[0]);
  const double rho = std::min(0.32 * 400, 220.0) + 35 * noise(b + 6);
  const Point start = bubble.position();
  EXPECT_EQ(std::get<Point>(path.values[3]), (Point{start.x + 22, start.y + rho}));  // away from the window
  EXPECT_DOUBLE_EQ(rise->duration, 10 + 9 * noise(b + 7));
  EXPECT_DOUBLE_EQ(rise->timeOffset, noise(b + 8) * rise->duration);
}

// The cool border effects: frost, starfield and bubbles.
#include "look/BorderVFXParts.h"
#include "look/LookColor.h"
#include "look/QuibBorderVFX.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

using Parts = BorderVFXParts;
using pf::Color;
using pf::Path;
using pf::Point;

double noise(int n) { return QuibBorderVFX::noise(n); }

const Color ice = Color::calibratedRGB(0.48, 0.83, 1.0, 1.0);

/// One ice crystal: its length, width and the sideways lean of its tip.
struct Crystal {
  double length = 0;
  double width = 0;
  double lean = 0;
};

Path crystalBody(const Crystal& c) {
  const double h = c.length, w = c.width, l = c.lean;
  Path path;
  path.moveTo({-0.5 * w, 0});
  path.lineTo({0.3 * l - 0.65 * w, 0.48 * h});
  path.lineTo({l, h});
  path.lineTo({0.6 * w + 0.35 * l, 0.4 * h});
  path.lineTo({0.5 * w, 0});
  path.close();
  return path;
}

/// The spine and three chevrons.
Path crystalVeins(const Crystal& c) {
  const double h = c.length, w = c.width, l = c.lean;
  Path path;
  path.moveTo({0, 0});
  path.lineTo({l, h});
  for (int m = 1; m <= 3; ++m) {
    const Point tip{m * l / 5, m * h / 5};
    path.moveTo({tip.x - 0.4 * w, tip.y + 0.12 * h});
    path.lineTo(tip);
    path.lineTo({tip.x + 0.4 * w, tip.y + 0.12 * h});
  }
  return path;
}

/// A plus sign at the crystal's tip that flashes once a cycle.
std::shared_ptr<pf::ShapeLayer> glint(const Crystal& c, double opacity, int b, double speed) {
  Path plus;
  plus.moveTo({-3, 0});
  plus.lineTo({3, 0});
  plus.moveTo({0, -4});
  plus.lineTo({0, 4});
  auto layer = pf::ShapeLayer::make();
  layer->setPath(plus);
  layer->setStrokeColor(LookColor::white());
  layer->setPosition({c.lean, c.length});
  layer->setOpacity(0);
  const auto flash =
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.0, 0.85 * opacity, 0.0, 0.0}, {0, 0.65, 0.7, 0.77, 1});
  Parts::repeatForever(*flash, (10 + 8 * noise(b + 7)) / speed, noise(b + 8));
  layer->addAnimation(*flash, QStringLiteral("iceGlint"));
  return layer;
}

/// The crystal grows out from its base, holds, and shrinks back.
void grow(pf::Layer& growth, int b, double speed) {
  const auto animation =
      Parts::keyframes(QStringLiteral("transform.scale.y"), {0.35, 0.7, 1.0, 1.0, 0.35}, {0, 0.35, 0.65, 0.82, 1});
  animation->calculationMode = pf::KeyframeAnimation::CalculationMode::cubic;
  Parts::repeatForever(*animation, (14 + 10 * noise(b + 4)) / speed, noise(b + 5));
  growth.addAnimation(*animation, QStringLiteral("iceGrowth"));
}

/// One point of the starfield; the rest of a star's look follows from its index.
struct Star {
  int edge = 0;
  double along = 0;
  double out = 0;
  double size = 0;
  double alpha = 0;
  bool bright = false;
  Color color;
};

std::shared_ptr<pf::Layer> starLayer(const Star& s, const pf::Rect& rect, double glow) {
  auto layer = Parts::dot(s.size, s.color);
  layer->setName(s.bright ? QStringLiteral("cosmicStar") : QStringLiteral("cosmicDust"));
  layer->setPosition(Parts::around(rect, s.edge, s.along, s.out));
  layer->setOpacity(0.8 * s.alpha);
  Parts::glow(*layer, s.color, (s.bright ? 0.9 : 0.4) * glow, s.bright ? 6 : 2);
  if (s.bright) {
    const double z = s.size;
    Path cross;
    cross.moveTo({-3, z / 2});
    cross.lineTo({z + 3, z / 2});
    cross.moveTo({z / 2, -3});
    cross.lineTo({z / 2, z + 3});
    auto sparkle = pf::ShapeLayer::make();
    sparkle->setPath(cross);
    sparkle->setStrokeColor(s.color.withAlpha(0.55));
    sparkle->setLineWidth(0.6);
    layer->addSublayer(sparkle);
  }
  return layer;
}

/// A drift along the edge, first further out, while fading in and out.
void drift(pf::Layer& layer, const Star& s, const pf::Rect& rect, int b, double speed) {
  const double delta = 14 + 30 * noise(b + 5);
  const auto group = Parts::group({
      Parts::keyframes(QStringLiteral("position"), {Parts::around(rect, s.edge, s.along, s.out),
                                                    Parts::around(rect, s.edge, s.along + 0.45 * delta, s.out + 7),
                                                    Parts::around(rect, s.edge, s.along + delta, s.out + 2)}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.6 * s.alpha, s.alpha, 0.65 * s.alpha, 0.0},
                       {0, 0.2, 0.5, 0.8, 1}),
  });
  Parts::easeForever(*group, (14 + 16 * noise(b + 6)) / speed, noise(b + 7));
  layer.addAnimation(*group, QStringLiteral("cosmicDrift"));
}

/// A bubble of radius `r`: a thin film, a highlight across its top and a tinted rim low on one side.
std::shared_ptr<pf::Layer> bubbleLayer(double r, const Color& color, double glow) {
  auto layer = Parts::named(QStringLiteral("risingBubble"));
  layer->setBounds(pf::Rect(0, 0, 2 * r, 2 * r));
  auto film = Parts::stroke(Path::ellipse(pf::Rect(1, 1, 2 * r - 2, 2 * r - 2)), color.withAlpha(0.65), 1);
  film->setFillColor(color.withAlpha(0.055));
  Parts::glow(*film, color, 0.25 * glow, 4);
  layer->addSublayer(film);
  Path highlight;
  highlight.addArc({r, r}, 0.72 * r, 0.65, 2.4, false);
  auto shine = Parts::stroke(highlight, LookColor::white().withAlpha(0.75), 1.4);
  shine->setLineCap(pf::LineCap::round);
  layer->addSublayer(shine);
  Path rim;
  rim.addArc({r, r}, 0.84 * r, 3.6, 4.8, false);
  layer->addSublayer(Parts::stroke(rim, Color::calibratedRGB(0.8, 0.55, 1.0, 0.45), 0.8));
  return layer;
}

/// The bubble rises while swaying away from the window (`direction` -1 left, +1 right) and swelling.
void rise(pf::Layer& layer, Point start, double direction, double alpha, double height, int b, double speed) {
  const double rho = std::min(0.32 * height, 220.0) + 35 * noise(b + 6);
  const double x = start.x, y = start.y, d = direction;
  const auto group = Parts::group({
      Parts::keyframes(QStringLiteral("position"), {start, Point{x + 12 * d, y + 0.35 * rho},
                                                    Point{x + 5 * d, y + 0.7 * rho}, Point{x + 22 * d, y + rho}}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, alpha, 0.9 * alpha, 0.0}, {0, 0.15, 0.75, 1}),
      Parts::basic(QStringLiteral("transform.scale"), 0.8, 1.08),
  });
  Parts::easeForever(*group, (10 + 9 * noise(b + 7)) / speed, noise(b + 8));
  layer.addAnimation(*group, QStringLiteral("bubbleRise"));
}

}  // namespace

void QuibBorderVFX::frost(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                          bool reduced) {
  static constexpr std::array<double, 4> lengthFactor{1.1, 0.65, 0.85, 0.85};
  static constexpr double pi = std::numbers::pi;
  static constexpr std::array<double, 4> turn{0, pi, pi / 2, -pi / 2};
  const double opacity = configuration.opacity;
  auto outline = Parts::outline(rect, 3, ice.withAlpha(0.65 * opacity), 5);
  outline->setName(QStringLiteral("frostContact"));
  Parts::glow(*outline, ice, 0.65 * configuration.glow, 10);
  root.addSublayer(outline);

  for (int e = 0; e < 4; ++e) {
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / 30), 3, 45);
    for (int i = 0; i < n; ++i) {
      const int b = 131 * e + 17 * i;
      const double t = (i + 0.2 + 0.6 * noise(b)) / n;
      Crystal c;
      c.length =
          (15 + 31 * noise(b + 1)) * (t < 0.14 || t > 0.86 ? 1.5 : 1) * lengthFactor[static_cast<std::size_t>(e)];
      c.width = 5 + 10 * noise(b + 2);
      c.lean = (noise(b + 3) - 0.5) * c.length * 0.5;
      // Placed one point clear of the edge, turned so that +y points away from the window.
      const double a = length * t;
      const std::array<Point, 4> bases{Point{rect.minX() + a, rect.maxY() + 1}, Point{rect.minX() + a, rect.minY() - 1},
                                       Point{rect.minX() - 1, rect.minY() + a},
                                       Point{rect.maxX() + 1, rect.minY() + a}};
      auto crystal = Parts::named(QStringLiteral("frostCrystal"));
      crystal->setPosition(bases[static_cast<std::size_t>(e)]);
      crystal->setTransform(pf::Transform::makeRotation(turn[static_cast<std::size_t>(e)]));
      root.addSublayer(crystal);
      auto growth = pf::Layer::make();
      crystal->addSublayer(growth);

      auto body = Parts::stroke(crystalBody(c), ice.withAlpha(0.65 * opacity), 0.8);
      body->setFillColor(ice.withAlpha(0.18 * opacity));
      Parts::glow(*body, ice, 0.4 * configuration.glow, 5);
      growth->addSublayer(body);
      growth->addSublayer(Parts::stroke(crystalVeins(c), Color::calibratedWhite(1.0, 0.55 * opacity), 0.6));
      if (reduced) continue;
      if (i % 5 == 0) growth->addSublayer(glint(c, opacity, b, configuration.speed));
      grow(*growth, b, configuration.speed);
    }
  }
}

void QuibBorderVFX::starfield(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                              bool reduced) {
  static const std::array<Color, 3> colors{Color::calibratedRGB(0.45, 0.75, 1.0, 1.0),
                                           Color::calibratedRGB(0.73, 0.55, 1.0, 1.0),
                                           Color::calibratedRGB(0.9, 0.95, 1.0, 1.0)};
  for (int e = 0; e < 4; ++e) {
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / 14), 8, 100);
    const double reach = e == 0 ? 95 : 65;
    const double edgeAlpha = (e == 1 ? 0.7 : 1.0) * configuration.opacity;
    for (int i = 0; i < n; ++i) {
      const int b = 1009 * e + 23 * i;
      Star s;
      s.edge = e;
      s.bright = i % 11 == 0;
      // The power crowds the stars near the window.
      s.along = length * noise(b + 1);
      s.out = reach * std::pow(noise(b + 2), 1.6) + 5;
      s.size = s.bright ? 2.2 + noise(b + 3) : 0.8 + 1.3 * noise(b + 3);
      s.alpha = edgeAlpha * (s.bright ? 0.85 : 0.28 + 0.4 * noise(b + 4));
      s.color = colors[static_cast<std::size_t>(i % 3)];
      const auto layer = starLayer(s, rect, configuration.glow);
      if (!reduced) drift(*layer, s, rect, b, configuration.speed);
      root.addSublayer(layer);
    }
  }
}

void QuibBorderVFX::bubbles(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                            bool reduced) {
  // As many bubbles beside a small window as beside a large one.
  const int n = Parts::count(configuration.intensity * 18, 4, 32);
  for (const int side : {0, 1}) {
    const int offset = side == 0 ? 0 : 811;
    const double direction = side == 0 ? -1 : 1;
    for (int j = 0; j < n; ++j) {
      const int b = offset + 29 * j;
      const double r = 5 + 14 * noise(b + 1);
      const double gap = 36 * noise(b + 2) + r + 5;
      const Point start{side == 0 ? rect.minX() - gap : rect.maxX() + gap,
                        j % 3 == 0 ? rect.minY() - r : rect.minY() + rect.height() * noise(b + 3) * 0.72};
      const double alpha = configuration.opacity * (0.5 + 0.35 * noise(b + 5));
      const auto layer =
          bubbleLayer(r, Color::calibratedRGB(0.4 + 0.3 * noise(b + 4), 0.8, 1.0, 1.0), configuration.glow);
      layer->setPosition(start);
      layer->setOpacity(0.75 * alpha);
      if (!reduced) rise(*layer, start, direction, alpha, rect.height(), b, configuration.speed);
      root.addSublayer(layer);
    }
  }
}

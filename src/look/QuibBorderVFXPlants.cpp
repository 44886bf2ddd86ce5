// The plant border effects: vines and blossoms. Neither has a glow.
#include "look/BorderVFXParts.h"
#include "look/LookColor.h"
#include "look/QuibBorderVFX.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

using Parts = BorderVFXParts;
using pf::Color;
using pf::Path;
using pf::Point;

double noise(int n) { return QuibBorderVFX::noise(n); }

constexpr double pi = std::numbers::pi;

/// One stretch of vine along an edge, waving 4 to 18 points clear of it.
struct Segment {
  const pf::Rect& rect;
  int edge = 0;
  int index = 0;
  double length = 0;
  /// The vine's point at `u` (0 to 1) of the segment. Each segment waves from
  /// its own phase, so the line may jump where two meet.
  Point at(double u) const {
    const double out = 7 * std::sin(2 * pi * u + index) + 11;
    return Parts::around(rect, edge, length * index + length * u, out);
  }
};

Path vinePath(const Segment& segment) {
  Path path;
  path.moveTo(segment.at(0));
  for (int k = 1; k <= 40; ++k) path.lineTo(segment.at(k / 40.0));
  return path;
}

/// A leaf `z` long pointing up its own +y, with its vein.
std::shared_ptr<pf::Layer> leafLayer(double z, int b, int m) {
  auto leaf = Parts::named(QStringLiteral("vineLeaf"));
  Path blade;
  blade.moveTo({0, 0});
  blade.quadTo({-0.65 * z, 0.6 * z}, {0, z});
  blade.quadTo({0.55 * z, 0.75 * z}, {0, 0});
  blade.close();
  auto shape = Parts::stroke(blade, Color::calibratedRGB(0.51, 0.74, 0.29, 0.8), 0.5);
  shape->setFillColor(Color::calibratedRGB(0.2 + 0.15 * noise(b + m), 0.48 + 0.2 * noise(b + m + 2), 0.16, 0.9));
  leaf->addSublayer(shape);
  Path line;
  line.moveTo({0, 0});
  line.lineTo({0, 0.85 * z});
  auto vein = pf::ShapeLayer::make();
  vein->setPath(line);
  vein->setStrokeColor(Color::calibratedRGB(0.65, 0.81, 0.37, 0.7));
  vein->setLineWidth(0.5);
  leaf->addSublayer(vein);
  return leaf;
}

/// The bright vine grows to its full length, holds and shrinks back to a stub.
void crawl(pf::Layer& vine, double cycle, double phase) {
  const auto animation = Parts::keyframes(QStringLiteral("strokeEnd"), {0.05, 1.0, 1.0, 0.05}, {0, 0.65, 0.88, 1});
  Parts::repeatForever(*animation, cycle, phase);
  vine.addAnimation(*animation, QStringLiteral("vineCrawl"));
}

/// The leaf sways about its angle, and lights up while the growing vine has passed it.
void animateLeaf(pf::Layer& leaf, double angle, double u, int b, int m, double cycle, double phase, double speed) {
  const auto sway = Parts::basic(QStringLiteral("transform.rotation.z"), angle - 0.12, angle + 0.12);
  Parts::breatheForever(*sway, (3 + 3 * noise(b + m + 20)) / speed, noise(b + m + 21));
  leaf.addAnimation(*sway, QStringLiteral("leafSway"));
  const auto light = Parts::keyframes(QStringLiteral("opacity"), {0.15, 0.15, 1.0, 1.0, 0.15},
                                      {0, 0.65 * u, 0.65 * u + 0.06, 0.88, 1});
  Parts::repeatForever(*light, cycle, phase);
  leaf.addAnimation(*light, QStringLiteral("leafGrowth"));
}

std::shared_ptr<pf::Layer> segmentLayer(const Segment& segment, double opacity, double speed, bool reduced) {
  static constexpr std::array<double, 4> away{0, pi, pi / 2, -pi / 2};
  const int b = 503 * segment.edge + 37 * segment.index;
  const double cycle = (22 + 10 * noise(b + 1)) / speed, phase = noise(b + 2);
  auto layer = Parts::named(QStringLiteral("vineSegment"));
  layer->setOpacity(opacity);
  const Path path = vinePath(segment);
  layer->addSublayer(Parts::stroke(path, Color::calibratedRGB(0.16, 0.32, 0.12, 0.55), 2.5));
  auto growing = Parts::stroke(path, Color::calibratedRGB(0.34, 0.65, 0.2, 0.9), 1.6);
  growing->setName(QStringLiteral("growingVine"));
  growing->setLineCap(pf::LineCap::round);
  if (!reduced) crawl(*growing, cycle, phase);
  layer->addSublayer(growing);
  for (int m = 0; m < 7; ++m) {
    const double u = (m + 0.5) / 7;
    // Away from the window, tilted alternately to either side.
    const double angle = away[static_cast<std::size_t>(segment.edge)] + (m % 2 == 1 ? 0.45 : -0.45);
    auto leaf = leafLayer(9 + 9 * noise(b + m + 10), b, m);
    leaf->setPosition(segment.at(u));
    leaf->setTransform(pf::Transform::makeRotation(angle));
    if (!reduced) animateLeaf(*leaf, angle, u, b, m, cycle, phase, speed);
    layer->addSublayer(leaf);
  }
  return layer;
}

/// A rounded petal `z` long with a notch at its tip, and its crease.
std::shared_ptr<pf::Layer> petalLayer(double z, int s) {
  auto petal = Parts::named(QStringLiteral("cherryPetal"));
  Path outline;
  outline.moveTo({0, -0.5 * z});
  outline.cubicTo({-0.65 * z, -0.1 * z}, {-0.6 * z, 0.55 * z}, {-0.1 * z, 0.5 * z});
  outline.lineTo({0, 0.32 * z});
  outline.lineTo({0.13 * z, 0.5 * z});
  outline.cubicTo({0.7 * z, 0.4 * z}, {0.5 * z, -0.15 * z}, {0, -0.5 * z});
  outline.close();
  auto shape = Parts::stroke(outline, Color::calibratedRGB(0.88, 0.35, 0.57, 0.45), 0.5);
  shape->setFillColor(Color::calibratedRGB(1.0, 0.52 + 0.25 * noise(s + 6), 0.73 + 0.15 * noise(s + 7), 0.9));
  petal->addSublayer(shape);
  Path crease;
  crease.moveTo({0, -0.4 * z});
  crease.quadTo({0.1 * z, 0}, {0, 0.24 * z});
  petal->addSublayer(Parts::stroke(crease, LookColor::white().withAlpha(0.4), 0.6));
  return petal;
}

/// Where a petal starts and lands: top petals fall onto the top edge, bottom
/// ones away from the bottom edge, side ones down alongside, drifting outward.
std::array<Point, 2> petalPath(const pf::Rect& rect, int edge, double length, int s, double z) {
  const double d = 15 + 70 * noise(s + 2), t = noise(s + 3);
  switch (edge) {
    case 0: {
      const Point a{rect.minX() + length * t, rect.maxY() + d + 35};
      return {a, Point{a.x + 20 + 25 * noise(s + 4), rect.maxY() + z + 5}};
    }
    case 1: {
      const Point a{rect.minX() + length * t, rect.minY() - z - 4};
      return {a, Point{a.x + 25, rect.minY() - d - 30}};
    }
    default: {
      const double out = edge == 2 ? -1 : 1;
      const Point a{edge == 2 ? rect.minX() - d - z : rect.maxX() + d + z, rect.minY() + length * t + 35};
      return {a, Point{a.x + out * (8 + 16 * noise(s + 4)), a.y - 90 - 65 * noise(s + 5)}};
    }
  }
}

/// A slight zigzag down, turning and flipping while it fades in and out.
void drift(pf::Layer& petal, Point a, Point b, double turn, double opacity, int s, double speed) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const auto group = Parts::group({
      Parts::keyframes(QStringLiteral("position"),
                       {a, Point{a.x + 0.35 * dx + 8, a.y + 0.35 * dy}, Point{a.x + 0.7 * dx - 5, a.y + 0.7 * dy}, b}),
      Parts::basic(QStringLiteral("transform.rotation.z"), turn, turn + 2.5 * (noise(s + 9) - 0.5)),
      Parts::keyframes(QStringLiteral("transform.scale.x"), {1.0, 0.5, 0.85, 0.45, 1.0}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.85 * opacity, 0.75 * opacity, 0.0}, {0, 0.18, 0.78, 1}),
  });
  Parts::easeForever(*group, (12 + 10 * noise(s + 10)) / speed, noise(s + 11));
  petal.addAnimation(*group, QStringLiteral("petalDrift"));
}

}  // namespace

void QuibBorderVFX::vines(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                          bool reduced) {
  for (int e = 0; e < 4; ++e) {
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / 180), 2, 12);
    for (int j = 0; j < n; ++j) {
      const Segment segment{rect, e, j, length / n};
      root.addSublayer(segmentLayer(segment, configuration.opacity, configuration.speed, reduced));
    }
  }
}

void QuibBorderVFX::blossoms(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                             bool reduced) {
  for (int e = 0; e < 4; ++e) {
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / 55), 4, 32);
    for (int k = 0; k < n; ++k) {
      const int s = 919 * e + 31 * k;
      const double z = 7 + 9 * noise(s + 1);
      const auto [from, to] = petalPath(rect, e, length, s, z);
      const double turn = 2 * pi * noise(s + 8);
      auto petal = petalLayer(z, s);
      petal->setPosition(from);
      petal->setTransform(pf::Transform::makeRotation(turn));
      petal->setOpacity(0.8 * configuration.opacity);
      if (!reduced) drift(*petal, from, to, turn, configuration.opacity, s, configuration.speed);
      root.addSublayer(petal);
    }
  }
}

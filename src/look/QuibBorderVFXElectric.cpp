// The electric border effects: lightning and plasma.
#include "look/BorderVFXParts.h"
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

/// The point `a` along `edge` (from its left or lower end) and `d` away from
/// the window, always one point clear of it.
Point outside(const pf::Rect& rect, int edge, double a, double d) {
  switch (edge) {
    case 0: return {rect.minX() + a, rect.maxY() + d + 1};
    case 1: return {rect.minX() + a, rect.minY() - d - 1};
    case 2: return {rect.minX() - d - 1, rect.minY() + a};
    default: return {rect.maxX() + d + 1, rect.minY() + a};
  }
}

bool nearCorner(double t) { return t < 0.18 || t > 0.82; }

const Color lightningBlue = Color::calibratedRGB(0.2, 0.6, 1.0, 1.0);
const Color lightningViolet = Color::calibratedRGB(0.52, 0.32, 1.0, 1.0);
const Color lightningCore = Color::calibratedRGB(0.83, 0.95, 1.0, 0.95);

/// One arc of lightning along an edge, and the forks off it.
struct Arc {
  std::array<Point, 11> points;
  Path branches;
};

Arc arcAt(const pf::Rect& rect, int edge, double c, double w, double h, int b) {
  Arc arc;
  for (int k = 0; k <= 10; ++k) {
    const double u = k / 10.0;
    double a = c - 0.5 * w + w * u, d = 0;
    if (k > 0 && k < 10) {
      a += w * (noise(b + k + 30) - 0.5) * 0.25;
      d = h * std::sin(std::numbers::pi * u) * (0.4 + 0.6 * noise(b + k + 50));
    }
    arc.points[static_cast<std::size_t>(k)] = outside(rect, edge, a, d);
  }
  // Each fork bends at a kink offset the same way on every edge.
  const auto fork = [&](Point s, Point e) {
    arc.branches.moveTo(s);
    arc.branches.lineTo({(s.x + e.x) / 2 + 7, (s.y + e.y) / 2 - 5});
    arc.branches.lineTo(e);
  };
  fork(arc.points[3], outside(rect, edge, c - 0.2 * w + 18, 18 * noise(b + 3) + h + 12));
  fork(arc.points[6], outside(rect, edge, c + 0.1 * w + 18, 18 * noise(b + 6) + h + 12));
  return arc;
}

std::shared_ptr<pf::ShapeLayer> roundStroke(const Path& path, const Color& color, double width) {
  auto layer = Parts::stroke(path, color, width);
  layer->setLineCap(pf::LineCap::round);
  layer->setLineJoin(pf::LineJoin::round);
  return layer;
}

std::shared_ptr<pf::Layer> arcLayer(const Arc& arc, const Color& color, double alpha, double glow) {
  Path path;
  path.moveTo(arc.points[0]);
  for (std::size_t k = 1; k < arc.points.size(); ++k) path.lineTo(arc.points[k]);
  auto group = Parts::named(QStringLiteral("lightningArc"));
  group->setOpacity(0.7 * alpha);
  group->addSublayer(roundStroke(path, color.withAlpha(0.1), 8));
  auto main = roundStroke(path, color.withAlpha(0.38), 3);
  Parts::glow(*main, color, glow, 9);
  group->addSublayer(main);
  group->addSublayer(roundStroke(path, lightningCore, 1.1));
  group->addSublayer(Parts::stroke(arc.branches, color.withAlpha(0.65), 0.7));
  return group;
}

std::shared_ptr<pf::Layer> contact(Point at, double opacity, double glow) {
  auto dot = Parts::dot(5, lightningBlue.withAlpha(0.75 * opacity));
  dot->setName(QStringLiteral("lightningContact"));
  dot->setPosition(at);
  Parts::glow(*dot, lightningBlue, glow, 8);
  return dot;
}

/// The arc flares to the edge's full alpha halfway through its cycle.
void flicker(pf::Layer& arc, double alpha, int b, double speed) {
  const auto animation = Parts::keyframes(
      QStringLiteral("opacity"), {0.18 * alpha, 0.5 * alpha, alpha, 0.4 * alpha, 0.18 * alpha}, {0, 0.3, 0.5, 0.75, 1});
  animation->calculationMode = pf::KeyframeAnimation::CalculationMode::cubic;
  Parts::repeatForever(*animation, (3.5 + 3 * noise(b + 80)) / speed, noise(b + 90));
  arc.addAnimation(*animation, QStringLiteral("lightningPulse"));
}

const std::array<Color, 3> plasmaColors{Color::calibratedRGB(0.38, 0.16, 1.0, 1.0),
                                        Color::calibratedRGB(0.12, 0.55, 1.0, 1.0),
                                        Color::calibratedRGB(0.69, 0.2, 1.0, 1.0)};

/// A ribbon's two shapes: resting (`swollen` false) and swollen, of one structure.
Path ribbonPath(const pf::Rect& rect, int edge, double c, double w, double h, bool swollen) {
  const auto at = [&](double a, double rest, double swell) {
    return outside(rect, edge, c + a * w, (swollen ? swell : rest) * h);
  };
  Path path;
  path.moveTo(outside(rect, edge, c - 0.5 * w, 2));
  path.cubicTo(at(-0.35, 0.65, 0.95), at(-0.14, 1.3, 1.0), at(0, 0.53, 0.77));
  path.cubicTo(at(0.18, 0.1, 0.4), at(0.38, 1.3, 0.9), outside(rect, edge, c + 0.5 * w, 2));
  return path;
}

struct Ribbon {
  Path rest;
  Path swollen;
  Color color;
  double alpha = 0;
  int seed = 0;
};

void addRibbon(pf::Layer& root, const Ribbon& r, const BorderVFXConfiguration& configuration, bool reduced) {
  struct Stroke {
    double width, alpha;
    bool glows;
  };
  static constexpr std::array<Stroke, 4> strokes{
      {{24, 0.045, false}, {14, 0.07, false}, {7, 0.13, true}, {2, 0.45, false}}};
  const double speed = configuration.speed;
  auto group = Parts::named(QStringLiteral("plasmaRibbon"));
  group->setOpacity(r.alpha);
  const auto flow = Parts::basic(QStringLiteral("path"), r.rest, r.swollen);
  Parts::breatheForever(*flow, (3.5 + 3 * noise(r.seed + 70)) / speed, noise(r.seed + 80));
  for (const Stroke& s : strokes) {
    auto layer = Parts::stroke(r.rest, r.color.withAlpha(s.alpha), s.width);
    layer->setLineCap(pf::LineCap::round);
    if (s.glows) Parts::glow(*layer, r.color, 0.8 * configuration.glow, 12);
    if (!reduced) layer->addAnimation(*flow, QStringLiteral("plasmaFlow"));
    group->addSublayer(layer);
  }
  if (!reduced) {
    const auto pulse = Parts::basic(QStringLiteral("opacity"), 0.55 * r.alpha, r.alpha);
    Parts::breatheForever(*pulse, (3 + 4 * noise(r.seed + 90)) / speed, noise(r.seed + 100));
    group->addAnimation(*pulse, QStringLiteral("plasmaPulse"));
  }
  root.addSublayer(group);
}

}  // namespace

void QuibBorderVFX::lightning(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                              bool reduced) {
  struct EdgeStyle {
    double spacing, reach, alpha;
  };
  static constexpr std::array<EdgeStyle, 4> styles{
      {{95, 1.25, 1.0}, {140, 0.75, 0.55}, {140, 0.75, 0.75}, {140, 0.75, 0.75}}};
  for (int e = 0; e < 4; ++e) {
    const EdgeStyle& style = styles[static_cast<std::size_t>(e)];
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / style.spacing), 2, 22);
    const double w = std::min(length / n * 1.05, 115.0);
    const double alpha = configuration.opacity * style.alpha;
    for (int j = 0; j < n; ++j) {
      const int b = 100 * e + 13 * j;
      const double t = (j + 0.5) / n;
      const double h = (28 + 42 * noise(b + 5)) * style.reach * (nearCorner(t) ? 1.4 : 1);
      const Arc arc = arcAt(rect, e, length * t, w, h, b);
      const auto layer = arcLayer(arc, j % 3 == 0 ? lightningViolet : lightningBlue, alpha, configuration.glow);
      if (!reduced) flicker(*layer, alpha, b, configuration.speed);
      root.addSublayer(layer);
      root.addSublayer(contact(arc.points.front(), configuration.opacity, configuration.glow));
      root.addSublayer(contact(arc.points.back(), configuration.opacity, configuration.glow));
    }
  }
}

void QuibBorderVFX::plasma(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                           bool reduced) {
  static constexpr std::array<double, 4> reach{1.25, 0.8, 0.8, 0.8};
  static constexpr std::array<double, 4> edgeAlpha{0.85, 0.45, 0.65, 0.65};
  for (int e = 0; e < 4; ++e) {
    const double length = Parts::side(rect, e);
    const int n = Parts::count(configuration.intensity * (length / 95), 3, 24);
    const double w = std::min(length / n * 1.9, 160.0);
    const double b = edgeAlpha[static_cast<std::size_t>(e)] * configuration.opacity;
    for (int j = 0; j < n; ++j) {
      const int base = 157 * e + 19 * j;
      const double t = (j + 0.5) / n, c = length * t;
      for (int r = 0; r < 3; ++r) {
        const int s = base + r;
        const double h = (10 + 14 * r + 16 * noise(s)) * reach[static_cast<std::size_t>(e)] * (nearCorner(t) ? 1.3 : 1);
        const Ribbon ribbon{ribbonPath(rect, e, c, w, h, false), ribbonPath(rect, e, c, w, h, true),
                            plasmaColors[static_cast<std::size_t>((e + j + r) % 3)], (r < 2 ? 0.8 : 0.55) * b, s};
        addRibbon(root, ribbon, configuration, reduced);
      }
    }
  }
  auto outline = Parts::outline(rect, 2, plasmaColors[1].withAlpha(0.55 * configuration.opacity), 3);
  outline->setName(QStringLiteral("plasmaContact"));
  Parts::glow(*outline, plasmaColors[0], configuration.glow, 10);
  root.addSublayer(outline);
}

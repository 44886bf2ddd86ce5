// The rim effects: snow and toxic.
#include "look/BorderVFXParts.h"
#include "look/QuibBorderVFX.h"
#include "platform/gfx/GradientLayer.h"

#include <array>

namespace {

using Parts = BorderVFXParts;
using pf::Color;
using pf::Path;
using pf::Point;

double noise(int n) { return QuibBorderVFX::noise(n); }

const Color snowColor = Color::calibratedRGB(0.76, 0.9, 1.0, 1.0);
const Color toxicColor = Color::calibratedRGB(0.42, 1.0, 0.08, 1.0);

/// A heap of overlapping lumps on the top edge, as many for any intensity.
void snowCap(pf::Layer& root, const pf::Rect& rect, double opacity) {
  const int c = Parts::count(rect.width() / 14, 5, 80);
  for (int k = 62; k < 62 + c; ++k) {
    const double r = 3 + 5 * noise(k - 1);
    auto lump = pf::Layer::make();
    lump->setBounds(pf::Rect(0, 0, 2 * r, r));
    lump->setCornerRadius(r / 2);
    lump->setPosition({rect.minX() + rect.width() * noise(k), rect.maxY() + r / 4});
    lump->setBackgroundColor(snowColor.withAlpha(0.5 * opacity));
    root.addSublayer(lump);
  }
}

/// A flake's fall: above the window onto its top edge, below it away from the
/// bottom edge, at the sides down alongside it, drifting a little outward.
std::array<Point, 2> flakePath(const pf::Rect& rect, int edge, int s) {
  const double length = Parts::side(rect, edge), a = noise(s + 1);
  switch (edge) {
    case 0: {
      const Point from{rect.minX() + length * a, rect.maxY() + 45 + 65 * noise(s + 3)};
      return {from, Point{from.x + 18, rect.maxY() + 4}};
    }
    case 1: {
      const Point from{rect.minX() + length * a, rect.minY() - 5};
      return {from, Point{from.x + 20, rect.minY() - 70 - 45 * noise(s + 3)}};
    }
    default: {
      const double out = 14 + 70 * noise(s + 3), side = edge == 2 ? -1 : 1;
      const Point from{edge == 2 ? rect.minX() - out : rect.maxX() + out, rect.minY() + length * a + 25};
      return {from, Point{from.x + 12 * side, from.y - 85 - 40 * noise(s + 4)}};
    }
  }
}

void snowflake(pf::Layer& root, const pf::Rect& rect, int edge, int s, const BorderVFXConfiguration& configuration,
               bool reduced) {
  const auto [from, to] = flakePath(rect, edge, s);
  const double f = configuration.opacity * (0.45 + 0.4 * noise(s + 5));
  auto flake = Parts::dot(1.5 + 3.5 * noise(s + 2), snowColor);
  flake->setName(QStringLiteral("snowflake"));
  flake->setPosition(from);
  Parts::glow(*flake, snowColor, 0.25 * configuration.glow, 2);
  flake->setOpacity(f);
  root.addSublayer(flake);
  if (reduced) return;
  const auto group = Parts::group({
      Parts::keyframes(QStringLiteral("position"), {from, Point{from.x + 7, (from.y + to.y) / 2}, to}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, f, f, 0.0}, {0, 0.15, 0.8, 1}),
  });
  Parts::repeatForever(*group, (9 + 10 * noise(s + 6)) / configuration.speed, noise(s + 7));
  flake->addAnimation(*group, QStringLiteral("snowfall"));
}

/// Where a toxic element sits on `edge` and how it drifts.
struct Element {
  Point anchor;
  double dx = 0;
  double vaporRise = 0;
  double bubbleRise = 0;
  double dropletFall = 0;
};

Element elementAt(const pf::Rect& rect, int edge, double t, int s) {
  const double along = Parts::side(rect, edge) * t;
  const double sway = 24 * (noise(s + 3) - 0.5);
  switch (edge) {
    case 0: return {{rect.minX() + along, rect.maxY() + 8}, sway, 45, 30, 0};
    case 1: return {{rect.minX() + along, rect.minY() - 12}, sway, -18, -18, -35};
    case 2: return {{rect.minX() - 15, rect.minY() + along}, -18, 45, 30, -35};
    default: return {{rect.maxX() + 15, rect.minY() + along}, 18, 45, 30, -35};
  }
}

void vapor(pf::Layer& root, const Element& el, int s, const BorderVFXConfiguration& configuration, bool reduced) {
  const double p = configuration.opacity;
  auto layer = pf::GradientLayer::make();
  layer->setName(QStringLiteral("toxicVapor"));
  layer->setType(pf::GradientLayer::Type::radial);
  layer->setBounds(pf::Rect(0, 0, 24 + 27 * noise(s + 1), 35 + 35 * noise(s + 2)));
  layer->setPosition(el.anchor);
  layer->setColors({toxicColor.withAlpha(0.23), Color::calibratedRGB(0.16, 0.6, 0.02, 0.1), Parts::clear()});
  layer->setLocations({0, 0.4, 1});
  layer->setStartPoint({0.5, 0.4});
  layer->setEndPoint({1, 1});
  layer->setOpacity(0.6 * p);
  root.addSublayer(layer);
  if (reduced) return;
  const Point a = el.anchor;
  const auto group = Parts::group({
      Parts::basic(QStringLiteral("position"), a, Point{a.x + el.dx, a.y + el.vaporRise}),
      Parts::basic(QStringLiteral("transform.scale"), 0.65, 1.45),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.8 * p, 0.5 * p, 0.0}, {0, 0.3, 0.65, 1}),
  });
  Parts::repeatForever(*group, (7 + 5 * noise(s + 4)) / configuration.speed, noise(s + 5));
  layer->addAnimation(*group, QStringLiteral("toxicDrift"));
}

/// A drop with its point up, `r` across its round part.
Path dropletPath(double r) {
  Path path;
  path.moveTo({0, 1.5 * r});
  path.cubicTo({-1.6 * r, 0}, {-r, -r}, {0, -r});
  path.cubicTo({r, -r}, {1.6 * r, 0}, {0, 1.5 * r});
  path.close();
  return path;
}

/// A bubble that rises or a droplet that falls (on the top edge it stays level).
void accent(pf::Layer& root, const Element& el, int edge, bool bubble, int s,
            const BorderVFXConfiguration& configuration, bool reduced) {
  const double p = configuration.opacity, r = 3 + 5 * noise(s + 6);
  auto layer = Parts::stroke(bubble ? Path::ellipse(pf::Rect(-r, -r, 2 * r, 2 * r)) : dropletPath(r),
                             toxicColor.withAlpha(0.8), 0.8);
  layer->setName(bubble ? QStringLiteral("toxicBubble") : QStringLiteral("toxicDroplet"));
  layer->setFillColor(toxicColor.withAlpha(bubble ? 0.08 : 0.6));
  Parts::glow(*layer, toxicColor, 0.7 * configuration.glow, 5);
  const double outward = edge == 2 ? -r : (edge == 3 ? r : 0);
  const Point q{el.anchor.x + outward, el.anchor.y};
  layer->setPosition(q);
  layer->setOpacity(0.7 * p);
  root.addSublayer(layer);
  if (reduced) return;
  const double dy = bubble ? el.bubbleRise : el.dropletFall;
  const auto group = Parts::group({
      Parts::basic(QStringLiteral("position"), q, Point{q.x + el.dx / 2, q.y + dy}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.8 * p, 0.65 * p, 0.0}, {0, 0.2, 0.75, 1}),
      Parts::basic(QStringLiteral("transform.scale"), 0.55, bubble ? 1.2 : 0.9),
  });
  Parts::repeatForever(*group, (6 + 5 * noise(s + 7)) / configuration.speed, noise(s + 8));
  layer->addAnimation(*group, QStringLiteral("toxicAccent"));
}

}  // namespace

void QuibBorderVFX::snow(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                         bool reduced) {
  // A wide faint halo, a middle band and a crisp inner line.
  struct Band {
    double width, alpha;
  };
  static constexpr std::array<Band, 3> bands{{{10, 0.12}, {5, 0.35}, {2, 0.75}}};
  for (const Band& band : bands) {
    auto layer = Parts::outline(rect, 3, snowColor.withAlpha(configuration.opacity * band.alpha), band.width);
    layer->setName(QStringLiteral("snowFrostRim"));
    Parts::glow(*layer, snowColor, 0.4 * configuration.glow, 6);
    root.addSublayer(layer);
  }
  snowCap(root, rect, configuration.opacity);
  for (int e = 0; e < 4; ++e) {
    const int n = Parts::count(configuration.intensity * Parts::side(rect, e) / 30, 5, 55);
    for (int j = 0; j < n; ++j) snowflake(root, rect, e, 907 * e + 53 * j, configuration, reduced);
  }
}

void QuibBorderVFX::toxic(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                          bool reduced) {
  auto outline = Parts::outline(rect, 2, toxicColor.withAlpha(0.55 * configuration.opacity), 3);
  outline->setName(QStringLiteral("toxicRim"));
  Parts::glow(*outline, toxicColor, configuration.glow, 8);
  root.addSublayer(outline);
  for (int e = 0; e < 4; ++e) {
    const int n = Parts::count(configuration.intensity * Parts::side(rect, e) / 60, 4, 28);
    for (int j = 0; j < n; ++j) {
      const int s = 941 * e + 59 * j;
      // One element per slot of the edge, somewhere within it.
      const Element el = elementAt(rect, e, (j + noise(s)) / n, s);
      vapor(root, el, s, configuration, reduced);
      if (j % 2 == 0) accent(root, el, e, j % 4 == 0, s, configuration, reduced);
    }
  }
}

// The border effects made of points of light: fireflies, runes and matrix.
// Runes and digits are stroked paths; no font is involved.
#include "look/BorderVFXParts.h"
#include "look/QuibBorderVFX.h"
#include "platform/gfx/GradientLayer.h"

#include <algorithm>
#include <array>

namespace {

using Parts = BorderVFXParts;
using pf::Color;
using pf::Path;
using pf::Point;

double noise(int n) { return QuibBorderVFX::noise(n); }

/// The firefly: a glowing dot with a soft halo.
std::shared_ptr<pf::Layer> fireflyLayer(double z, const Color& color, double glow) {
  auto layer = Parts::dot(z, color);
  layer->setName(QStringLiteral("firefly"));
  Parts::glow(*layer, color, glow, 5 + 5 * glow);
  auto halo = pf::GradientLayer::make();
  halo->setType(pf::GradientLayer::Type::radial);
  halo->setFrame(pf::Rect(z / 2 - 9, z / 2 - 9, 18, 18));
  halo->setColors({color.withAlpha(0.2 * glow), Parts::clear()});
  halo->setStartPoint({0.5, 0.5});
  halo->setEndPoint({1, 1});
  layer->addSublayer(halo);
  return layer;
}

/// Where a firefly first shows: on one side of its orbit, by turns.
Point fireflyStart(const pf::Rect& rect, const pf::Rect& orbit, int i, double t) {
  switch (i % 4) {
    case 0: return {rect.minX() + rect.width() * t, orbit.maxY()};
    case 1: return {orbit.maxX(), rect.minY() + rect.height() * t};
    case 2: return {rect.minX() + rect.width() * t, orbit.minY()};
    default: return {orbit.minX(), rect.minY() + rect.height() * t};
  }
}

/// Laps the orbit at an even speed, flickering on its own beat.
void wander(pf::Layer& firefly, const Path& orbit, double t, double opacity, int s, double speed) {
  auto lap = std::make_shared<pf::KeyframeAnimation>(QStringLiteral("position"));
  lap->path = orbit;
  lap->calculationMode = pf::KeyframeAnimation::CalculationMode::paced;
  Parts::repeatForever(*lap, (90 + 90 * noise(s + 6)) / speed, t);
  firefly.addAnimation(*lap, QStringLiteral("fireflyOrbit"));
  const auto flicker =
      Parts::keyframes(QStringLiteral("opacity"), {0.04, 0.35 * opacity, 0.95 * opacity, 0.25 * opacity, 0.04},
                       {0, 0.25, 0.45, 0.75, 1});
  flicker->calculationMode = pf::KeyframeAnimation::CalculationMode::cubic;
  Parts::repeatForever(*flicker, (4.5 + 5 * noise(s + 7)) / speed, noise(s + 8));
  firefly.addAnimation(*flicker, QStringLiteral("fireflyGlow"));
}

/// Adds the straight strokes through `points` to `path`.
void polyline(Path& path, std::initializer_list<Point> points) {
  path.moveTo(*points.begin());
  for (auto p = points.begin() + 1; p != points.end(); ++p) path.lineTo(*p);
}

/// Rune figure `figure` (0 to 5), `h` half high and `w` half wide, about its centre.
Path runeFigure(int figure, double h, double w) {
  Path p;
  switch (figure) {
    case 0:
      polyline(p, {{0, -h}, {0, h}});
      polyline(p, {{0, h}, {w, 0.4 * h}, {0, 0}});
      break;
    case 1:
      polyline(p, {{0, h}, {w, 0}, {0, -h}, {-w, 0}, {0, h}});
      polyline(p, {{-w, 0}, {w, 0}});
      break;
    case 2:
      polyline(p, {{-w, 0.5 * h}, {0, h}, {w, 0.5 * h}});
      polyline(p, {{0, h}, {0, -h}});
      polyline(p, {{-w, -0.2 * h}, {0, -0.65 * h}, {w, -0.2 * h}});
      break;
    case 3:
      polyline(p, {{-w, -h}, {-w, h}, {w, 0}, {-w, -h}});
      polyline(p, {{-w, 0}, {w, h}});
      break;
    case 4:
      polyline(p, {{-w, h}, {w, h}, {-w, -h}, {w, -h}});
      polyline(p, {{-w, 0}, {w, 0}});
      break;
    default:
      polyline(p, {{-w, h}, {0, 0}, {w, h}});
      polyline(p, {{0, 0}, {0, -h}});
      polyline(p, {{-w, -0.45 * h}, {w, -0.45 * h}});
      break;
  }
  return p;
}

/// The rune 25 points outside `edge`, at `u` of it.
Point runePlace(const pf::Rect& rect, int edge, double u) {
  const double along = Parts::side(rect, edge) * u;
  switch (edge) {
    case 0: return {rect.minX() + along, rect.maxY() + 25};
    case 1: return {rect.minX() + along, rect.minY() - 25};
    case 2: return {rect.minX() - 25, rect.minY() + along};
    default: return {rect.maxX() + 25, rect.minY() + along};
  }
}

/// A binary digit 7 points high standing on its origin: a rounded zero or a one.
Path digit(bool zero) {
  if (zero) return Path::roundedRect(pf::Rect(-2, 0, 4, 7), 1, 1);
  Path one;
  polyline(one, {{-1, 5}, {1, 7}, {1, 0}});
  polyline(one, {{-1, 0}, {3, 0}});
  return one;
}

/// Where a stream starts and how far it falls.
struct Stream {
  Point start;
  double fall = 0;
};

Stream streamAt(const pf::Rect& rect, int edge, double u, int m) {
  const double along = Parts::side(rect, edge) * u;
  switch (edge) {
    case 0: return {{rect.minX() + along, rect.maxY() + 68 + 20 * noise(m + 1)}, 52};
    case 1: return {{rect.minX() + along, rect.minY() - 48}, 48};
    case 2: return {{rect.minX() - 12 - 38 * noise(m + 1), rect.minY() + along}, 70 + 35 * noise(m + 2)};
    default: return {{rect.maxX() + 12 + 38 * noise(m + 1), rect.minY() + along}, 70 + 35 * noise(m + 2)};
  }
}

/// Three to five digits stacked upward from a bright head, fading towards the tail.
void addDigits(pf::Layer& stream, int m, double glow) {
  const int c = 3 + static_cast<int>(3 * noise(m + 3));
  for (int i = 0; i < c; ++i) {
    const double a = 0.85 * (1 - static_cast<double>(i) / c);
    const Color color = i == 0 ? Color::calibratedRGB(0.68, 1.0, 0.76, a) : Color::calibratedRGB(0.1, 0.88, 0.33, a);
    auto layer = Parts::stroke(digit(noise(m + i + 10) <= 0.5), color, 0.8);
    layer->setPosition({0, 9.0 * i});
    if (i == 0) Parts::glow(*layer, color, 0.65 * glow, 4);
    stream.addSublayer(layer);
  }
}

/// The stream falls while fading in and out, then starts again.
void fall(pf::Layer& layer, const Stream& s, double opacity, int m, double speed) {
  const auto group = Parts::group({
      Parts::basic(QStringLiteral("position"), s.start, Point{s.start.x, s.start.y - s.fall}),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, opacity, 0.8 * opacity, 0.0}, {0, 0.15, 0.75, 1}),
  });
  Parts::repeatForever(*group, (5 + 5 * noise(m + 4)) / speed, noise(m + 5));
  layer.addAnimation(*group, QStringLiteral("dataFall"));
}

}  // namespace

void QuibBorderVFX::fireflies(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                              bool reduced) {
  const int n = Parts::count(configuration.intensity * ((rect.width() + rect.height()) / 65), 8, 64);
  for (int i = 0; i < n; ++i) {
    const int s = 43 * i;
    const double d = 18 + 65 * noise(s + 1);
    const pf::Rect grown = rect.insetBy(-d, -d);
    const double corner = std::min(0.65 * d, 35.0);
    const double t = noise(s + 4);
    const Color color = Color::calibratedRGB(0.82 + 0.18 * noise(s + 3), 0.92, 0.22, 1.0);
    auto firefly = fireflyLayer(2 + 1.8 * noise(s + 2), color, configuration.glow);
    firefly->setPosition(fireflyStart(rect, grown, i, t));
    firefly->setOpacity(configuration.opacity * (0.35 + 0.45 * noise(s + 5)));
    if (!reduced) {
      wander(*firefly, Path::roundedRect(grown, corner, corner), t, configuration.opacity, s, configuration.speed);
    }
    root.addSublayer(firefly);
  }
}

void QuibBorderVFX::runes(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                          bool reduced) {
  const Color violet = Color::calibratedRGB(0.72, 0.42, 1.0, 1.0);
  const Color sky = Color::calibratedRGB(0.4, 0.75, 1.0, 1.0);
  for (int e = 0; e < 4; ++e) {
    const int n = Parts::count(configuration.intensity * (Parts::side(rect, e) / 55), 3, 25);
    const double beta = (e == 1 ? 0.7 : 0.95) * configuration.opacity;
    for (int k = 0; k < n; ++k) {
      const int q = 1 + 607 * e + 41 * k;
      const double g = 12 + 6 * noise(q);
      const Color color = k % 3 == 0 ? violet : sky;
      auto rune = Parts::named(QStringLiteral("magicRune"));
      rune->setPosition(runePlace(rect, e, (k + 0.5) / n));
      root.addSublayer(rune);
      auto figure = Parts::stroke(runeFigure((3 * e + k) % 6, 0.5 * g, 0.32 * g), color, 1.3);
      figure->setLineJoin(pf::LineJoin::round);
      figure->setLineCap(pf::LineCap::round);
      Parts::glow(*figure, color, configuration.glow, 6);
      rune->addSublayer(figure);
      rune->setOpacity(0.65 * beta);
      if (reduced) continue;
      const auto glowing =
          Parts::keyframes(QStringLiteral("opacity"), {0.08 * beta, 0.25 * beta, beta, 0.4 * beta, 0.08 * beta},
                           {0, 0.25, 0.5, 0.72, 1});
      glowing->calculationMode = pf::KeyframeAnimation::CalculationMode::cubic;
      Parts::repeatForever(*glowing, (6 + 7 * noise(q + 1)) / configuration.speed, noise(q + 2));
      rune->addAnimation(*glowing, QStringLiteral("runeIllumination"));
    }
  }
}

void QuibBorderVFX::matrix(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                           bool reduced) {
  for (int e = 0; e < 4; ++e) {
    const int n = Parts::count(configuration.intensity * (Parts::side(rect, e) / 55), 4, 32);
    for (int j = 0; j < n; ++j) {
      const int m = 823 * e + 47 * j;
      // Jittered inside its own slot of the edge.
      const Stream s = streamAt(rect, e, (j + 0.2 + 0.6 * noise(m)) / n, m);
      auto stream = Parts::named(QStringLiteral("dataRainStream"));
      stream->setPosition(s.start);
      root.addSublayer(stream);
      addDigits(*stream, m, configuration.glow);
      stream->setOpacity(0.7 * configuration.opacity);
      if (!reduced) fall(*stream, s, configuration.opacity, m, configuration.speed);
    }
  }
}

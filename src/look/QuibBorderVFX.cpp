#include "look/QuibBorderVFX.h"

#include "look/BorderTextures.h"
#include "look/BorderVFXParts.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/ShapeLayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

using Emission = QuibBorderVFX::Emission;
using Parts = BorderVFXParts;

const QString pulseKey = QStringLiteral("vfxPulse");

void addPulse(pf::Layer& root, double speed) {
  const auto pulse = Parts::basic(QStringLiteral("opacity"), 0.84, 1.0);
  Parts::breatheForever(*pulse, 3.8 / speed, 0);
  root.addAnimation(*pulse, pulseKey);
}

/// Everything one flame or smoke layer of one emission is built from.
struct Wisp {
  const Emission& emission;
  int level = 0;     // 0 at the edge, 1 and 2 rising
  double alpha = 0;  // its full opacity
  bool smoke = false;
  int seed() const { return emission.seed + 997 * level; }
};

std::shared_ptr<pf::Layer> wispLayer(const Wisp& w, const pf::Rect& rect) {
  static constexpr std::array<double, 3> sizeFactor{0.5, 0.95, 1.18};
  const int s = w.seed();
  const double n = QuibBorderVFX::noise(s + 90), m = QuibBorderVFX::noise(s + 91);
  const int z = w.emission.seed;
  const double f = sizeFactor[static_cast<std::size_t>(w.level)] * (z >= 100 && z <= 107 ? 1.16 : 1);
  const pf::Point p = w.emission.point;
  auto layer = pf::Layer::make();
  layer->setBounds(w.smoke ? pf::Rect(0, 0, f * (78 + 52 * n), f * (86 + 38 * m))
                           : pf::Rect(0, 0, f * (58 + 45 * n), f * (64 + 48 * m)));
  // Standing on its point; below the window it hangs from it.
  layer->setAnchorPoint(p.y < rect.minY() ? pf::Point{0.5, 0.82} : pf::Point{0.5, 0.04});
  layer->setPosition(p);
  const auto& textures = w.smoke ? BorderTextures::smoke() : BorderTextures::fire();
  layer->setContents(textures[static_cast<std::size_t>(s % BorderTextures::variants)]);
  layer->setOpacity(0.7 * w.alpha);
  return layer;
}

/// The flame at the edge flickers in place.
void flicker(pf::Layer& layer, const Wisp& w, double speed) {
  const double n = QuibBorderVFX::noise(w.seed() + 90);
  const auto animation = Parts::basic(QStringLiteral("opacity"), 0.55 * w.alpha, w.alpha);
  Parts::repeatForever(*animation, (2.8 + 2 * n) / speed, n);
  animation->autoreverses = true;
  layer.addAnimation(*animation, QStringLiteral("attachedSource"));
}

/// The wisps above it rise, swell, drift sideways (outwards on the sides) and fade.
void rise(pf::Layer& layer, const Wisp& w, const pf::Rect& rect, double speed) {
  const int s = w.seed();
  const pf::Point p = w.emission.point;
  const double outward = p.x < rect.minX() ? -24 : (p.x > rect.maxX() ? 24 : 0);
  const double dx = (w.smoke ? 32 : 16) * (QuibBorderVFX::noise(s + 18) - 0.5) + outward;
  const double b = w.smoke ? 16 : 7, c = w.smoke ? 38 : 20;
  const double o = w.alpha;
  const auto group = Parts::group({
      Parts::keyframes(QStringLiteral("position"),
                       {p, pf::Point{p.x + 0.3 * dx, p.y + b}, pf::Point{p.x + dx, p.y + c}}),
      Parts::basic(QStringLiteral("transform.scale"), 0.85, w.smoke ? 1.3 : 1.15),
      Parts::keyframes(QStringLiteral("opacity"), {0.0, 0.8 * o, o, 0.6 * o, 0.0}, {0, 0.25, 0.5, 0.8, 1}),
  });
  const double n = QuibBorderVFX::noise(s + 90);
  Parts::easeForever(*group, ((w.smoke ? 7 : 4.5) + (w.smoke ? 4 : 3) * n) / speed, QuibBorderVFX::noise(s + 150));
  layer.addAnimation(*group, QStringLiteral("borderVFX"));
}

/// A soft orange glow under a flame at the edge, below everything built so far.
void glow(pf::Layer& root, const Emission& e, double glowAmount) {
  auto layer = pf::GradientLayer::make();
  layer->setType(pf::GradientLayer::Type::radial);
  layer->setFrame(pf::Rect(e.point.x - 34, e.point.y - 18, 68, 44));
  layer->setColors(
      {pf::Color::calibratedRGB(1.0, 0.3, 0.0, e.strength * glowAmount * 0.38), pf::Color::calibratedWhite(0, 0)});
  layer->setStartPoint({0.5, 0.25});
  layer->setEndPoint({1, 1});
  root.insertSublayer(layer, 0);
}

}  // namespace

double QuibBorderVFX::noise(int n) {
  const double x = std::sin(static_cast<double>(n) * 127.1 + 311.7) * 43758.5453;
  return x - std::floor(x);
}

std::vector<QuibBorderVFX::Emission> QuibBorderVFX::emissions(const pf::Rect& rect, double intensity) {
  if (!(intensity > 0)) return {};
  const double k = intensity, w = rect.width(), h = rect.height();
  std::vector<Emission> out;
  const int n = Parts::count(k * w / 24, 2, 64);
  for (int i = 0; i < n; ++i) {
    out.push_back(
        {{rect.minX() + w * (i + 0.15 + 0.7 * noise(i)) / n, rect.maxY() + 1}, 1 + 0.15 * noise(i + 45), i + 1});
  }
  for (int q = 0; q < 7; ++q) {
    const double x = q < 4 ? rect.minX() + 4 + 18 * noise(60 + q) : rect.maxX() - 4 - 24 * noise(70 + q);
    out.push_back({{x, rect.maxY() + 1}, 1.35, 100 + q});
  }
  const int m = Parts::count(k * h / 60, 2, 28);
  for (int side = 0; side < 2; ++side) {
    const double x = side == 0 ? rect.minX() - 3 : rect.maxX() + 3;
    for (int j = 0; j < m; ++j) {
      const double t = (j + 0.2 + 0.6 * noise(j + (side == 0 ? 20 : 51))) / m;
      out.push_back({{x, rect.minY() + h * t}, 0.48 + 0.22 * t, (side == 0 ? 200 : 230) + j});
    }
  }
  const int b = Parts::count(k * w / 65, 2, 28);
  for (int q = 0; q < b; ++q) {
    out.push_back({{rect.minX() + w * (0.2 + 0.6 * noise(76 + q)), rect.minY() - 5}, 0.45, 300 + q});
  }
  return out;
}

void QuibBorderVFX::populate(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& given,
                             bool reducedMotion) {
  root.removeAllSublayers();
  root.removeAnimation(pulseKey);

  // Only the band around the window shows: the root's bounds minus the window.
  auto mask = pf::ShapeLayer::make();
  pf::Path band = pf::Path::rect(root.bounds());
  band.addRect(rect);
  mask->setPath(band);
  mask->setFillRule(pf::ShapeLayer::FillRule::evenOdd);
  root.setMask(mask);

  const BorderVFXConfiguration configuration = given.clamped();
  if (configuration.type == QuibBorderEffect::none || configuration.opacity <= 0 || configuration.intensity <= 0) {
    return;
  }
  if (!reducedMotion) addPulse(root, configuration.speed);

  using Builder = void (*)(pf::Layer&, const pf::Rect&, const BorderVFXConfiguration&, bool);
  static const std::map<QuibBorderEffect::Value, Builder> builders{
      {QuibBorderEffect::toxic, toxic},         {QuibBorderEffect::snow, snow},
      {QuibBorderEffect::matrix, matrix},       {QuibBorderEffect::runes, runes},
      {QuibBorderEffect::fireflies, fireflies}, {QuibBorderEffect::blossoms, blossoms},
      {QuibBorderEffect::vines, vines},         {QuibBorderEffect::bubbles, bubbles},
      {QuibBorderEffect::starfield, starfield}, {QuibBorderEffect::frost, frost},
      {QuibBorderEffect::plasma, plasma},       {QuibBorderEffect::lightning, lightning},
  };
  const auto builder = builders.find(configuration.type);
  if (builder != builders.end()) {
    builder->second(root, rect, configuration, reducedMotion);
  } else {
    fireAndSmoke(root, rect, configuration, reducedMotion);
  }
}

void QuibBorderVFX::fireAndSmoke(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration,
                                 bool reduced) {
  const bool smoke = configuration.type == QuibBorderEffect::smoke;
  const std::vector<Emission> points = emissions(rect, configuration.intensity);
  for (const Emission& e : points) {
    const double a = configuration.opacity * e.strength;
    const std::array<double, 3> alphas{std::min(0.65 * a, 1.0), std::min(0.75 * a, 1.0), std::min(0.45 * a, 1.0)};
    for (int level = 0; level < 3; ++level) {
      const Wisp wisp{e, level, alphas[static_cast<std::size_t>(level)], smoke};
      const auto layer = wispLayer(wisp, rect);
      root.addSublayer(layer);
      if (!smoke && level == 0 && configuration.glow > 0) glow(root, e, configuration.glow);
      if (reduced) continue;
      if (level == 0) {
        flicker(*layer, wisp, configuration.speed);
      } else {
        rise(*layer, wisp, rect, configuration.speed);
      }
    }
  }
  if (!smoke && !reduced) embers(root, rect, configuration);
}

void QuibBorderVFX::embers(pf::Layer& root, const pf::Rect& rect, const BorderVFXConfiguration& configuration) {
  // An ember flashes up just above the top edge and fades while it climbs,
  // then stays dark for the rest of its cycle.
  const int count = Parts::count(configuration.intensity * rect.width() / 45, 5, 36);
  for (int k = 400; k < 400 + count; ++k) {
    const pf::Point from{rect.minX() + rect.width() * noise(k), rect.maxY() + 1};
    auto ember = pf::Layer::make();
    ember->setBounds(pf::Rect(0, 0, 1.7, 2.8));
    ember->setCornerRadius(0.6);
    ember->setPosition(from);
    ember->setOpacity(0);
    ember->setBackgroundColor(pf::Color::calibratedRGB(1.0, 0.55, 0.08, 1.0));
    root.addSublayer(ember);
    const pf::Point to{from.x + 16 * noise(k + 300) - 8, rect.maxY() + 65 + 55 * noise(k + 100)};
    const double peak = 0.7 * configuration.opacity;
    const auto group = Parts::group({
        Parts::basic(QStringLiteral("position"), from, to),
        Parts::keyframes(QStringLiteral("opacity"), {0.0, peak, 0.0, 0.0}, {0, 0.12, 0.55, 1}),
    });
    Parts::repeatForever(*group, (7 + 5 * noise(k + 400)) / configuration.speed, noise(k + 200));
    ember->addAnimation(*group, QStringLiteral("emberRise"));
  }
}

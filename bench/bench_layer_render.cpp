// Milliseconds to render one frame of effect-like layer trees around an
// 800 x 600 window (a panel 180 points larger on every side), on the CPU.
// Run pinned to one core, e.g. `taskset -c 2 ./bench_layer_render`.
#include "LayerBench.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/ShapeLayer.h"

#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace pf;
using layer_bench::panel;
using layer_bench::window;

namespace {

double noise(int n) {
  const double v = std::sin(n * 127.1 + 311.7) * 43758.5453;
  return v - std::floor(v);
}

// A point just outside the window: along its outline by fraction u, `d` points out.
Point aroundWindow(double u, double d) {
  const double w = window.width(), h = window.height(), perimeter = 2 * (w + h);
  double a = std::fmod(u, 1.0) * perimeter;
  if (a < w) return {window.minX() + a, window.maxY() + d};
  a -= w;
  if (a < h) return {window.maxX() + d, window.maxY() - a};
  a -= h;
  if (a < w) return {window.maxX() - a, window.minY() - d};
  a -= w;
  return {window.minX() - d, window.minY() + a};
}

std::shared_ptr<Layer> effectRoot() {
  auto root = Layer::make();
  root->setFrame(Rect(0, 0, panel.width(), panel.height()));
  auto mask = ShapeLayer::make();
  Path band = Path::rect(root->bounds());
  band.addRect(window);
  mask->setPath(band);
  mask->setFillRule(ShapeLayer::FillRule::evenOdd);
  root->setMask(mask);
  BasicAnimation pulse("opacity");
  pulse.fromValue = 0.84;
  pulse.toValue = 1.0;
  pulse.duration = 3.8;
  pulse.autoreverses = true;
  pulse.repeatCount = Animation::repeatForever;
  pulse.timingFunction = TimingFunction::easeInEaseOut();
  root->addAnimation(pulse, "vfxPulse");
  return root;
}

BasicAnimation basic(const QString& keyPath, AnimationValue from, AnimationValue to) {
  BasicAnimation a(keyPath);
  a.fromValue = std::move(from);
  a.toValue = std::move(to);
  return a;
}

// An opacity pulse between `from` and `to`, back and forth without end, its
// length and phase drawn from `seed`.
BasicAnimation pulse(double from, double to, int seed) {
  auto a = basic("opacity", from, to);
  a.duration = 3 + 4 * noise(seed + 90);
  a.autoreverses = true;
  a.repeatCount = Animation::repeatForever;
  a.timingFunction = TimingFunction::easeInEaseOut();
  a.timeOffset = noise(seed + 100) * a.duration;
  return a;
}

std::shared_ptr<Layer> blobs() {
  auto root = effectRoot();
  const Color acid = Color::calibratedRGB(0.42, 1.0, 0.08, 0.23);
  for (int i = 0; i < 160; ++i) {
    auto blob = GradientLayer::make();
    blob->setType(GradientLayer::Type::radial);
    blob->setBounds(Rect(0, 0, 24 + 27 * noise(i + 1), 35 + 35 * noise(i + 2)));
    const Point p = aroundWindow((i + noise(i)) / 160, 8 + 10 * noise(i + 9));
    blob->setPosition(p);
    blob->setColors({acid, Color::calibratedRGB(0.16, 0.6, 0.02, 0.1), Color::calibratedRGB(0, 0, 0, 0)});
    blob->setLocations({0, 0.4, 1});
    blob->setStartPoint({0.5, 0.4});
    blob->setEndPoint({1, 1});
    blob->setOpacity(0.57);
    KeyframeAnimation fade("opacity");
    fade.values = {0.0, 0.76, 0.48, 0.0};
    fade.keyTimes = {0, 0.3, 0.65, 1};
    AnimationGroup drift;
    drift.animations = {basic("position", p, Point{p.x + 24 * (noise(i + 3) - 0.5), p.y + 45}).clone(),
                        basic("transform.scale", 0.65, 1.45).clone(), fade.clone()};
    drift.duration = 7 + 5 * noise(i + 4);
    drift.timeOffset = noise(i + 5) * drift.duration;
    drift.repeatCount = Animation::repeatForever;
    blob->addAnimation(drift, "toxicDrift");
    root->addSublayer(blob);
  }
  return root;
}

std::shared_ptr<Layer> glowStrokes(bool morphing) {
  auto root = effectRoot();
  const Color violet = Color::calibratedRGB(0.38, 0.16, 1.0, 0.13);
  for (int i = 0; i < 72; ++i) {
    const double u = (i + 0.5) / 72, w = 160, h = 20 + 30 * noise(i);
    const Point c = aroundWindow(u, 2);
    Path ribbon;
    ribbon.moveTo({c.x - w / 2, c.y});
    ribbon.cubicTo({c.x - 0.35 * w, c.y + 0.65 * h}, {c.x - 0.14 * w, c.y + 1.3 * h}, {c.x, c.y + 0.53 * h});
    ribbon.cubicTo({c.x + 0.18 * w, c.y + 0.1 * h}, {c.x + 0.38 * w, c.y + 1.3 * h}, {c.x + w / 2, c.y});
    auto stroke = ShapeLayer::make();
    stroke->setPath(ribbon);
    stroke->setFillColor(std::nullopt);
    stroke->setStrokeColor(violet);
    stroke->setLineWidth(i % 2 ? 24 : 14);
    stroke->setLineCap(ShapeLayer::LineCap::round);
    stroke->setShadowColor(violet.withAlpha(1));
    stroke->setShadowOpacity(0.64);
    stroke->setShadowRadius(12);
    stroke->setShadowOffset({0, 0});
    stroke->addAnimation(pulse(0.3, 0.55, i), "plasmaPulse");
    if (morphing) {
      // Swells into a second path of the same structure: drawn afresh every frame.
      Path swollen;
      swollen.moveTo({c.x - w / 2, c.y});
      swollen.cubicTo({c.x - 0.35 * w, c.y + 0.95 * h}, {c.x - 0.14 * w, c.y + h}, {c.x, c.y + 0.77 * h});
      swollen.cubicTo({c.x + 0.18 * w, c.y + 0.4 * h}, {c.x + 0.38 * w, c.y + 0.9 * h}, {c.x + w / 2, c.y});
      auto flow = basic("path", ribbon, swollen);
      flow.duration = 3.5 + 3 * noise(i + 70);
      flow.autoreverses = true;
      flow.repeatCount = Animation::repeatForever;
      flow.timingFunction = TimingFunction::easeInEaseOut();
      stroke->addAnimation(flow, "plasmaFlow");
    }
    root->addSublayer(stroke);
  }
  return root;
}

// Ribbons as plasma builds them: at intensity k, positions every 95 points of
// each edge (3 to 24 an edge), three ribbons each; a ribbon is a fading group
// of four strokes of one path (widest first, the third glowing) that swell
// together into a second path and settle again.
std::shared_ptr<Layer> plasmaRibbons(double k) {
  auto root = effectRoot();
  const Color colors[] = {Color::calibratedRGB(0.38, 0.16, 1.0), Color::calibratedRGB(0.12, 0.55, 1.0),
                          Color::calibratedRGB(0.69, 0.2, 1.0)};
  // A point `a` along edge e (top, right, bottom, left, clockwise) and `d` out from it.
  const auto at = [](int e, double a, double d) -> Point {
    switch (e) {
      case 0: return {window.minX() + a, window.maxY() + d};
      case 1: return {window.maxX() + d, window.maxY() - a};
      case 2: return {window.maxX() - a, window.minY() - d};
      default: return {window.minX() - d, window.minY() + a};
    }
  };
  for (int e = 0; e < 4; ++e) {
    const double length = e % 2 == 0 ? window.width() : window.height();
    const int n = std::clamp(static_cast<int>(k * length / 95), 3, 24);
    const double w = std::min(length / n * 1.9, 160.0);
    for (int j = 0; j < n; ++j) {
      const double c = length * (j + 0.5) / n;
      for (int r = 0; r < 3; ++r) {
        const int seed = 157 * e + 19 * j + r;
        const double h = (10 + 14 * r + 16 * noise(seed)) * k;
        const auto ribbonPath = [&](double d1, double d2, double d3, double d4, double d5) {
          Path p;
          p.moveTo(at(e, c - 0.5 * w, 2));
          p.cubicTo(at(e, c - 0.35 * w, d1 * h), at(e, c - 0.14 * w, d2 * h), at(e, c, d3 * h));
          p.cubicTo(at(e, c + 0.18 * w, d4 * h), at(e, c + 0.38 * w, d5 * h), at(e, c + 0.5 * w, 2));
          return p;
        };
        const Path a = ribbonPath(0.65, 1.3, 0.53, 0.1, 1.3), b = ribbonPath(0.95, 1.0, 0.77, 0.4, 0.9);
        const Color color = colors[(e + j + r) % 3];
        const double alpha = r < 2 ? 0.8 : 0.55;
        auto ribbon = Layer::make();
        ribbon->setOpacity(alpha);
        const double cycle = 3.5 + 3 * noise(seed + 70);
        const struct {
          double width, alpha;
          bool glows;
        } strokes[] = {{24, 0.045, false}, {14, 0.07, false}, {7, 0.13, true}, {2, 0.45, false}};
        for (const auto& s : strokes) {
          auto stroke = ShapeLayer::make();
          stroke->setPath(a);
          stroke->setFillColor(std::nullopt);
          stroke->setLineCap(ShapeLayer::LineCap::round);
          stroke->setStrokeColor(color.withAlpha(s.alpha));
          stroke->setLineWidth(s.width);
          if (s.glows) {
            stroke->setShadowColor(color);
            stroke->setShadowOpacity(0.8);
            stroke->setShadowRadius(12);
            stroke->setShadowOffset({0, 0});
          }
          auto flow = basic("path", a, b);
          flow.duration = cycle;
          flow.autoreverses = true;
          flow.repeatCount = Animation::repeatForever;
          flow.timingFunction = TimingFunction::easeInEaseOut();
          flow.timeOffset = noise(seed + 80) * cycle;
          stroke->addAnimation(flow, "plasmaFlow");
          ribbon->addSublayer(stroke);
        }
        ribbon->addAnimation(pulse(0.55 * alpha, alpha, seed), "plasmaPulse");
        root->addSublayer(ribbon);
      }
    }
  }
  return root;
}

QImage flameTexture(int variant) {
  QImage image(96, 144, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  for (int i = 0; i < 30; ++i) {
    const double t = i / 29.0;
    const QPointF centre(48 + t * 14 * std::sin(t * 4 + variant), 144 - (5 + 133 * t));
    const double r = (15 + 4 * (variant % 3)) * (1 - t) + 2;
    QRadialGradient g(centre, r);
    g.setColorAt(0,
                 QColor::fromRgbF(1, 0.72f - 0.48f * static_cast<float>(t), 0.06f, 0.72f * static_cast<float>(1 - t)));
    g.setColorAt(1, Qt::transparent);
    p.fillRect(image.rect(), g);
  }
  return image;
}

std::shared_ptr<Layer> sprites(bool scaled) {
  auto root = effectRoot();
  std::vector<QImage> textures;
  for (int v = 0; v < 7; ++v) textures.push_back(flameTexture(v));
  for (int i = 0; i < 160; ++i) {
    const double f = i % 3 == 0 ? 0.5 : 0.95;
    const Point p = aroundWindow((i + 0.15 + 0.7 * noise(i)) / 160, 1);
    auto flame = Layer::make();
    flame->setBounds(Rect(0, 0, f * (58 + 45 * noise(i + 90)), f * (64 + 48 * noise(i + 91))));
    flame->setAnchorPoint({0.5, 0.04});
    flame->setPosition(p);
    flame->setContents(textures[static_cast<std::size_t>(i % 7)]);
    flame->setOpacity(0.5);
    KeyframeAnimation rise("position");
    const double dx = 16 * (noise(i + 18) - 0.5);
    rise.values = {p, Point{p.x + 0.3 * dx, p.y + 7}, Point{p.x + dx, p.y + 20}};
    rise.duration = 4.5 + 3 * noise(i + 90);
    rise.timeOffset = noise(i + 150) * rise.duration;
    rise.repeatCount = Animation::repeatForever;
    if (scaled) {
      // As the flames do: the whole rise in a group that also swells them.
      AnimationGroup group;
      rise.duration = 0;
      group.animations = {rise.clone(), basic("transform.scale", 0.85, 1.15).clone()};
      group.duration = 4.5 + 3 * noise(i + 90);
      group.timeOffset = noise(i + 150) * group.duration;
      group.repeatCount = Animation::repeatForever;
      flame->addAnimation(group, "borderVFX");
    } else {
      flame->addAnimation(rise, "borderVFX");
    }
    root->addSublayer(flame);
  }
  return root;
}

void renderFrames(benchmark::State& state, const std::function<std::shared_ptr<Layer>()>& build) {
  AnimationClock::setTimeSource([] { return 0.0; });
  const auto root = build();
  LayerRenderer renderer;
  QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
  const QRegion everything(target.rect());
  // The first frame draws every cached image once, as a window does when it
  // opens; the frames after it are what an effect costs while it runs.
  renderer.prepare(*root, 0, panel);
  double t = 1.0 / 30;
  for (auto _ : state) {
    renderer.prepare(*root, t, panel);
    target.fill(Qt::transparent);
    QPainter p(&target);
    renderer.paint(p, everything);
    p.end();
    benchmark::DoNotOptimize(target.constBits());
    t += 1.0 / 30;
  }
  state.counters["rasterisations"] = renderer.stats().rasterisations;
  state.counters["directDrawsPerFrame"] =
      static_cast<double>(renderer.stats().directDraws) / static_cast<double>(state.iterations());
  AnimationClock::setTimeSource({});
}

void radialBlobs(benchmark::State& state) { renderFrames(state, blobs); }
void glowStrokeLayers(benchmark::State& state) {
  renderFrames(state, [] { return glowStrokes(false); });
}
void morphingStrokeLayers(benchmark::State& state) {
  renderFrames(state, [] { return glowStrokes(true); });
}
void plasmaDefault(benchmark::State& state) {
  renderFrames(state, [] { return plasmaRibbons(1); });
}
void plasmaHighest(benchmark::State& state) {
  renderFrames(state, [] { return plasmaRibbons(2); });
}
void spriteLayers(benchmark::State& state) {
  renderFrames(state, [] { return sprites(false); });
}
void scaledSpriteLayers(benchmark::State& state) {
  renderFrames(state, [] { return sprites(true); });
}

}  // namespace

BENCHMARK(radialBlobs)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(glowStrokeLayers)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(morphingStrokeLayers)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(plasmaDefault)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(plasmaHighest)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(spriteLayers)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(scaledSpriteLayers)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// `--frames=DIR` also writes one frame of each tree as a PNG there, to look at.
void writeFrames(const QString& folder) {
  const std::pair<const char*, std::function<std::shared_ptr<Layer>()>> trees[] = {
      {"blobs", blobs},
      {"strokes", [] { return glowStrokes(false); }},
      {"morphing", [] { return glowStrokes(true); }},
      {"plasma", [] { return plasmaRibbons(1); }},
      {"sprites", [] { return sprites(true); }}};
  for (const auto& [name, build] : trees) {
    layer_bench::writeFrame(*build(), 1.0, folder + QStringLiteral("/%1.png").arg(QLatin1String(name)));
  }
}

int main(int argc, char** argv) { return layer_bench::run(argc, argv, writeFrames); }

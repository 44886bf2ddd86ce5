// Milliseconds to render one frame of every border effect around an 800 x 600
// window (the overlay panel is 180 points larger on every side), on the CPU,
// at the default tuning and at the highest intensity, and to build each tree.
// Run it pinned to one core, e.g. `taskset -c 2 ./bench_border_effects`;
// `--frames=DIR` also writes there, as PNGs, a picture a second of every
// effect as its panel shows it over half a minute, and `--compare=DIR`
// compares those pictures with the ones another build wrote there.
#include "LayerBench.h"
#include "look/QuibBorderVFX.h"
#include "platform/gfx/StepImages.h"

#include <QPaintEngine>

#include <algorithm>
#include <cstdio>
#include <map>

using layer_bench::panel;
using layer_bench::window;

namespace {

// The default tuning, or everything the effect draws at its most.
BorderVFXConfiguration tuning(QuibBorderEffect type, bool highest) {
  return highest ? BorderVFXConfiguration{type, 1.0, 2.0, 1.0, 1.0}
                 : BorderVFXConfiguration{type, 0.95, 1.35, 0.8, 1.0};
}

std::shared_ptr<pf::Layer> built(const BorderVFXConfiguration& configuration) {
  auto root = pf::Layer::make();
  root->setFrame(pf::Rect(0, 0, panel.width(), panel.height()));
  QuibBorderVFX::populate(*root, window, configuration, false);
  return root;
}

int layerCount(const pf::Layer& layer) {
  int n = 1;
  for (const auto& sub : layer.sublayers()) n += layerCount(*sub);
  return n;
}

// What the panel's host does each tick: evaluates the tree at `t`, then
// repaints only what changed on the picture it keeps, as the panel's widget
// paints. Returns what changed.
QRegion showFrame(pf::LayerRenderer& renderer, const pf::Layer& root, double t, QImage& target) {
  const QRegion changed = renderer.prepare(root, t, panel);
  target.paintEngine()->setSystemClip(changed);
  QPainter p(&target);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  for (const QRect& r : changed) p.fillRect(r, Qt::transparent);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  renderer.paint(p, changed);
  return changed;
}

void renderFrames(benchmark::State& state, BorderVFXConfiguration configuration) {
  pf::AnimationClock::setTimeSource([] { return 0.0; });
  const auto root = built(configuration);
  pf::LayerRenderer renderer;
  QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
  double t = 0;
  double damaged = 0;
  for (auto _ : state) {
    for (const QRect& r : showFrame(renderer, *root, t, target)) damaged += r.width() * r.height();
    benchmark::DoNotOptimize(target.constBits());
    t += 1.0 / 30;
  }
  state.counters["layers"] = layerCount(*root);
  state.counters["composited"] = renderer.stats().composited;
  // Images drawn and layers drawn afresh a frame: what caching leaves to do.
  state.counters["rasterised"] =
      benchmark::Counter(renderer.stats().rasterisations, benchmark::Counter::kAvgIterations);
  state.counters["direct"] = benchmark::Counter(renderer.stats().directDraws, benchmark::Counter::kAvgIterations);
  // Pictures kept at steps layers come back to, in MiB.
  state.counters["keptMiB"] = static_cast<double>(pf::StepBudget::sharedBytes()) / (1 << 20);
  // Pixels repainted a frame: what the display server copies and blends too.
  state.counters["damaged"] = benchmark::Counter(damaged, benchmark::Counter::kAvgIterations);
  pf::AnimationClock::setTimeSource({});
}

void buildTree(benchmark::State& state, BorderVFXConfiguration configuration) {
  built(configuration);  // textures drawn once, outside the measurement
  for (auto _ : state) benchmark::DoNotOptimize(built(configuration));
}

void registerAll() {
  for (const auto type : QuibBorderEffect::allCases()) {
    if (type == QuibBorderEffect::none) continue;
    const std::string name = type.rawValue().toStdString();
    for (const bool highest : {false, true}) {
      const std::string suffix = highest ? "/highest" : "/default";
      const BorderVFXConfiguration configuration = tuning(type, highest);
      for (auto* b : {benchmark::RegisterBenchmark(("frame/" + name + suffix).c_str(), renderFrames, configuration),
                      benchmark::RegisterBenchmark(("build/" + name + suffix).c_str(), buildTree, configuration)}) {
        b->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
      }
    }
  }
}

// Seconds of every effect filmed, at the rate of the panel's frame clock.
constexpr int filmedSeconds = 30;
constexpr int framesPerSecond = 15;

// Every effect at both tunings as the panel's host shows it: each frame
// repaints only what the renderer reports changed on the picture it keeps,
// so a change the damage misses shows as a difference too. `take(name,
// picture)` is called with the picture once a second, named after the effect,
// tuning and second.
void film(const std::function<void(const QString&, const QImage&)>& take) {
  for (const auto type : QuibBorderEffect::allCases()) {
    if (type == QuibBorderEffect::none) continue;
    for (const bool highest : {false, true}) {
      const auto root = built(tuning(type, highest));
      pf::LayerRenderer renderer;
      QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
      target.fill(Qt::transparent);
      for (int frame = 0; frame <= filmedSeconds * framesPerSecond; ++frame) {
        showFrame(renderer, *root, static_cast<double>(frame) / framesPerSecond, target);
        if (frame % framesPerSecond != 0) continue;
        take(QStringLiteral("%1-%2-%3")
                 .arg(type.rawValue(), QLatin1String(highest ? "highest" : "default"))
                 .arg(frame / framesPerSecond, 2, 10, QLatin1Char('0')),
             target);
      }
    }
  }
}

void writeFrames(const QString& folder) {
  film(
      [&](const QString& name, const QImage& picture) { picture.save(folder + u'/' + name + QStringLiteral(".png")); });
}

// Compares every filmed picture with the one of its name in `folder` (as
// another build wrote it) and prints, per effect and tuning, the largest
// difference of a channel and how many pixels differ by more than `tolerance`
// levels. Answers 1 when any does.
int compareFrames(const QString& folder) {
  constexpr int tolerance = 2;
  struct Worst {
    int largest = 0;
    qint64 beyond = 0;
  };
  std::map<QString, Worst> worst;
  bool missing = false;
  film([&](const QString& name, const QImage& picture) {
    const QImage before =
        QImage(folder + u'/' + name + QStringLiteral(".png")).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Worst& w = worst[name.section(u'-', 0, 1)];
    if (before.size() != picture.size()) {
      missing = true;
      return;
    }
    for (int y = 0; y < picture.height(); ++y) {
      const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
      const auto* b = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
      for (int x = 0; x < picture.width(); ++x) {
        const int d = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
        w.largest = std::max(w.largest, d);
        w.beyond += d > tolerance;
      }
    }
  });
  bool differs = missing;
  for (const auto& [name, w] : worst) {
    std::printf("%-20s largest difference %3d, pixels beyond %d levels %lld\n", qPrintable(name), w.largest, tolerance,
                static_cast<long long>(w.beyond));
    differs = differs || w.beyond > 0;
  }
  if (missing) std::printf("some pictures were missing or of another size\n");
  return differs ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  return layer_bench::run(argc, argv, writeFrames, compareFrames);
}

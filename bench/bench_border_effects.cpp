// Milliseconds to render one frame of every border effect around an 800 x 600
// window (the overlay panel is 180 points larger on every side), on the CPU,
// at the default tuning and at the highest intensity, and to build each tree.
// Run it pinned to one core, e.g. `taskset -c 2 ./bench_border_effects`;
// `--frames=DIR` also writes a frame of each effect there as a PNG, to look at.
#include "LayerBench.h"
#include "look/QuibBorderVFX.h"

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

void renderFrames(benchmark::State& state, BorderVFXConfiguration configuration) {
  pf::AnimationClock::setTimeSource([] { return 0.0; });
  const auto root = built(configuration);
  pf::LayerRenderer renderer;
  QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
  double t = 0;
  double damaged = 0;
  for (auto _ : state) {
    // What the panel's host does each tick: evaluate, then repaint what changed.
    const QRegion changed = renderer.prepare(*root, t, panel);
    for (const QRect& r : changed) damaged += r.width() * r.height();
    QPainter p(&target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : changed) p.fillRect(r, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    renderer.paint(p, changed);
    p.end();
    benchmark::DoNotOptimize(target.constBits());
    t += 1.0 / 30;
  }
  state.counters["layers"] = layerCount(*root);
  state.counters["composited"] = renderer.stats().composited;
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

void writeFrames(const QString& folder) {
  for (const auto type : QuibBorderEffect::allCases()) {
    if (type == QuibBorderEffect::none) continue;
    layer_bench::writeFrame(*built(tuning(type, false)), 2.0, folder + QStringLiteral("/%1.png").arg(type.rawValue()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  return layer_bench::run(argc, argv, writeFrames);
}

// Milliseconds to render one frame of the fire and the smoke border around an
// 800 x 600 window (the overlay panel is 180 points larger on every side),
// on the CPU, and to build each tree. Run pinned to one core, e.g.
// `taskset -c 2 ./bench_border_effects`; `--frames=DIR` also writes a frame
// of each effect there as a PNG, to look at.
#include "LayerBench.h"
#include "look/QuibBorderVFX.h"

using layer_bench::panel;
using layer_bench::window;

namespace {

std::shared_ptr<pf::Layer> built(QuibBorderEffect type) {
  auto root = pf::Layer::make();
  root->setFrame(pf::Rect(0, 0, panel.width(), panel.height()));
  QuibBorderVFX::populate(*root, window, {type, 0.95, 1.35, 0.8, 1.0}, false);
  return root;
}

void renderFrames(benchmark::State& state, QuibBorderEffect type) {
  pf::AnimationClock::setTimeSource([] { return 0.0; });
  const auto root = built(type);
  pf::LayerRenderer renderer;
  QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
  double t = 0;
  for (auto _ : state) {
    // What the panel's host does each tick: evaluate, then repaint what changed.
    const QRegion changed = renderer.prepare(*root, t, panel);
    QPainter p(&target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : changed) p.fillRect(r, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    renderer.paint(p, changed);
    p.end();
    benchmark::DoNotOptimize(target.constBits());
    t += 1.0 / 30;
  }
  state.counters["layers"] = static_cast<double>(root->sublayers().size());
  state.counters["composited"] = renderer.stats().composited;
  pf::AnimationClock::setTimeSource({});
}

void buildTree(benchmark::State& state, QuibBorderEffect type) {
  built(type);  // textures drawn once, outside the measurement
  for (auto _ : state) benchmark::DoNotOptimize(built(type));
}

void fireFrame(benchmark::State& state) { renderFrames(state, QuibBorderEffect::fire); }
void smokeFrame(benchmark::State& state) { renderFrames(state, QuibBorderEffect::smoke); }
void fireBuild(benchmark::State& state) { buildTree(state, QuibBorderEffect::fire); }
void smokeBuild(benchmark::State& state) { buildTree(state, QuibBorderEffect::smoke); }

void writeFrames(const QString& folder) {
  for (const auto type : {QuibBorderEffect::fire, QuibBorderEffect::smoke}) {
    layer_bench::writeFrame(*built(type), 2.0,
                            folder + QStringLiteral("/%1.png").arg(QuibBorderEffect(type).rawValue()));
  }
}

}  // namespace

BENCHMARK(fireFrame)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(smokeFrame)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(fireBuild)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(smokeBuild)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return layer_bench::run(argc, argv, writeFrames); }

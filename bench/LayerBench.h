#pragma once

#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/LayerRenderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <functional>

/// What the layer-rendering benchmarks share: an effect's panel around an
/// 800 x 600 window, a frame of a tree written out to look at, and the main
/// that runs them offscreen.
namespace layer_bench {

/// How far the panel reaches beyond the window on every side.
constexpr double margin = 180;
/// The window, in the panel's coordinates.
inline const pf::Rect window(margin, margin, 800, 600);
/// The panel's size in points.
inline const QSizeF panel(800 + 2 * margin, 600 + 2 * margin);

/// Writes the frame of `root` at `t` seconds, over a dark backdrop, to `path` as a PNG.
inline void writeFrame(const pf::Layer& root, double t, const QString& path) {
  pf::LayerRenderer renderer;
  QImage target(panel.toSize(), QImage::Format_ARGB32_Premultiplied);
  target.fill(QColor(20, 24, 40));
  renderer.prepare(root, t, panel);
  QPainter p(&target);
  renderer.paint(p, QRegion(target.rect()));
  p.end();
  target.save(path);
}

/// Runs the registered benchmarks offscreen. `--frames=DIR` first calls
/// `writeFrames(DIR)`, with the animation clock held at 0 while it builds;
/// `--compare=DIR` calls `compareFrames(DIR)` the same way instead of
/// benchmarking, and answers its result.
inline int run(int argc, char** argv, const std::function<void(const QString&)>& writeFrames,
               const std::function<int(const QString&)>& compareFrames = {}) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (const QString& arg : QCoreApplication::arguments()) {
    const bool writes = arg.startsWith(QStringLiteral("--frames="));
    const bool compares = compareFrames && arg.startsWith(QStringLiteral("--compare="));
    if (!writes && !compares) continue;
    const QString folder = arg.section(u'=', 1);
    pf::AnimationClock::setTimeSource([] { return 0.0; });
    const int result = compares ? compareFrames(folder) : (writeFrames(folder), 0);
    pf::AnimationClock::setTimeSource({});
    if (compares) return result;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace layer_bench

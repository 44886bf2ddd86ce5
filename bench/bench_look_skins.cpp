// Costs of painting the window skins: a launcher tile (120 x 45) and a
// panel (800 x 600) per skin, through the QPainter canvas into an image.
#include "ThrowawayDefaults.h"
#include "look/QuibSkin.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/PainterCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

void paintSkin(benchmark::State& state, QuibSkin skin, double width, double height, bool tile) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), skin.rawValue());
  QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::transparent);
    QPainter painter(&image);
    pf::PainterCanvas canvas(painter, height);
    QuibSkin::draw(canvas, pf::Rect(0, 0, width, height), tile);
  }
}

void registerAll() {
  for (const QuibSkin skin : QuibSkin::allCases()) {
    const std::string name = skin.rawValue().toStdString();
    benchmark::RegisterBenchmark((name + "/tile").c_str(), paintSkin, skin, 120, 45, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/panel").c_str(), paintSkin, skin, 800, 600, false)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const ThrowawayDefaults defaults;
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

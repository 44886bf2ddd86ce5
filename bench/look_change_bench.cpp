// A colour-theme change with five glass windows open: from the setter's call
// until every window has repainted in the new colours. Run under a real X
// display for on-screen figures, or with QT_QPA_PLATFORM=offscreen.
#include "ThrowawayDefaults.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibLook.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "widgets/GlassSurface.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int windowCount = 5;

/// Notes which of the surfaces it watches have painted.
class PaintWatch final : public QObject {
 public:
  std::set<QObject*> painted;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.insert(watched);
    return false;
  }
};

/// A glass window like the launcher's, with a few labels and buttons in the palette's colours.
std::unique_ptr<pf::Window> glassWindow(int i, PaintWatch& watch) {
  auto window = std::make_unique<pf::Window>();
  auto* glass = new GlassSurface;
  window->setContentView(glass);
  for (int row = 0; row < 6; ++row) {
    auto* label = new QLabel(QStringLiteral("Label %1").arg(row), glass);
    label->setGeometry(20, 20 + row * 36, 160, 24);
    pf::ViewStyle::setColor(label, pf::ViewStyle::ColorRole::text, QuibTheme::accent());
    auto* button = new QPushButton(QStringLiteral("Button"), glass);
    button->setGeometry(200, 20 + row * 36, 120, 28);
    pf::ViewStyle::setColor(button, pf::ViewStyle::ColorRole::bezel, QuibTheme::card());
  }
  window->setFrame(pf::Rect(40 + 60 * i, 60 + 40 * i, 420, 300));
  window->show();
  glass->installEventFilter(&watch);
  return window;
}

void themeChange(benchmark::State& state, QuibSkin skin) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), skin.rawValue());
  PaintWatch watch;
  std::vector<std::unique_ptr<pf::Window>> windows;
  for (int i = 0; i < windowCount; ++i) windows.push_back(glassWindow(i, watch));
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  const QuibColorTheme themes[] = {QuibColorTheme::green, QuibColorTheme::orange};
  int turn = 0;
  for (auto _ : state) {
    watch.painted.clear();
    QuibLook::select(themes[turn++ % 2]);
    while (watch.painted.size() < windowCount) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const ThrowawayDefaults defaults;
  for (const QuibSkin skin : QuibSkin::allCases()) {
    const std::string name = "colour theme change, 5 glass windows, until all repainted/" + skin.rawValue().toStdString();
    benchmark::RegisterBenchmark(name.c_str(), themeChange, skin)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(20)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

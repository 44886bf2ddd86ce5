// The CPU the application uses with a border effect around an 800 x 600
// window, and with it off: shows a window on the current display, lets it run,
// and reads its own CPU time. Run it on an X11 display with a compositor (the
// overlay stays off without one), e.g. under Xvfb with xcompmgr and openbox:
//   border_effect_cpu [effect name|none] [seconds] [--hold]
// Prints the share of one core used while the window is shown, then while it
// is hidden. With --hold it keeps showing the window until killed (to look).
#include "ThrowawayDefaults.h"
#include "look/ui/QuibSmokeOverlay.h"
#include "look/ui/SmokePanel.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/LayerHost.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void run(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// The share of one core used over `seconds` of the event loop, in percent.
double measure(int seconds) {
  QElapsedTimer wall;
  wall.start();
  const double before = cpuSeconds();
  run(seconds * 1000);
  return 100 * (cpuSeconds() - before) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ThrowawayDefaults defaults;
  const QStringList args = QCoreApplication::arguments();
  const QString effect = args.value(1, QStringLiteral("fire"));
  const int seconds = args.value(2, QStringLiteral("10")).toInt();
  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), effect);

  pf::Window window;
  window.setWindowTitle(QStringLiteral("Border effect"));
  window.contentView()->setStyleSheet(QStringLiteral("background: #1c2340"));
  window.setContentSize({800, 600});
  window.center();
  window.show();
  QuibSmokeOverlay::update(&window, effect != QStringLiteral("none"));
  run(2000);  // settle: textures drawn, the first frames rasterised

  const QuibSmokeOverlay* overlay = QuibSmokeOverlay::of(&window);
  std::printf("effect %s, compositor %s, overlay %s\n", qPrintable(effect),
              pf::Compositor::isActive() ? "yes" : "no", overlay ? "on" : "off");
  if (args.contains(QStringLiteral("--hold"))) return app.exec();

  std::printf("shown:  %.1f%% of one core over %d s (frame clock %s)\n", measure(seconds), seconds,
              pf::FrameClock::shared().isRunning() ? "running" : "stopped");
  window.orderOut();
  std::printf("hidden: %.1f%% of one core over %d s (frame clock %s)\n", measure(seconds), seconds,
              pf::FrameClock::shared().isRunning() ? "running" : "stopped");
  return 0;
}

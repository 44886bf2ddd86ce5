// The CPU the application uses with a border effect around an 800 x 600
// window, and with it off: shows a window on the current display, lets it run,
// and reads its own CPU time. Run it on an X11 display with a compositor (the
// overlay stays off without one), e.g. under Xvfb with xcompmgr and openbox:
//   border_effect_cpu [effect name|none] [seconds] [--hold] [--xserver=PID]
// Prints the share of one core used while the window is shown, then while it
// is hidden, and the X server's when its process id is given. With --hold it
// keeps showing the window until killed (to look).
#include "CpuShare.h"
#include "ThrowawayDefaults.h"
#include "look/ui/QuibSmokeOverlay.h"
#include "look/ui/SmokePanel.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/LayerHost.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <cstdio>

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
  cpu_share::run(2000);  // settle: textures drawn, the first frames rasterised

  const QuibSmokeOverlay* overlay = QuibSmokeOverlay::of(&window);
  std::printf("effect %s, compositor %s, overlay %s\n", qPrintable(effect), pf::Compositor::isActive() ? "yes" : "no",
              overlay ? "on" : "off");
  if (args.contains(QStringLiteral("--hold"))) return app.exec();

  const qint64 xserver = cpu_share::xserverFrom(args);
  const auto report = [&](const char* state) {
    const cpu_share::Shares shares = cpu_share::measure(seconds, xserver);
    std::printf("%s: %.1f%% of one core, X server %.1f%%, over %d s (frame clock %s)\n", state, shares.own,
                shares.xserver, seconds, pf::FrameClock::shared().isRunning() ? "running" : "stopped");
  };
  report("shown ");
  window.orderOut();
  report("hidden");
  return 0;
}

// The CPU a glass window at rest costs: an 800 x 600 window whose content is
// the glass surface the content windows use (the skin's tint, decoration and
// frame, and the breathing outline), with no border effect. Run on an X11
// display with a compositor, e.g. under Xvfb with xcompmgr and openbox:
//   glass_rest_cpu SKIN [seconds] [--xserver=PID]
// Prints the share of one core this program used over that time, and the X
// server's when its process id is given.
#include "CpuShare.h"
#include "ThrowawayDefaults.h"
#include "platform/ui/Window.h"
#include "widgets/GlassSurface.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ThrowawayDefaults defaults;
  const QStringList args = QCoreApplication::arguments();
  const QString skin = args.value(1, QStringLiteral("robotLab"));
  const int seconds = args.value(2, QStringLiteral("10")).toInt();
  const qint64 xserver = cpu_share::xserverFrom(args);
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), skin);

  pf::Window window;
  window.setWindowTitle(QStringLiteral("Glass at rest"));
  window.setTranslucentBackground(true);
  window.setContentView(new GlassSurface);
  window.setContentSize({800, 600});
  window.center();
  window.show();
  cpu_share::run(2000);  // settle: the first paints and the outline's images

  const cpu_share::Shares shares = cpu_share::measure(seconds, xserver);
  std::printf("skin %s: this program %.1f%% of one core, X server %.1f%%, over %d s\n", qPrintable(skin), shares.own,
              shares.xserver, seconds);
  return 0;
}

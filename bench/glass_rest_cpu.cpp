// The CPU a glass window at rest costs: an 800 x 600 window whose content
// draws the glass and the current skin's surface and frame, with the breathing
// outline on it and no border effect. Run on an X11 display with a compositor,
// e.g. under Xvfb with xcompmgr and openbox:
//   glass_rest_cpu SKIN [seconds] [--uncached] [--xserver=PID]
// Prints the share of one core this program used over that time, and the X
// server's when its process id is given. --uncached draws the skin on every
// repaint, as without a cached surface.
#include "ThrowawayDefaults.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibNeonBorder.h"
#include "platform/gfx/CachedDrawing.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double ownSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of another process, from /proc; 0 when it cannot be read.
double processSeconds(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = stat.readAll().split(' ');
  if (fields.size() < 15) return 0;
  return (fields[13].toDouble() + fields[14].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void run(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

/// The glass surface as a content window draws it: the tint, then the skin.
class Glass final : public QWidget {
 public:
  explicit Glass(bool cached) : m_cached(cached) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto drawLook = [this](QPainter& p) {
      pf::PainterCanvas canvas(p, height());
      const pf::Rect bounds(0, 0, width(), height());
      canvas.fill(pf::Path::roundedRect(bounds.insetBy(1.5, 1.5), 21, 21), QuibTheme::glass());
      QuibSkin::draw(canvas, bounds, false);
      QuibSkin::drawRobotFrame(canvas, bounds);
    };
    if (m_cached) {
      m_cache.paint(painter, rect(), QuibTheme::lookKey(), drawLook);
    } else {
      drawLook(painter);
    }
  }

 private:
  bool m_cached = true;
  pf::CachedDrawing m_cache;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ThrowawayDefaults defaults;
  const QStringList args = QCoreApplication::arguments();
  const QString skin = args.value(1, QStringLiteral("robotLab"));
  const int seconds = args.value(2, QStringLiteral("10")).toInt();
  const bool cached = !args.contains(QStringLiteral("--uncached"));
  qint64 xserver = 0;
  for (const QString& arg : args) {
    if (arg.startsWith(QStringLiteral("--xserver="))) xserver = arg.mid(10).toLongLong();
  }
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), skin);

  pf::Window window;
  window.setWindowTitle(QStringLiteral("Glass at rest"));
  window.setTranslucentBackground(true);
  auto* glass = new Glass(cached);
  window.setContentView(glass);
  window.setContentSize({800, 600});
  window.center();
  window.show();
  QuibNeonBorder::update(glass, 21);
  run(2000);  // settle: the first paints and the outline's images

  QElapsedTimer wall;
  wall.start();
  const double own = ownSeconds(), server = processSeconds(xserver);
  run(seconds * 1000);
  const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
  std::printf("skin %s, %s: this program %.1f%% of one core", qPrintable(skin), cached ? "cached" : "uncached",
              100 * (ownSeconds() - own) / elapsed);
  if (xserver > 0) std::printf(", X server %.1f%%", 100 * (processSeconds(xserver) - server) / elapsed);
  std::printf(" over %d s\n", seconds);
  return 0;
}

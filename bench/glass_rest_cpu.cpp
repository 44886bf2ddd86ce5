// The CPU a glass window at rest costs: an 800 x 600 window whose content
// draws the glass and the current skin's surface and frame, with the breathing
// outline on it and no border effect. Run on an X11 display with a compositor,
// e.g. under Xvfb with xcompmgr and openbox:
//   glass_rest_cpu SKIN [seconds] [--uncached] [--xserver=PID]
// Prints the share of one core this program used over that time, and the X
// server's when its process id is given. --uncached draws the skin on every
// repaint, as without a cached surface.
#include "CpuShare.h"
#include "ThrowawayDefaults.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibNeonBorder.h"
#include "platform/gfx/CachedDrawing.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QPainter>
#include <cstdio>

namespace {

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
  const qint64 xserver = cpu_share::xserverFrom(args);
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
  cpu_share::run(2000);  // settle: the first paints and the outline's images

  const cpu_share::Shares shares = cpu_share::measure(seconds, xserver);
  std::printf("skin %s, %s: this program %.1f%% of one core, X server %.1f%%, over %d s\n", qPrintable(skin),
              cached ? "cached" : "uncached", shares.own, shares.xserver, seconds);
  return 0;
}

// Time from the pointer entering the companion to the launcher's first frame
// (its glass surface painted), with the whole program's objects in one
// process and a throwaway home. Run it on a display with a compositor to see
// what a person sees. Usage: launcher_open_bench [later openings]
// It prints the first opening of this process, then the median of the later
// ones; run it several times for the first opening's median.
#include "ThrowawayDefaults.h"
#include "app/AppDelegate.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/RobotView.h"
#include "launcher/ui/LauncherPanel.h"
#include "launcher/ui/LauncherViewController.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Application.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "widgets/GlassSurface.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

/// Notes when the watched view paints.
class PaintWatch final : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

double openOnce(AppDelegate& delegate, PaintWatch& watch) {
  RobotView* view = delegate.companionPanel()->robotView();
  const QPointF centre = QRectF(view->rect()).center();
  QCursor::setPos(view->mapToGlobal(centre.toPoint()));
  watch.painted = false;
  QElapsedTimer timer;
  timer.start();
  QEnterEvent enter(centre, centre, view->mapToGlobal(centre));
  QApplication::sendEvent(view, &enter);
  while (!watch.painted && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  const double milliseconds = double(timer.nsecsElapsed()) / 1e6;
  delegate.launcher()->cancelOperation();
  // Settle: let the panel go and the pointer leave.
  QCursor::setPos(0, 0);
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(5);
  }
  return milliseconds;
}

}  // namespace

int main(int argc, char** argv) {
  pf::Application::prepare();
  QApplication app(argc, argv);
  pf::Application::configure(app);
  const int later = argc > 1 ? std::atoi(argv[1]) : 20;
  QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  const ThrowawayDefaults defaults;
  auto store = std::make_shared<ShortcutStore>(pf::UserDefaults::standard(),
                                               ShortcutCatalogRepository::applicationDirectory());
  AppDelegate delegate(store, pf::UserDefaults::standard(), pf::SystemInfo::assetRoot());
  delegate.applicationDidFinishLaunching();
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  PaintWatch watch;
  delegate.launcher()->view()->installEventFilter(&watch);
  const double first = openOnce(delegate, watch);
  std::vector<double> times;
  for (int i = 0; i < later; ++i) times.push_back(openOnce(delegate, watch));
  std::sort(times.begin(), times.end());
  std::printf("first opening %.2f ms; later openings median %.2f ms (min %.2f, max %.2f, n %d)\n", first,
              times.empty() ? 0.0 : times[times.size() / 2], times.empty() ? 0.0 : times.front(),
              times.empty() ? 0.0 : times.back(), later);
  delegate.applicationWillTerminate();
  return 0;
}

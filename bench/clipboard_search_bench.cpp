// One keystroke in the favorites window's search field over 1,000 favorites
// of about 1 KB each: the key event, the filter, the table's new rows and the
// repaint that shows them. Types a query letter by letter and erases it again,
// several times, and prints the median and the slowest keystroke.
// Usage: clipboard_search_bench [rounds]  (QT_QPA_PLATFORM=offscreen or a display)
#include "ThrowawayDefaults.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

ClipboardFavoritesFile thousandFavorites() {
  ClipboardFavoritesFile file = ClipboardFavoritesFile::empty();
  const QString line = QStringLiteral("Grüße aus der Zwischenablage, eine Zeile von vielen.\n");
  for (int i = 0; i < 1000; ++i)
    file.items.push_back({QStringLiteral("ID-%1").arg(i), QStringLiteral("Saved text number %1").arg(i),
                          line.repeated(20), file.lists[std::size_t(i % 3)].id});
  return file;
}

/// Milliseconds from the key press until the window has taken it and repainted.
double keystroke(const std::function<void()>& press) {
  QElapsedTimer timer;
  timer.start();
  press();
  QCoreApplication::processEvents();
  return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  pf::Application::prepare();
  QApplication app(argc, argv);
  pf::Application::configure(app);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const ThrowawayDefaults defaults;
  QTemporaryDir folder;
  auto store = std::make_unique<ClipboardFavoritesStore>(folder.path());
  store->write(thousandFavorites().encoded(), store->primary());
  store->reload();
  ClipboardFavoritesController controller(std::move(store));
  controller.present();
  QCoreApplication::processEvents();
  auto* field = controller.window()->findChild<QLineEdit*>();

  const QString query = QStringLiteral("saved text number 999");
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    for (const QChar c : query) times.push_back(keystroke([&] { QTest::keyClicks(field, QString(c)); }));
    for (qsizetype i = 0; i < query.size(); ++i)
      times.push_back(keystroke([&] { QTest::keyClick(field, Qt::Key_Backspace); }));
  }
  std::sort(times.begin(), times.end());
  std::printf("%zu keystrokes over 1000 favorites: median %.3f ms, slowest %.3f ms, shown at the end %zu\n",
              times.size(), times[times.size() / 2], times.back(), controller.rows().size());
  return 0;
}

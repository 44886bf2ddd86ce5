// Memory the favorites window holds for its favorites: the window shows a
// file of N favorites of 1 KB of text each (ASCII, with line breaks), and the
// figures are what the process gains for each favorite beyond a screenful:
// resident memory, and the heap in use (which leaves out what the allocator
// keeps but no longer uses).
// Usage: favorites_memory [count]  (QT_QPA_PLATFORM=offscreen or a display)
#include "ThrowawayDefaults.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr qsizetype textLength = 1024;

QString kilobyteOfText(int i) {
  QString text = QStringLiteral("Favorite %1: ").arg(i);
  while (text.size() < textLength)
    text += QStringLiteral("Greetings from the clipboard, line %1.\n").arg(text.size());
  return text.left(textLength);
}

/// Writes the file from a child process, so that nothing of it is counted and
/// the allocator starts as a freshly started program's does.
void writeFavorites(const QString& folder, int count) {
  const pid_t child = fork();
  if (child > 0) {
    waitpid(child, nullptr, 0);
    return;
  }
  ClipboardFavoritesFile file = ClipboardFavoritesFile::empty();
  for (int i = 0; i < count; ++i)
    file.items.push_back({QStringLiteral("ID-%1").arg(i), QStringLiteral("Saved text number %1").arg(i),
                          kilobyteOfText(i), file.lists[std::size_t(i % 3)].id});
  ClipboardFavoritesStore store(folder);
  store.write(file.encoded(), store.primary());
  _exit(0);
}

double residentBytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
}

double heapInUse() { return double(mallinfo2().uordblks + mallinfo2().hblkhd); }

/// Memory held at rest: resident and heap in use.
struct Held {
  double resident = 0;
  double heap = 0;
};

/// Runs the event loop a while, so the window has drawn what it shows, then
/// gives the least memory held between events over another while: the
/// window's animated outline holds a frame's images only while it draws.
Held atRest() {
  const auto runFor = [](int milliseconds, const std::function<void()>& between) {
    QElapsedTimer running;
    running.start();
    while (running.elapsed() < milliseconds) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      between();
    }
  };
  runFor(500, [] {});
  malloc_trim(0);
  Held least{residentBytes(), heapInUse()};
  runFor(1000, [&least] { least = {std::min(least.resident, residentBytes()), std::min(least.heap, heapInUse())}; });
  return least;
}

}  // namespace

int main(int argc, char** argv) {
  pf::Application::prepare();
  QApplication app(argc, argv);
  pf::Application::configure(app);
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
  const ThrowawayDefaults defaults;
  QTemporaryDir folder;
  // The window first shows a screenful of favorites, so that what it holds
  // whatever their number (glass, shadows, outline, controls, the drawing of
  // the rows in view) is paid before the count starts; then the file grows to
  // all of them.
  ClipboardFavoritesController controller(std::make_unique<ClipboardFavoritesStore>(folder.path()));
  const int screenful = std::min(count, 50);
  writeFavorites(folder.path(), screenful);
  controller.present();
  const Held before = atRest();

  writeFavorites(folder.path(), count);
  controller.present();
  const Held after = atRest();

  const double perFavorite = 1024.0 * std::max(count - screenful, 1);
  std::printf("%d favorites of 1 KB: %.2f KB resident and %.2f KB of heap in use per favorite (%zu shown)\n",
              count, (after.resident - before.resident) / perFavorite, (after.heap - before.heap) / perFavorite,
              controller.rows().size());
  return 0;
}

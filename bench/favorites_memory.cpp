// Memory the favorites window holds for its favorites: the file of N
// favorites of 1 KB of text each (ASCII, with line breaks) is written
// beforehand; the figures are what the process gains from opening the window
// over it, per favorite: resident memory, and the heap in use (which leaves
// out what the allocator keeps but no longer uses).
// Usage: favorites_memory [count]  (QT_QPA_PLATFORM=offscreen or a display)
#include "ThrowawayDefaults.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
  pf::Application::prepare();
  QApplication app(argc, argv);
  pf::Application::configure(app);
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
  const ThrowawayDefaults defaults;
  QTemporaryDir folder;
  writeFavorites(folder.path(), count);
  {
    // The window's own parts, built once without favorites, are not counted.
    QTemporaryDir empty;
    ClipboardFavoritesController warmUp(std::make_unique<ClipboardFavoritesStore>(empty.path()));
    warmUp.present();
    QCoreApplication::processEvents();
  }
  malloc_trim(0);
  const double residentBefore = residentBytes();
  const double heapBefore = heapInUse();

  ClipboardFavoritesController controller(std::make_unique<ClipboardFavoritesStore>(folder.path()));
  controller.present();
  QCoreApplication::processEvents();

  const double perFavorite = 1024.0 * double(count);
  std::printf("%d favorites of 1 KB: %.2f KB resident and %.2f KB of heap in use per favorite (%zu shown)\n",
              count, (residentBytes() - residentBefore) / perFavorite, (heapInUse() - heapBefore) / perFavorite,
              controller.rows().size());
  return 0;
}

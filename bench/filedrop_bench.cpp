// Copies or moves items with the file-drop engine, for timing against cp and
// mv from outside (farm-bench):
//   filedrop_bench copy|move <folder> <item>...
// Prints the engine's own time for the transfer and any failed item; exits 1
// when an item failed.
#include "filedrop/FileDropTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  const std::optional<FileDropOperation> operation = FileDropOperation::fromRawValue(args.value(0));
  if (!operation || args.size() < 3) {
    std::fprintf(stderr, "usage: filedrop_bench copy|move <folder> <item>...\n");
    return 2;
  }
  QList<QUrl> sources;
  for (const QString& item : args.mid(2)) sources.append(QUrl::fromLocalFile(item));
  QElapsedTimer timer;
  timer.start();
  const std::vector<FileDropResult> results =
      FileDropTransfer::run(sources, QUrl::fromLocalFile(args.value(1)), *operation);
  std::printf("%s took %.3f ms\n", qPrintable(args.value(0)), double(timer.nsecsElapsed()) / 1e6);
  int failures = 0;
  for (const FileDropResult& result : results)
    if (!result.succeeded()) {
      ++failures;
      std::fprintf(stderr, "%s\n", qPrintable(*result.error));
    }
  return failures == 0 ? 0 : 1;
}

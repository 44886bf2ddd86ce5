#include "character/DroppedFileURLs.h"

#include "platform/core/DragData.h"

#include <QDir>
#include <QSet>

QList<QUrl> droppedFileURLs(const QMimeData& pasteboard) {
  const pf::DragData data(pasteboard);
  QList<QUrl> offered = data.fileURLs();
  if (offered.isEmpty()) {
    const QStringList paths =
        data.stringList(QStringLiteral("NSFilenamesPboardType")).value_or(QStringList{});
    for (const QString& path : paths)
      if (path.startsWith(QLatin1Char('/'))) offered.append(QUrl::fromLocalFile(path));
  }
  QList<QUrl> files;
  QSet<QString> seen;
  for (const QUrl& url : offered) {
    const QString standardized = QDir::cleanPath(url.toLocalFile());
    if (seen.contains(standardized)) continue;
    seen.insert(standardized);
    files.append(url);
  }
  return files;
}

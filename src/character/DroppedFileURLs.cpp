#include "character/DroppedFileURLs.h"

#include "platform/core/DragData.h"
#include "platform/core/FileURL.h"

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
  QSet<QByteArray> seen;
  for (const QUrl& url : offered) {
    // Compared as bytes: two names that are not UTF-8 are different files even where they read the same.
    const QByteArray standardized = pf::FileURL::localPath(url).value_or(url.toEncoded());
    if (seen.contains(standardized)) continue;
    seen.insert(standardized);
    files.append(url);
  }
  return files;
}

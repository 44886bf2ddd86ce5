#include "platform/core/FileURL.h"

#include <QByteArrayList>

namespace pf {
namespace {

/// The path without "." and ".." segments or empty ones; ".." at the root stays there.
QByteArray standardized(const QByteArray& path) {
  QByteArrayList kept;
  for (const QByteArray& segment : path.split('/')) {
    if (segment.isEmpty() || segment == ".") continue;
    if (segment == "..") {
      if (!kept.isEmpty()) kept.removeLast();
      continue;
    }
    kept.append(segment);
  }
  return '/' + kept.join('/');
}

}  // namespace

std::optional<QByteArray> FileURL::localPath(const QUrl& url) {
  const QString host = url.host();
  if (!url.isLocalFile() || !(host.isEmpty() || host.compare(u"localhost", Qt::CaseInsensitive) == 0))
    return std::nullopt;
  // The encoded form keeps every byte that is not UTF-8 as an escape.
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (!path.startsWith('/')) return std::nullopt;
  return standardized(path);
}

QUrl FileURL::fromLocalPath(const QByteArray& path) {
  // A UTF-8 path gets the very URL Qt makes of it, so the two compare equal.
  const QString text = QString::fromUtf8(path);
  if (text.toUtf8() == path) return QUrl::fromLocalFile(text);
  QUrl url;
  url.setScheme(QStringLiteral("file"));
  url.setPath(QString::fromLatin1(path.toPercentEncoding("/")), QUrl::TolerantMode);
  return url;
}

QByteArray FileURL::fileName(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

QByteArray FileURL::parentPath(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray FileURL::childPath(const QByteArray& folder, const QByteArray& name) {
  return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

}  // namespace pf

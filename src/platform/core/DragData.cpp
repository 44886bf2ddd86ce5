#include "platform/core/DragData.h"

#include "platform/core/FileURL.h"

#include <QDir>
#include <QMimeData>
#include <QSet>
#include <QXmlStreamReader>

namespace pf {

QList<QUrl> DragData::fileURLs() const {
  QList<QUrl> files;
  for (const QUrl& url : m_data.urls())
    if (url.isLocalFile() && QDir::isAbsolutePath(url.toLocalFile())) files.append(url);
  return files;
}

QList<QUrl> DragData::droppedFileURLs() const {
  QList<QUrl> offered = fileURLs();
  if (offered.isEmpty()) {
    const QStringList paths = stringList(QStringLiteral("NSFilenamesPboardType")).value_or(QStringList{});
    for (const QString& path : paths)
      if (path.startsWith(QLatin1Char('/'))) offered.append(QUrl::fromLocalFile(path));
  }
  QList<QUrl> files;
  QSet<QByteArray> seen;
  for (const QUrl& url : offered) {
    // Compared as bytes: two names that are not UTF-8 are different files even where they read the same.
    const QByteArray standardized = FileURL::localPath(url).value_or(url.toEncoded());
    if (seen.contains(standardized)) continue;
    seen.insert(standardized);
    files.append(url);
  }
  return files;
}

std::optional<QStringList> DragData::stringList(const QString& type) const {
  if (!m_data.hasFormat(type)) return std::nullopt;
  // Accepts <plist><array><string>… as written by property-list encoders, or a bare <array>.
  QXmlStreamReader xml(m_data.data(type));
  QStringList open;
  QStringList strings;
  bool sawArray = false;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      const QString name = xml.name().toString();
      const bool inArray = !open.isEmpty() && open.last() == QLatin1String("array");
      if (inArray && name == QLatin1String("string")) {
        strings.append(xml.readElementText());
        continue;
      }
      const bool rootOrPlist = open.isEmpty() || open == QStringList{QStringLiteral("plist")};
      const bool allowed = (open.isEmpty() && name == QLatin1String("plist")) ||
                           (rootOrPlist && name == QLatin1String("array") && !sawArray);
      if (!allowed) return std::nullopt;
      sawArray = sawArray || name == QLatin1String("array");
      open.append(name);
    } else if (token == QXmlStreamReader::EndElement) {
      open.removeLast();
    }
  }
  if (xml.hasError() || !sawArray) return std::nullopt;
  return strings;
}

}  // namespace pf

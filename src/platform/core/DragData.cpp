#include "platform/core/DragData.h"

#include <QDir>
#include <QMimeData>
#include <QXmlStreamReader>

namespace pf {

QList<QUrl> DragData::fileURLs() const {
  QList<QUrl> files;
  for (const QUrl& url : m_data.urls())
    if (url.isLocalFile() && QDir::isAbsolutePath(url.toLocalFile())) files.append(url);
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

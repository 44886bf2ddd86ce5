#include "shortcuts/DesktopEntry.h"

#include <QFile>
#include <QFileInfo>

namespace DesktopEntry {
namespace {

// Desktop entries are a few kilobytes; anything far larger is not one.
constexpr qint64 maximumEntryBytes = 1048576;

}  // namespace

bool isApplication(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || info.suffix() != u"desktop") return false;
  QFile file(path);
  if (info.size() > maximumEntryBytes || !file.open(QIODevice::ReadOnly)) return false;
  bool inEntryGroup = false;
  for (const QByteArray& rawLine : file.readAll().split('\n')) {
    const QByteArray line = rawLine.trimmed();
    if (line.startsWith('[')) {
      inEntryGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntryGroup) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && line.left(equals).trimmed() == "Type")
      return line.mid(equals + 1).trimmed() == "Application";
  }
  return false;
}

}  // namespace DesktopEntry

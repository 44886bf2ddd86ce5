#include "shortcuts/DesktopEntry.h"

#include "platform/core/FileError.h"
#include "platform/core/Files.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace DesktopEntry {
namespace {

// Desktop entries are a few kilobytes; anything far larger is not one.
constexpr qint64 maximumEntryBytes = 1048576;

/// The entry's bytes, or none when `path` names no regular file of a plausible size.
std::optional<QByteArray> entryBytes(const QString& path) {
  try {
    // Examined after opening, without blocking, so nothing can be swapped in between.
    const auto opened = pf::Files::openForReading(path);
    if (!opened || !S_ISREG(opened->status.st_mode) || opened->status.st_size > maximumEntryBytes) return std::nullopt;
    return opened->file.readAll(path, maximumEntryBytes);
  } catch (const pf::FileError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<QString> value(const QString& path, const QByteArray& key) {
  if (QFileInfo(path).suffix() != u"desktop") return std::nullopt;
  const auto bytes = entryBytes(path);
  if (!bytes) return std::nullopt;
  bool inEntryGroup = false;
  for (const QByteArray& rawLine : bytes->split('\n')) {
    const QByteArray line = rawLine.trimmed();
    if (line.startsWith('[')) {
      inEntryGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntryGroup) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && line.left(equals).trimmed() == key) return QString::fromUtf8(line.mid(equals + 1).trimmed());
  }
  return std::nullopt;
}

bool isApplication(const QString& path) { return value(path, "Type") == QStringLiteral("Application"); }

}  // namespace DesktopEntry

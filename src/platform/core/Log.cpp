#include "platform/core/Log.h"

#include "platform/core/SystemInfo.h"

#include <cstdio>
#include <mutex>
#include <syslog.h>

namespace pf {

QString formatted(const QString& format, const QStringList& arguments) {
  static const QString placeholder = QStringLiteral("%@");
  QString result;
  qsizetype from = 0;
  for (const QString& argument : arguments) {
    const qsizetype at = format.indexOf(placeholder, from);
    if (at < 0) break;
    result += QStringView(format).mid(from, at - from);
    result += argument;
    from = at + placeholder.size();
  }
  result += QStringView(format).mid(from);
  return result;
}

void logMessage(const QString& message) {
  // openlog keeps the ident pointer, so it must outlive every later call.
  static const QByteArray ident = SystemInfo::bundleIdentifier().toUtf8();
  static std::once_flag opened;
  std::call_once(opened, [] { openlog(ident.constData(), LOG_PID, LOG_USER); });
  const QByteArray line = message.toUtf8();
  syslog(LOG_NOTICE, "%s", line.constData());
  std::fprintf(stderr, "%s: %s\n", ident.constData(), line.constData());
}

}  // namespace pf

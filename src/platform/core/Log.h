#pragma once

#include <QString>
#include <QStringList>

namespace pf {

/// `format` with each "%@" replaced by the next of `arguments`, in order. A
/// "%@" without an argument is left as it is; replacements are not scanned
/// again, so an argument containing "%@" is kept verbatim.
QString formatted(const QString& format, const QStringList& arguments);

/// Writes one line to the system log (syslog, ident = the bundle identifier,
/// facility LOG_USER) and a copy to stderr.
void logMessage(const QString& message);

/// `pf::log("Wendle shortcut catalog: %@", text)`: formats as `formatted` and logs.
template <typename... Args>
void log(const QString& format, const Args&... arguments) {
  logMessage(formatted(format, QStringList{arguments...}));
}

}  // namespace pf

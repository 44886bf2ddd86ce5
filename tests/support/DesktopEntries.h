#pragma once

#include "support/EventLoop.h"
#include "support/TestFiles.h"

#include <QString>

namespace test {

/// Writes "<folder>/<name>.desktop", an application entry that runs `exec`
/// (desktop-entry quoting is the caller's) with `extraLines` after it, and
/// returns its path.
inline QString writeDesktopEntry(const QString& folder, const QString& name, const QString& exec,
                                 const QString& extraLines = {}) {
  return writeFile(
      folder + u'/' + name + QStringLiteral(".desktop"),
      QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n%3").arg(name, exec, extraLines).toUtf8());
}

/// An entry that writes "ok" into `marker` when launched: a harmless program
/// whose effect a test can see.
inline QString writeMarkerEntry(const QString& folder, const QString& name, const QString& marker) {
  return writeDesktopEntry(folder, name, QStringLiteral("sh -c \"echo ok > '%1'\"").arg(marker));
}

}  // namespace test

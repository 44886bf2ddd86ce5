#include "platform/core/SystemInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pf {

QString SystemInfo::homeDirectory() { return QDir::homePath(); }

QString SystemInfo::applicationDataDirectory() {
  return homeDirectory() + QStringLiteral("/Library/Application Support/Quib Bot");
}

QString SystemInfo::downloadsDirectory() {
  // Qt reads user-dirs.dirs and falls back to ~/Downloads itself.
  return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

QString SystemInfo::assetRoot() {
  const QString applicationDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  return assetRoot(applicationDir, QDir::currentPath());
}

QString SystemInfo::assetRoot(const QString& applicationDir, const QString& workingDir) {
  if (!applicationDir.isEmpty()) {
    for (const QString& relative : {QStringLiteral("Assets"), QStringLiteral("../share/wendle/Assets")}) {
      const QString candidate = QDir::cleanPath(applicationDir + QLatin1Char('/') + relative);
      if (QFileInfo(candidate).isDir()) return candidate;
    }
  }
  return QDir::cleanPath(workingDir + QStringLiteral("/Assets"));
}

}  // namespace pf

#pragma once

#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <sys/time.h>

/// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace test {

inline QUrl fileURL(const QString& path) { return QUrl::fromLocalFile(path); }

/// A path under the test's temporary home, its folder made.
inline QString inHome(const QString& relative) {
  const QString path = home() + u'/' + relative;
  QDir().mkpath(QFileInfo(path).path());
  return path;
}

/// A folder under the test's temporary home, made with its parents.
inline QString folderInHome(const QString& relative) {
  const QString path = home() + u'/' + relative;
  QDir().mkpath(path);
  return path;
}

inline struct stat lstatOf(const QString& path) {
  struct stat status {};
  ::lstat(QFile::encodeName(path).constData(), &status);
  return status;
}

inline bool exists(const QString& path) {
  struct stat status {};
  return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

/// Gives the item a recognisable mode and a modification time in the past.
inline void stamp(const QString& path, mode_t mode, time_t modified) {
  ::chmod(QFile::encodeName(path).constData(), mode);
  const timeval times[2] = {{modified, 0}, {modified, 0}};
  ::lutimes(QFile::encodeName(path).constData(), times);
}

/// A folder on another file system than the test's home (a RAM disk), or
/// none when the machine has none.
inline std::unique_ptr<QTemporaryDir> otherDevice() {
  struct stat homeStatus {};
  struct stat shmStatus {};
  if (::stat(QFile::encodeName(home()).constData(), &homeStatus) != 0 || ::stat("/dev/shm", &shmStatus) != 0 ||
      homeStatus.st_dev == shmStatus.st_dev)
    return nullptr;
  auto dir = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/wendle-filedrop-XXXXXX"));
  return dir->isValid() ? std::move(dir) : nullptr;
}

}  // namespace test

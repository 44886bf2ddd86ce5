#include "platform/core/Files.h"

#include "platform/core/FileDescriptor.h"
#include "platform/core/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pf {

std::optional<Files::Opened> Files::openForReading(const QString& path) {
  Opened opened{FileDescriptor::open(path, O_RDONLY | O_NONBLOCK), {}};
  if (!opened.file.isOpen()) {
    if (errno == ENOENT) return std::nullopt;
    throw FileError::failed(errno, QStringLiteral("open"), path);
  }
  if (::fstat(opened.file.get(), &opened.status) != 0) throw FileError::failed(errno, QStringLiteral("read"), path);
  return opened;
}

std::optional<QByteArray> Files::read(const QString& path, qint64 limit) {
  const std::optional<Opened> opened = openForReading(path);
  if (!opened) return std::nullopt;
  const mode_t mode = opened->status.st_mode;
  if (S_ISDIR(mode)) throw FileError::failed(EISDIR, QStringLiteral("read"), path);
  if (!S_ISREG(mode))
    throw FileError(EINVAL, path, QStringLiteral("Could not read \"%1\": it is not a regular file.").arg(path));
  return opened->file.readAll(path, limit);
}

void Files::createExclusive(const QString& path, const QByteArray& bytes) {
  const FileDescriptor file = FileDescriptor::open(path, O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (!file.isOpen()) throw FileError::failed(errno, QStringLiteral("create"), path);
  try {
    file.writeAll(bytes, path);
    file.sync(path);
  } catch (const FileError&) {
    // Only the half-written file we just created goes; a later attempt must find the name free.
    ::unlink(QFile::encodeName(path).constData());
    throw;
  }
  syncFolder(parentFolder(path));
}

void Files::renameNoReplace(const QString& from, const QString& to) {
  const QByteArray source = QFile::encodeName(from);
  const QByteArray target = QFile::encodeName(to);
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
    const int error = errno;
    if (error == EEXIST)
      throw FileError(
          error, to,
          QStringLiteral("Could not move \"%1\" to \"%2\": an item with that name already exists.").arg(from, to));
    throw FileError(error, from,
                    QStringLiteral("Could not move \"%1\" to \"%2\": %3.").arg(from, to, qt_error_string(error)));
  }
  syncFolder(parentFolder(to));
  if (parentFolder(from) != parentFolder(to)) syncFolder(parentFolder(from));
}

void Files::makeFolders(const QString& path) {
  const QString folder = QDir::cleanPath(path);
  const QByteArray name = QFile::encodeName(folder);
  if (::mkdir(name.constData(), 0700) == 0) return;
  int error = errno;
  if (error == ENOENT && folder != parentFolder(folder)) {
    makeFolders(parentFolder(folder));
    if (::mkdir(name.constData(), 0700) == 0) return;
    error = errno;
  }
  if (error == EEXIST) {
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode)) return;
    error = ENOTDIR;
  }
  throw FileError::failed(error, QStringLiteral("create the folder"), folder);
}

void Files::syncFolder(const QString& path) {
  const FileDescriptor folder = FileDescriptor::open(path, O_RDONLY | O_DIRECTORY);
  if (!folder.isOpen()) throw FileError::failed(errno, QStringLiteral("open the folder"), path);
  folder.sync(path);
}

QString Files::parentFolder(const QString& path) { return QFileInfo(QDir::cleanPath(path)).absolutePath(); }

}  // namespace pf

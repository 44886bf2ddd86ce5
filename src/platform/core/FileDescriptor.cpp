#include "platform/core/FileDescriptor.h"

#include "platform/core/FileError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pf {

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    close();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

FileDescriptor::~FileDescriptor() { close(); }

FileDescriptor FileDescriptor::open(const QString& path, int flags, mode_t mode) {
  const QByteArray name = QFile::encodeName(path);
  int fd = -1;
  do {
    fd = ::open(name.constData(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return FileDescriptor(fd);
}

void FileDescriptor::close() {
  // Linux releases the descriptor even when close reports EINTR, so it is never retried.
  if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
}

void FileDescriptor::writeAll(const QByteArray& bytes, const QString& path) const {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(m_fd, data, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) continue;
      throw FileError::failed(errno, QStringLiteral("write"), path);
    }
    data += written;
    left -= written;
  }
}

QByteArray FileDescriptor::readAll(const QString& path, qint64 limit) const {
  struct stat info {};
  QByteArray bytes;
  // Read straight into the result, sized from fstat; the spare bytes past
  // the end let a parser that reads in blocks work on it without a copy.
  if (::fstat(m_fd, &info) == 0 && info.st_size > 0)
    bytes.reserve(static_cast<qsizetype>(std::min<qint64>(info.st_size, limit)) + readAhead + 1);
  while (bytes.size() < limit) {
    if (bytes.capacity() - bytes.size() <= readAhead) bytes.reserve(bytes.capacity() * 2 + 65536);
    const qsizetype at = bytes.size();
    const auto wanted = std::min<qint64>(bytes.capacity() - at - readAhead, limit - at);
    bytes.resize(at + static_cast<qsizetype>(wanted));
    const ssize_t got = ::read(m_fd, bytes.data() + at, static_cast<size_t>(wanted));
    bytes.resize(at + std::max<qsizetype>(got, 0));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError::failed(errno, QStringLiteral("read"), path);
    }
  }
  return bytes;
}

void FileDescriptor::sync(const QString& path) const {
  if (::fsync(m_fd) != 0) throw FileError::failed(errno, QStringLiteral("save"), path);
}

}  // namespace pf

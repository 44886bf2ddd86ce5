#pragma once

#include <QByteArray>
#include <QString>
#include <limits>
#include <sys/types.h>

namespace pf {

/// An owned POSIX file descriptor, closed when destroyed; move-only. Every
/// descriptor is opened close-on-exec, so programs we launch never inherit
/// our files or locks.
class FileDescriptor final {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  /// open(2) with O_CLOEXEC added; not open on failure, with `errno` kept.
  static FileDescriptor open(const QString& path, int flags, mode_t mode = 0);

  bool isOpen() const { return m_fd >= 0; }
  int get() const { return m_fd; }
  void close();

  /// Writes all of `bytes`, retrying short writes; throws FileError naming `path`.
  void writeAll(const QByteArray& bytes, const QString& path) const;
  /// Bytes a read result keeps allocated past its end (simdjson's padding).
  static constexpr qsizetype readAhead = 64;
  /// Reads to the end of the file, but no more than `limit` bytes; throws
  /// FileError naming `path`. The result keeps `readAhead` spare bytes allocated.
  QByteArray readAll(const QString& path,
                     qint64 limit = std::numeric_limits<qint64>::max()) const;
  /// fsync(2); throws FileError naming `path`.
  void sync(const QString& path) const;

 private:
  int m_fd = -1;
};

}  // namespace pf

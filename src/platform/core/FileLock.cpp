#include "platform/core/FileLock.h"

#include "platform/core/FileError.h"

#include <QThread>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace pf {

FileLock::~FileLock() { release(); }

FileDescriptor FileLock::openLockFile(const QString& path) {
  FileDescriptor file = FileDescriptor::open(path, O_RDWR | O_CREAT, 0600);
  if (!file.isOpen()) throw FileError::failed(errno, QStringLiteral("open the lock file"), path);
  return file;
}

std::optional<FileLock> FileLock::tryLock(const QString& path) { return tryLock(openLockFile(path), path); }

std::optional<FileLock> FileLock::tryLock(FileDescriptor file, const QString& path) {
  int result = 0;
  do {
    result = ::flock(file.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return FileLock(std::move(file));
  if (errno == EWOULDBLOCK) return std::nullopt;
  throw FileError::failed(errno, QStringLiteral("lock"), path);
}

FileLock::LockAttempt FileLock::attemptLock(const QString& path) {
  LockAttempt attempt;
  try {
    FileDescriptor file = openLockFile(path);
    attempt.opened = true;
    attempt.lock = tryLock(std::move(file), path);
  } catch (const FileError& error) {
    attempt.reason = QString::fromUtf8(error.what());
  }
  return attempt;
}

std::optional<FileLock> FileLock::waitFor(const QString& path,
                                          const std::function<bool()>& cancelled) {
  FileDescriptor file = openLockFile(path);
  while (!cancelled()) {
    if (::flock(file.get(), LOCK_EX) == 0) return FileLock(std::move(file));
    if (errno != EINTR) throw FileError::failed(errno, QStringLiteral("lock"), path);
  }
  return std::nullopt;
}

template <typename Attempt>
std::optional<FileLock> FileLock::retry(Attempt attempt, std::chrono::milliseconds patience) {
  using namespace std::chrono;
  // Polling keeps the wait bounded; holders keep the lock for milliseconds.
  const auto deadline = steady_clock::now() + patience;
  auto pause = milliseconds(1);
  for (;;) {
    if (auto held = attempt()) return held;
    if (steady_clock::now() >= deadline) return std::nullopt;
    QThread::msleep(static_cast<unsigned long>(pause.count()));
    pause = std::min(pause * 2, milliseconds(16));
  }
}

std::optional<FileLock> FileLock::lock(const QString& path, std::chrono::milliseconds patience) {
  return retry([&] { return tryLock(path); }, patience);
}

std::optional<FileLock> FileLock::lockFolder(const QString& path,
                                             std::chrono::milliseconds patience) {
  return retry(
      [&] {
        FileDescriptor folder = FileDescriptor::open(path, O_RDONLY | O_DIRECTORY);
        if (!folder.isOpen())
          throw FileError::failed(errno, QStringLiteral("open the folder"), path);
        return tryLock(std::move(folder), path);
      },
      patience);
}

void FileLock::release() {
  if (!m_file.isOpen()) return;
  ::flock(m_file.get(), LOCK_UN);
  m_file.close();
}

}  // namespace pf

#include "platform/core/FileLock.h"

#include "platform/core/FileError.h"

#include <QThread>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace pf {

FileLock::~FileLock() { release(); }

std::optional<FileLock> FileLock::tryLock(const QString& path) {
  FileDescriptor file = FileDescriptor::open(path, O_RDWR | O_CREAT, 0600);
  if (!file.isOpen()) throw FileError::failed(errno, QStringLiteral("open the lock file"), path);
  int result = 0;
  do {
    result = ::flock(file.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return FileLock(std::move(file));
  if (errno == EWOULDBLOCK) return std::nullopt;
  throw FileError::failed(errno, QStringLiteral("lock"), path);
}

std::optional<FileLock> FileLock::lock(const QString& path, std::chrono::milliseconds patience) {
  using namespace std::chrono;
  // Polling keeps the wait bounded; holders keep the lock for milliseconds.
  const auto deadline = steady_clock::now() + patience;
  auto pause = milliseconds(1);
  for (;;) {
    if (auto held = tryLock(path)) return held;
    if (steady_clock::now() >= deadline) return std::nullopt;
    QThread::msleep(static_cast<unsigned long>(pause.count()));
    pause = std::min(pause * 2, milliseconds(16));
  }
}

void FileLock::release() {
  if (!m_file.isOpen()) return;
  ::flock(m_file.get(), LOCK_UN);
  m_file.close();
}

}  // namespace pf

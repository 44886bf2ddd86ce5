#pragma once

#include "platform/core/FileDescriptor.h"
#include "platform/core/Log.h"

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace pf {

/// An exclusive advisory lock (flock) on a lock file, held while the object
/// lives. The file is created 0600 when missing and never deleted. Locks are
/// per open file, so two locks on one path conflict inside one process too,
/// and the descriptor is close-on-exec, so launched programs never keep it.
class FileLock final {
 public:
  FileLock(FileLock&&) noexcept = default;
  FileLock& operator=(FileLock&&) noexcept = default;
  ~FileLock();

  /// Takes the lock without waiting; nothing when someone else holds it.
  /// Failing to open the lock file throws FileError.
  [[nodiscard]] static std::optional<FileLock> tryLock(const QString& path);

  /// A store's lock step: takes the lock without waiting, or throws the
  /// store's sentence, `cannotOpen` when the lock file cannot be opened and
  /// `notGranted` when the lock is not granted, whether another holder has
  /// it or the system refused. The sentences name neither path nor cause, so
  /// the system's reason goes to the log first, formatted by `logFormat`
  /// ("...%@"); another holder is no fault and is not logged.
  template <typename Refusal>
  [[nodiscard]] static FileLock take(const QString& path, const QString& logFormat,
                                     const Refusal& cannotOpen, const Refusal& notGranted);

  /// Takes the lock, waiting up to `patience` while someone else holds it.
  [[nodiscard]] static std::optional<FileLock> lock(const QString& path,
                                                    std::chrono::milliseconds patience);

  /// Takes the lock, sleeping in flock(2) for as long as someone else holds
  /// it. A signal that interrupts the sleep ends the wait, with nothing, when
  /// `cancelled` then answers true; otherwise the sleep goes on. Failing to
  /// open or lock the file throws FileError.
  [[nodiscard]] static std::optional<FileLock> waitFor(const QString& path,
                                                       const std::function<bool()>& cancelled);

  /// Locks a folder through its own descriptor, waiting up to `patience`;
  /// this creates no file, so it suits folders whose contents are fixed.
  /// Nothing when someone else kept it that long. A folder that cannot be
  /// opened throws FileError.
  [[nodiscard]] static std::optional<FileLock> lockFolder(const QString& path,
                                                          std::chrono::milliseconds patience);

  /// Releases the lock now (destruction does the same).
  void release();

  bool isHeld() const { return m_file.isOpen(); }

 private:
  explicit FileLock(FileDescriptor file) : m_file(std::move(file)) {}

  struct LockAttempt;
  static LockAttempt attemptLock(const QString& path);
  /// Opens (creating 0600) a lock file; throws FileError.
  static FileDescriptor openLockFile(const QString& path);

  /// Takes the lock on an open descriptor without waiting.
  static std::optional<FileLock> tryLock(FileDescriptor file, const QString& path);
  /// Retries `attempt` with growing pauses until it succeeds or `patience` ends.
  template <typename Attempt>
  static std::optional<FileLock> retry(Attempt attempt, std::chrono::milliseconds patience);

  FileDescriptor m_file;
};

/// What `attemptLock` got: the lock, or whether the lock file opened and the
/// system's reason naming the path (empty when another holder has the lock).
struct FileLock::LockAttempt {
  std::optional<FileLock> lock;
  bool opened = false;
  QString reason;
};

template <typename Refusal>
FileLock FileLock::take(const QString& path, const QString& logFormat, const Refusal& cannotOpen,
                        const Refusal& notGranted) {
  LockAttempt attempt = attemptLock(path);
  if (attempt.lock) return std::move(*attempt.lock);
  if (!attempt.reason.isEmpty()) log(logFormat, attempt.reason);
  throw attempt.opened ? notGranted : cannotOpen;
}

}  // namespace pf

#pragma once

#include "platform/core/FileLock.h"

#include <QString>
#include <functional>
#include <memory>
#include <thread>

namespace pf {

/// Waits, on a thread of its own, for a lock file that someone else holds,
/// and hands the lock to the main thread through the event loop as soon as it
/// is free. Nothing polls: the thread sleeps in flock(2) until the holder
/// releases the lock or dies. Stopping wakes the thread with a signal and
/// joins it, so no thread outlives the waiter, and a lock it took but had not
/// handed over yet is released, so it never keeps anyone else waiting.
class LockWaiter final {
 public:
  /// Starts waiting for the lock file at `path`. `onLocked` runs on the main
  /// thread with the lock, once, and never after `stop()`.
  LockWaiter(const QString& path, std::function<void(FileLock)> onLocked);
  LockWaiter(const LockWaiter&) = delete;
  LockWaiter& operator=(const LockWaiter&) = delete;
  /// Stops.
  ~LockWaiter();

  /// Ends the wait and joins the thread; returns at once when it has ended.
  void stop();

 private:
  struct State;
  static void wait(const std::shared_ptr<State>& state, const QString& path);

  std::shared_ptr<State> m_state;
  std::thread m_thread;
};

}  // namespace pf

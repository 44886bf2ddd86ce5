#include "platform/core/LockWaiter.h"

#include "platform/core/FileError.h"
#include "platform/core/Log.h"
#include "platform/core/QtMainQueue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <pthread.h>

namespace pf {
namespace {

// Wakes the waiting thread out of flock(2). Ignored by default and used by
// nothing else here; debuggers pass it on without stopping.
constexpr int wakeSignal = SIGURG;

// A signal sent just before the thread went to sleep is lost; it is sent
// again this often until the thread has ended.
constexpr std::chrono::milliseconds wakeRepeat(10);

void ignoreWake(int) {}

/// A handler without SA_RESTART, so the signal ends the sleeping flock with
/// EINTR instead of resuming it. Only a waiting thread is ever sent it.
void installWakeHandler() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_handler = ignoreWake;
    sigemptyset(&action.sa_mask);
    ::sigaction(wakeSignal, &action, nullptr);
  });
}

}  // namespace

struct LockWaiter::State {
  std::function<void(FileLock)> onLocked;
  std::atomic<bool> stopping = false;
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
};

LockWaiter::LockWaiter(const QString& path, std::function<void(FileLock)> onLocked)
    : m_state(std::make_shared<State>()) {
  m_state->onLocked = std::move(onLocked);
  installWakeHandler();
  m_thread = std::thread([state = m_state, path] { wait(state, path); });
}

LockWaiter::~LockWaiter() { stop(); }

void LockWaiter::wait(const std::shared_ptr<State>& state, const QString& path) {
  // The thread inherits its creator's signal mask; a blocked wake signal would never end the sleep.
  sigset_t wake;
  sigemptyset(&wake);
  sigaddset(&wake, wakeSignal);
  ::pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
  std::optional<FileLock> lock;
  try {
    lock = FileLock::waitFor(path, [&] { return state->stopping.load(); });
  } catch (const FileError& error) {
    log(QStringLiteral("Wendle stopped waiting for a lock: %@"), QString::fromUtf8(error.what()));
  }
  {
    const std::lock_guard guard(state->mutex);
    state->finished = true;
  }
  state->ended.notify_all();
  if (!lock) return;
  auto held = std::make_shared<FileLock>(std::move(*lock));
  QtMainQueue::shared().async(nullptr, [state, held] {
    // Stopped meanwhile: the lock goes with this call and is released.
    if (state->stopping.exchange(true)) return;
    state->onLocked(std::move(*held));
  });
}

void LockWaiter::stop() {
  if (!m_thread.joinable()) return;
  m_state->stopping = true;
  std::unique_lock guard(m_state->mutex);
  while (!m_state->finished) {
    ::pthread_kill(m_thread.native_handle(), wakeSignal);
    m_state->ended.wait_for(guard, wakeRepeat);
  }
  guard.unlock();
  m_thread.join();
}

}  // namespace pf

#pragma once

#include "platform/core/Clock.h"
#include "platform/core/FileLock.h"
#include "platform/core/LockWaiter.h"
#include "platform/core/MainQueue.h"
#include "platform/core/Timer.h"
#include "reminders/ReminderStore.h"

#include <QDateTime>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

/// The check loop of one reminders journal: collects occurrences as they
/// fall due, hands the owner one at a time to show and takes back Done and
/// Snooze. Only one running copy checks a journal folder: the coordinator
/// holds "reminders-runner.lock" there from `start()` to `stop()`, and a copy
/// that cannot take it shows no alerts until the holder quits or dies; then it
/// takes over at once. Its one timer sleeps until the next due time, at most
/// 30 s, or 5 s while an occurrence waits to be shown.
class ReminderCoordinator final {
 public:
  explicit ReminderCoordinator(ReminderStore& store, pf::Clock& clock = pf::SystemClock::shared(),
                               pf::MainQueue& queue = defaultQueue());
  ReminderCoordinator(const ReminderCoordinator&) = delete;
  ReminderCoordinator& operator=(const ReminderCoordinator&) = delete;
  /// Stops.
  ~ReminderCoordinator();

  /// Asked before a new occurrence is shown; showing waits while it answers false.
  std::function<bool()> canPresent = [] { return true; };
  /// Show this occurrence; the flag says whether to play its animation (only
  /// on its first showing since it was made or last snoozed).
  std::function<void(const ReminderOccurrence&, bool animate)> onPresent;
  /// Hide whatever occurrence is shown.
  std::function<void()> onDismiss;
  /// A failure to tell the user; the same text is passed once until a check succeeds.
  std::function<void(const QString&)> onError;

  /// The occurrence handed out for display, if any.
  const std::optional<ReminderOccurrence>& active() const { return m_active; }
  bool isRunning() const { return m_running; }

  /// Takes the runner lock and checks at once. Another copy holding the lock
  /// is reported through `onError`; this one then waits, without polling, and
  /// starts as soon as the lock is free.
  void start();
  /// Releases the lock and the timer, or ends the wait for the lock. The shown
  /// occurrence is forgotten, so a later `start()` shows it again (without its
  /// animation).
  void stop();
  /// Whether a refused `start()` is waiting for the other copy to let go.
  bool isWaiting() const { return m_waiter != nullptr; }
  /// Brings the journal up to date, keeps `active` in step with it, shows the
  /// next occurrence when nothing is shown, and arms the next check.
  void check();
  /// Marks the shown occurrence done.
  void done();
  /// Puts the shown occurrence off by `seconds` (300, 900 or 3600).
  void snooze(double seconds);
  /// Closes the shown occurrence unanswered, once the journal has refused an
  /// answer to it (the user has been told why); before that it does nothing.
  /// Done or Snooze refused a second time does the same. The occurrence stays
  /// open and comes back at a later check that can write the journal.
  void setAside();

 private:
  static pf::MainQueue& defaultQueue();
  void run(pf::FileLock lock);
  void answer(const std::function<void(const QString& id, const QDateTime& now)>& store);
  void present(const ReminderOccurrence& occurrence, bool animate);
  void refreshActive(const std::vector<ReminderOccurrence>& pending);
  void presentNext(const std::vector<ReminderOccurrence>& pending, const QDateTime& now);
  void report(const std::exception& error);
  void schedule();
  double delayAfter(const QDateTime& now) const;

  ReminderStore& m_store;
  pf::Clock& m_clock;
  std::unique_ptr<pf::Timer> m_timer;
  std::optional<pf::FileLock> m_runnerLock;
  std::unique_ptr<pf::LockWaiter> m_waiter;
  bool m_running = false;
  std::optional<ReminderOccurrence> m_active;
  /// The shown occurrence whose answer the journal refused.
  std::optional<QString> m_refused;
  /// The occurrence closed unanswered, until the journal takes a change to it.
  std::optional<QString> m_setAside;
  std::optional<QString> m_lastError;
};

#include "reminders/ReminderCoordinator.h"

#include "platform/core/FileError.h"
#include "platform/core/Files.h"
#include "platform/core/QtMainQueue.h"
#include "reminders/ReminderSchedule.h"
#include "shortcuts/QuibError.h"

#include <algorithm>

namespace {

constexpr double longestWait = 30;
constexpr double shortestWait = 0.25;
// While an occurrence waits for the companion to be free.
constexpr double waitingRetry = 5;

}  // namespace

ReminderCoordinator::ReminderCoordinator(ReminderStore& store, pf::Clock& clock, pf::MainQueue& queue)
    : m_store(store), m_clock(clock), m_timer(queue.makeTimer(pf::TimerAccuracy::precise)) {}

ReminderCoordinator::~ReminderCoordinator() { stop(); }

pf::MainQueue& ReminderCoordinator::defaultQueue() { return pf::QtMainQueue::shared(); }

void ReminderCoordinator::start() {
  if (m_running || m_waiter) return;
  try {
    pf::Files::makeFolders(m_store.directory());
  } catch (const pf::FileError& error) {
    report(error);
    return;
  }
  const QString path = m_store.directory() + QStringLiteral("/reminders-runner.lock");
  std::optional<pf::FileLock> lock;
  bool heldElsewhere = false;
  try {
    lock = pf::FileLock::tryLock(path);
    heldElsewhere = !lock;
  } catch (const pf::FileError&) {
    // A lock file that cannot be opened is refused alike, with nothing to wait for.
  }
  if (!lock) {
    report(QuibError(QStringLiteral(
        "Another Wendle is already checking reminders. This copy will not show duplicate alerts.")));
    // Alerts stay quiet only while the other copy runs: its lock is ours the moment it quits or dies.
    if (heldElsewhere)
      m_waiter = std::make_unique<pf::LockWaiter>(path, [this](pf::FileLock free) { run(std::move(free)); });
    return;
  }
  run(std::move(*lock));
}

void ReminderCoordinator::run(pf::FileLock lock) {
  m_waiter.reset();
  m_runnerLock = std::move(lock);
  m_running = true;
  check();
}

void ReminderCoordinator::stop() {
  m_waiter.reset();
  m_running = false;
  m_timer->stop();
  m_runnerLock.reset();
  // The owner hides the bubble when it stops; forgetting the occurrence lets
  // the next start show it again instead of treating it as still on screen.
  m_active.reset();
  m_refused.reset();
}

void ReminderCoordinator::check() {
  if (!m_running) return;
  m_timer->stop();
  const QDateTime now = m_clock.now();
  try {
    m_store.collect(now, ReminderSchedule::calendar());
    // An alert closed unanswered returns once the journal takes a change again.
    if (m_setAside) m_store.markSetAside(*m_setAside);
    m_setAside.reset();
    const std::vector<ReminderOccurrence> pending = m_store.pending(now);
    refreshActive(pending);
    if (!m_active) presentNext(pending, now);
    m_lastError.reset();
  } catch (const std::exception& error) {
    report(error);
  }
  schedule();
}

void ReminderCoordinator::present(const ReminderOccurrence& occurrence, bool animate) {
  m_active = occurrence;
  m_refused.reset();
  if (onPresent) onPresent(occurrence, animate);
}

void ReminderCoordinator::refreshActive(const std::vector<ReminderOccurrence>& pending) {
  if (!m_active) return;
  const auto found = std::ranges::find(pending, m_active->id, &ReminderOccurrence::id);
  if (found == pending.end()) {
    m_active.reset();
    if (onDismiss) onDismiss();
  } else if (found->reminder != m_active->reminder) {
    present(*found, false);
  }
}

void ReminderCoordinator::presentNext(const std::vector<ReminderOccurrence>& pending, const QDateTime& now) {
  if (pending.empty() || !canPresent()) return;
  const ReminderOccurrence& next = pending.front();
  present(next, m_store.markPresented(next.id, now));
}

void ReminderCoordinator::done() {
  answer([this](const QString& id, const QDateTime& now) { m_store.complete(id, now); });
}

void ReminderCoordinator::snooze(double seconds) {
  answer([this, seconds](const QString& id, const QDateTime& now) { m_store.snooze(id, seconds, now); });
}

void ReminderCoordinator::answer(const std::function<void(const QString& id, const QDateTime& now)>& store) {
  if (!m_active) return;
  try {
    store(m_active->id, m_clock.now());
  } catch (const std::exception& error) {
    report(error);
    // The bubble stays up with the reason; answered again while the journal
    // still refuses, it goes, so a broken journal never keeps it in front.
    if (m_refused == m_active->id)
      setAside();
    else
      m_refused = m_active->id;
    return;
  }
  m_active.reset();
  if (onDismiss) onDismiss();
  check();
}

void ReminderCoordinator::setAside() {
  if (!m_active || m_refused != m_active->id) return;
  m_setAside = m_active->id;
  m_active.reset();
  m_refused.reset();
  if (onDismiss) onDismiss();
}

void ReminderCoordinator::report(const std::exception& error) {
  const QString text = ReminderStore::text(error);
  if (m_lastError == text) return;
  m_lastError = text;
  if (onError) onError(text);
}

void ReminderCoordinator::schedule() {
  if (!m_running) return;
  m_timer->start(delayAfter(m_clock.now()), false, [this] { check(); });
}

double ReminderCoordinator::delayAfter(const QDateTime& now) const {
  // One closed unanswered is not waiting to be shown: the next check retries it anyway.
  const auto waiting = [this](const ReminderOccurrence& o) { return o.id != m_setAside; };
  if (!m_active && std::ranges::any_of(m_store.pending(now), waiting)) return waitingRetry;
  std::optional<QDateTime> earliest;
  const auto consider = [&](const QDateTime& moment) {
    if (!earliest || moment < *earliest) earliest = moment;
  };
  const pf::Calendar calendar = ReminderSchedule::calendar();
  for (const QuibReminder& reminder : m_store.file().reminders)
    if (const auto next = ReminderSchedule::next(reminder, now, calendar)) consider(*next);
  for (const ReminderOccurrence& occurrence : m_store.file().occurrences)
    if (occurrence.isOpen() && occurrence.readyAt() > now) consider(occurrence.readyAt());
  if (!earliest) return longestWait;
  return std::clamp(double(now.msecsTo(*earliest)) / 1000.0, shortestWait, longestWait);
}

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
  if (m_running) return;
  try {
    pf::Files::makeFolders(m_store.directory());
  } catch (const pf::FileError& error) {
    report(error);
    return;
  }
  try {
    m_runnerLock = pf::FileLock::tryLock(m_store.directory() + QStringLiteral("/reminders-runner.lock"));
  } catch (const pf::FileError&) {
    m_runnerLock.reset();
  }
  if (!m_runnerLock) {
    report(QuibError(QStringLiteral(
        "Another Wendle is already checking reminders. This copy will not show duplicate alerts.")));
    return;
  }
  m_running = true;
  check();
}

void ReminderCoordinator::stop() {
  m_running = false;
  m_timer->stop();
  m_runnerLock.reset();
  // The owner hides the bubble when it stops; forgetting the occurrence lets
  // the next start show it again instead of treating it as still on screen.
  m_active.reset();
}

void ReminderCoordinator::check() {
  if (!m_running) return;
  m_timer->stop();
  const QDateTime now = m_clock.now();
  try {
    m_store.collect(now, ReminderSchedule::calendar());
    const std::vector<ReminderOccurrence> pending = m_store.pending(now);
    refreshActive(pending);
    if (!m_active) presentNext(pending, now);
    m_lastError.reset();
  } catch (const std::exception& error) {
    report(error);
  }
  schedule();
}

void ReminderCoordinator::refreshActive(const std::vector<ReminderOccurrence>& pending) {
  if (!m_active) return;
  const auto found = std::ranges::find(pending, m_active->id, &ReminderOccurrence::id);
  if (found == pending.end()) {
    m_active.reset();
    if (onDismiss) onDismiss();
  } else if (found->reminder != m_active->reminder) {
    m_active = *found;
    if (onPresent) onPresent(*m_active, false);
  }
}

void ReminderCoordinator::presentNext(const std::vector<ReminderOccurrence>& pending, const QDateTime& now) {
  if (pending.empty() || !canPresent()) return;
  const ReminderOccurrence& next = pending.front();
  const bool firstShowing = m_store.markPresented(next.id, now);
  m_active = next;
  if (onPresent) onPresent(next, firstShowing);
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
    report(error);  // the bubble stays up, so the answer can be given again
    return;
  }
  m_active.reset();
  if (onDismiss) onDismiss();
  check();
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
  if (!m_active && !m_store.pending(now).empty()) return waitingRetry;
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

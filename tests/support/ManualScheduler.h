#pragma once

#include "platform/core/Clock.h"
#include "platform/core/MainQueue.h"

#include <QDateTime>
#include <memory>

namespace test {

/// A clock and main queue whose time moves only when a test says so. Timers
/// and queued work run inside `advance`, in the order of their due times
/// (ties in the order they were scheduled), with `now()` set to each one's
/// due time while it runs. Timers it made stay safe to destroy after it.
class ManualScheduler final : public pf::Clock, public pf::MainQueue {
 public:
  /// Starts at `start`: by default Saturday 7 March 2026, 12:00 UTC.
  explicit ManualScheduler(const QDateTime& start = QDateTime(QDate(2026, 3, 7), QTime(12, 0), Qt::UTC));
  ~ManualScheduler() override;

  QDateTime now() const override;

  /// Sets the clock without running anything, as a clock change would.
  void setNow(const QDateTime& now);

  void async(QObject* context, std::function<void()> work) override;
  void after(double seconds, QObject* context, std::function<void()> work) override;
  std::unique_ptr<pf::Timer> makeTimer(pf::TimerAccuracy accuracy = pf::TimerAccuracy::coarse) override;

  /// Moves time forward by `seconds`, running everything due up to then,
  /// including work scheduled by the work it runs; `advance(0)` runs what
  /// `async` queued.
  void advance(double seconds);

  /// Timer firings and queued calls waiting to run (dropped ones included
  /// until their turn comes).
  std::size_t pendingCount() const;

  struct State;

 private:
  std::shared_ptr<State> m_state;
};

}  // namespace test

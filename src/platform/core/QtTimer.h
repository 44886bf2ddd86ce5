#pragma once

#include "platform/core/Timer.h"

#include <QTimer>

namespace pf {

/// `Timer` over a `QTimer` of the current (main) thread's event loop. Intervals
/// are whole milliseconds, at most about 24 days.
class QtTimer final : public Timer {
 public:
  explicit QtTimer(TimerAccuracy accuracy = TimerAccuracy::coarse);

  void start(double seconds, bool repeats, std::function<void()> fire) override;
  void stop() override { m_timer.stop(); }
  bool isActive() const override { return m_timer.isActive(); }

  /// `seconds` as a timer interval in milliseconds, clamped to what `QTimer`
  /// takes; repeating timers get at least 1 ms so they cannot spin.
  static int intervalMSecs(double seconds, bool repeats);

 private:
  QTimer m_timer;
  std::function<void()> m_fire;
};

}  // namespace pf

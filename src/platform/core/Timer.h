#pragma once

#include <functional>

namespace pf {

/// How closely a timer keeps its time: coarse timers may be moved by a few
/// percent of their interval so wake-ups can be batched; precise ones fire at
/// their millisecond.
enum class TimerAccuracy { coarse, precise };

/// A timer on the main thread. It belongs to the object that starts it and
/// never fires after it is destroyed, so owners hold it by `unique_ptr` and
/// need no clean-up of their own.
class Timer {
 public:
  virtual ~Timer() = default;

  /// Calls `fire` after `seconds`, then every `seconds` while `repeats`;
  /// replaces whatever the timer was set to do. `fire` may restart, stop or
  /// destroy the timer.
  virtual void start(double seconds, bool repeats, std::function<void()> fire) = 0;

  /// Cancels the pending firing, if any.
  virtual void stop() = 0;

  /// Whether a firing is pending.
  virtual bool isActive() const = 0;
};

}  // namespace pf

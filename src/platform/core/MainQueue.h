#pragma once

#include "platform/core/Timer.h"

#include <functional>
#include <memory>

class QObject;

namespace pf {

/// Deferred work on the main thread. Each call names a context object: when it
/// is destroyed before the work runs, the work is dropped, which is how an
/// owner that goes away cancels what it scheduled.
class MainQueue {
 public:
  virtual ~MainQueue() = default;

  /// Runs `work` once the current event has been handled.
  virtual void async(QObject* context, std::function<void()> work) = 0;

  /// Runs `work` after `seconds`.
  virtual void after(double seconds, QObject* context, std::function<void()> work) = 0;

  /// A new, stopped timer that fires on this queue.
  virtual std::unique_ptr<Timer> makeTimer(TimerAccuracy accuracy = TimerAccuracy::coarse) = 0;
};

}  // namespace pf

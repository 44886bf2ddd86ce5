#pragma once

#include "platform/core/MainQueue.h"

namespace pf {

/// `MainQueue` over Qt's event loop: queued calls and single-shot timers with
/// the context object as receiver, so Qt itself drops the work of a destroyed
/// context. A null context means the application object.
class QtMainQueue final : public MainQueue {
 public:
  /// The one instance, for owners that are given no other queue.
  static QtMainQueue& shared();

  /// May also be called from a worker thread, while `context` lives, to hand
  /// a result back to the main thread.
  void async(QObject* context, std::function<void()> work) override;

  /// Main thread only; a coarse timer, so the delay may stretch by a few percent.
  void after(double seconds, QObject* context, std::function<void()> work) override;

  std::unique_ptr<Timer> makeTimer(TimerAccuracy accuracy = TimerAccuracy::coarse) override;
};

}  // namespace pf

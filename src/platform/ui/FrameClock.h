#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

namespace pf {

/// The one timer that moves every layer animation on screen. Hosts with
/// running animations subscribe while they are shown; the timer runs only
/// while someone is subscribed, so nothing ticks while nothing moves.
///
/// 30 frames a second: the effects are slow drifts and fades (cycles of
/// seconds to minutes, a few points per frame at most), which look smooth at
/// this rate, and it halves the CPU a decorated window costs next to 60.
class FrameClock final : public QObject {
  Q_OBJECT

 public:
  static constexpr int framesPerSecond = 30;

  /// The application's clock.
  static FrameClock& shared();

  /// Calls `tick` on every frame until `stop(owner)`; subscribing again replaces the call.
  void start(const void* owner, std::function<void()> tick);
  void stop(const void* owner);
  bool isRunning() const { return m_timer.isActive(); }
  bool isSubscribed(const void* owner) const;

 private:
  FrameClock();
  void tick();

  struct Subscriber {
    const void* owner;
    std::function<void()> tick;
  };
  QTimer m_timer;
  std::vector<Subscriber> m_subscribers;
};

}  // namespace pf

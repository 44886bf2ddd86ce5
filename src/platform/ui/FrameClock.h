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
/// A subscriber may ask for fewer frames, a divisor of 30; the timer then
/// wakes only as often as its fastest subscriber needs.
class FrameClock final : public QObject {
  Q_OBJECT

 public:
  static constexpr int framesPerSecond = 30;

  /// The application's clock.
  static FrameClock& shared();

  /// Calls `tick` `rate` times a second (a divisor of framesPerSecond, else
  /// the next faster one) until `stop(owner)`; subscribing again replaces the call and the rate.
  void start(const void* owner, std::function<void()> tick, int rate = framesPerSecond);
  void stop(const void* owner);
  bool isRunning() const { return m_timer.isActive(); }
  bool isSubscribed(const void* owner) const;
  /// Milliseconds between the timer's wake-ups while it runs.
  int interval() const { return m_timer.interval(); }

 private:
  FrameClock();
  void tick();
  /// Wakes as often as the fastest subscriber needs, in step with every subscriber's frames.
  void retime();

  struct Subscriber {
    const void* owner;
    std::function<void()> tick;
    int every = 1;  // frames of the full rate per frame of this subscriber
  };
  QTimer m_timer;
  std::vector<Subscriber> m_subscribers;
  int m_step = 1;       // frames of the full rate per wake-up
  quint64 m_frame = 0;  // frames of the full rate counted so far
};

}  // namespace pf

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
/// A subscriber may ask for fewer frames: it ticks on every n-th frame, n the
/// largest whole number that keeps it at or above its rate (2.5 a second is
/// every 12th). The timer wakes on the frames its subscribers share, so rates
/// whose n divide one another cost no more wake-ups than the fastest.
class FrameClock final : public QObject {
  Q_OBJECT

 public:
  static constexpr int framesPerSecond = 30;

  /// The application's clock.
  static FrameClock& shared();

  /// Calls `tick` `rate` times a second (framesPerSecond over a whole number,
  /// else the next faster one) until `stop(owner)`; subscribing again replaces the call and the rate.
  void start(const void* owner, std::function<void()> tick, double rate = framesPerSecond);
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

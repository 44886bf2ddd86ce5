#include "platform/ui/FrameClock.h"

#include <algorithm>
#include <numeric>

namespace pf {

FrameClock& FrameClock::shared() {
  static FrameClock clock;
  return clock;
}

namespace {

// The slowest whole number of full frames per frame that keeps at or above `rate`.
int framesPer(double rate) {
  if (!(rate > 0)) return FrameClock::framesPerSecond;
  return std::clamp(static_cast<int>(FrameClock::framesPerSecond / rate + 1e-9), 1, FrameClock::framesPerSecond);
}

}  // namespace

FrameClock::FrameClock() {
  m_timer.setInterval(1000 / framesPerSecond);
  connect(&m_timer, &QTimer::timeout, this, &FrameClock::tick);
}

void FrameClock::start(const void* owner, std::function<void()> tick, double rate) {
  const auto it =
      std::find_if(m_subscribers.begin(), m_subscribers.end(), [&](const Subscriber& s) { return s.owner == owner; });
  if (it != m_subscribers.end()) {
    it->tick = std::move(tick);
    it->every = framesPer(rate);
  } else {
    m_subscribers.push_back({owner, std::move(tick), framesPer(rate)});
  }
  retime();
}

void FrameClock::stop(const void* owner) {
  std::erase_if(m_subscribers, [&](const Subscriber& s) { return s.owner == owner; });
  retime();
}

void FrameClock::retime() {
  if (m_subscribers.empty()) {
    m_timer.stop();
    return;
  }
  int step = 0;
  for (const auto& s : m_subscribers) step = std::gcd(step, s.every);
  if (step != m_step) {
    m_step = step;
    // Wake-ups land on frames every subscriber's rate divides.
    m_frame += (m_step - m_frame % m_step) % m_step;
    m_timer.setInterval(m_step * 1000 / framesPerSecond);
  }
  if (!m_timer.isActive()) m_timer.start();
}

bool FrameClock::isSubscribed(const void* owner) const {
  return std::any_of(m_subscribers.begin(), m_subscribers.end(), [&](const Subscriber& s) { return s.owner == owner; });
}

void FrameClock::tick() {
  // A tick may subscribe or leave; work on a copy and skip those that left.
  m_frame += m_step;
  const auto subscribers = m_subscribers;
  for (const auto& s : subscribers) {
    if (m_frame % s.every == 0 && isSubscribed(s.owner)) s.tick();
  }
}

}  // namespace pf

#include "platform/ui/FrameClock.h"

#include <algorithm>

namespace pf {

FrameClock& FrameClock::shared() {
  static FrameClock clock;
  return clock;
}

FrameClock::FrameClock() {
  m_timer.setInterval(1000 / framesPerSecond);
  connect(&m_timer, &QTimer::timeout, this, &FrameClock::tick);
}

void FrameClock::start(const void* owner, std::function<void()> tick) {
  const auto it = std::find_if(m_subscribers.begin(), m_subscribers.end(),
                               [&](const Subscriber& s) { return s.owner == owner; });
  if (it != m_subscribers.end()) {
    it->tick = std::move(tick);
  } else {
    m_subscribers.push_back({owner, std::move(tick)});
  }
  if (!m_timer.isActive()) m_timer.start();
}

void FrameClock::stop(const void* owner) {
  std::erase_if(m_subscribers, [&](const Subscriber& s) { return s.owner == owner; });
  if (m_subscribers.empty()) m_timer.stop();
}

bool FrameClock::isSubscribed(const void* owner) const {
  return std::any_of(m_subscribers.begin(), m_subscribers.end(),
                     [&](const Subscriber& s) { return s.owner == owner; });
}

void FrameClock::tick() {
  // A tick may subscribe or leave; work on a copy and skip those that left.
  const auto subscribers = m_subscribers;
  for (const auto& s : subscribers) {
    if (isSubscribed(s.owner)) s.tick();
  }
}

}  // namespace pf

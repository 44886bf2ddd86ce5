#include "platform/core/QtTimer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pf {

QtTimer::QtTimer(TimerAccuracy accuracy) {
  m_timer.setTimerType(accuracy == TimerAccuracy::precise ? Qt::PreciseTimer : Qt::CoarseTimer);
  QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
    // The callback may restart or destroy this timer, so it runs from a copy
    // and nothing of `this` is touched afterwards. Qt allows a QTimer to be
    // deleted from its own timeout.
    const std::function<void()> fire = m_fire;
    if (fire) fire();
  });
}

void QtTimer::start(double seconds, bool repeats, std::function<void()> fire) {
  m_fire = std::move(fire);
  m_timer.setSingleShot(!repeats);
  m_timer.start(intervalMSecs(seconds, repeats));
}

int QtTimer::intervalMSecs(double seconds, bool repeats) {
  constexpr double most = std::numeric_limits<int>::max();
  const double ms = std::isnan(seconds) ? 0.0 : std::clamp(std::round(seconds * 1000.0), 0.0, most);
  return std::max(int(ms), repeats ? 1 : 0);
}

}  // namespace pf

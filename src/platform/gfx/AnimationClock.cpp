#include "platform/gfx/AnimationClock.h"

#include <QElapsedTimer>

namespace pf {

namespace {

std::function<double()>& source() {
  static std::function<double()> s;
  return s;
}

double monotonicSeconds() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

double AnimationClock::now() { return source() ? source()() : monotonicSeconds(); }

void AnimationClock::setTimeSource(std::function<double()> s) { source() = std::move(s); }

}  // namespace pf

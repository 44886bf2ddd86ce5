#include "platform/gfx/Animation.h"

#include <algorithm>
#include <cmath>

namespace pf {

double Animation::passDuration(double inherited) const {
  if (duration > 0) return duration;
  return inherited > 0 ? inherited : defaultDuration;
}

double Animation::activeDuration(double inherited) const {
  const double cycle = passDuration(inherited) * (autoreverses ? 2 : 1);
  if (std::isinf(repeatCount)) return INFINITY;
  return cycle * (repeatCount > 0 ? static_cast<double>(repeatCount) : 1.0);
}

std::optional<double> Animation::progressAt(double time, double inherited) const {
  const double d = passDuration(inherited);
  const double total = activeDuration(inherited);
  const double elapsed = time - beginTime;
  if (!std::isfinite(d) || !std::isfinite(elapsed) || !std::isfinite(timeOffset) || elapsed < 0 || elapsed > total) {
    return std::nullopt;
  }
  const double cycle = d * (autoreverses ? 2 : 1);
  double local = elapsed + timeOffset;
  // An offset shifts the phase and wraps around within the active span.
  // Wrapping a time already within its span leaves it as it is: a group's
  // members, evaluated on every frame, mostly are within theirs.
  const double wrap = std::isfinite(total) ? total : cycle;
  if (local < 0 || (timeOffset != 0 && local >= wrap)) {
    local = std::fmod(local, wrap);
    if (local < 0) local += wrap;
  }
  double pos = local < cycle ? local : std::fmod(local, cycle);
  if (pos == 0 && local > 0 && std::isfinite(total) && local >= total) pos = cycle;
  double u = pos / d;
  if (u > 1) u = 2 - u;
  return timingFunction.map(std::clamp(u, 0.0, 1.0));
}

std::shared_ptr<Animation> BasicAnimation::clone() const { return std::make_shared<BasicAnimation>(*this); }

std::shared_ptr<Animation> KeyframeAnimation::clone() const { return std::make_shared<KeyframeAnimation>(*this); }

std::shared_ptr<Animation> AnimationGroup::clone() const {
  auto copy = std::make_shared<AnimationGroup>(*this);
  for (auto& member : copy->animations) {
    if (member) member = member->clone();
  }
  return copy;
}

}  // namespace pf

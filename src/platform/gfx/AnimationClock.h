#pragma once

#include <functional>

namespace pf {

/// The time base of layer animations: seconds on a monotonic clock shared by
/// every layer and host, so an animation added now and a frame drawn later
/// agree on how much time passed.
class AnimationClock final {
 public:
  /// Seconds since an arbitrary fixed start.
  static double now();
  /// Replaces the time source (tests drive time by hand); an empty function restores the monotonic clock.
  static void setTimeSource(std::function<double()> source);
};

}  // namespace pf

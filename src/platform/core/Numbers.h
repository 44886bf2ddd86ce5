#pragma once

#include <algorithm>
#include <cmath>

namespace pf {

/// `v` held to [0, 1], with a value that is not a number read as 0: opacities
/// and colour components stored or computed from outside never reach a painter unbounded.
inline double unitInterval(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

}  // namespace pf

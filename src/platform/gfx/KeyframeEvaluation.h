#pragma once

#include "platform/gfx/Animation.h"

#include <optional>

namespace pf {

/// The value of a keyframe animation at `progress` (0...1 of one pass, after
/// its timing function); none when it has no values and no path.
///
/// Linear and cubic run through the values at their key times (evenly spaced
/// when none are given); cubic is a Catmull-Rom curve whose tangents are the
/// central differences over time, ends mirrored, so it passes through every
/// value exactly. Discrete holds each value until the next key time. Paced
/// moves at constant speed by distance between the values, ignoring key
/// times. A path is always followed at constant speed by arc length.
std::optional<AnimationValue> keyframeValue(const KeyframeAnimation& animation, double progress);

}  // namespace pf

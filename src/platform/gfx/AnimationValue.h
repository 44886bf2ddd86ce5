#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Path.h"

#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace pf {

/// A value an animation moves between: a number (opacity, scale, angle,
/// stroke end...), a point (position), a rect (bounds), a colour or a path.
using AnimationValue = std::variant<double, Point, Rect, Color, Path>;

/// Arithmetic on animation values of one kind. Values of different kinds do
/// not mix: the first one wins.
namespace animation_values {

/// `a` blended towards `b` by `f`; paths blend point by point (see Path::interpolated),
/// colours of different spaces blend as sRGB.
AnimationValue interpolate(const AnimationValue& a, const AnimationValue& b, double f);
/// `a + b` for numbers, points and rects; none for colours and paths.
std::optional<AnimationValue> sum(const AnimationValue& a, const AnimationValue& b);
/// `a - b` for numbers, points and rects; none otherwise.
std::optional<AnimationValue> difference(const AnimationValue& a, const AnimationValue& b);
/// Straight-line distance between two values (|a - b| for numbers); 0 for paths.
double distance(const AnimationValue& a, const AnimationValue& b);
/// True for kinds that cubic and paced keyframes can move through smoothly (not paths).
bool isContinuous(const AnimationValue& v);

/// The value's numeric components, in a form shared by every value of `all`
/// (colours of mixed spaces become sRGB components), and back again.
std::vector<double> components(const AnimationValue& v, std::span<const AnimationValue> all);
AnimationValue fromComponents(const AnimationValue& like, std::span<const AnimationValue> all,
                              const std::vector<double>& c);

}  // namespace animation_values

}  // namespace pf

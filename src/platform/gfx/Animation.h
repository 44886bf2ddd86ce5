#pragma once

#include "platform/gfx/AnimationValue.h"
#include "platform/gfx/TimingFunction.h"

#include <QString>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace pf {

/// What every animation shares: its timing. Descriptions only: a layer keeps
/// its own copy when one is added, and the evaluator reads it at any time.
struct Animation {
  enum class Kind { basic, keyframe, group };

  /// A repeat count that never ends.
  static constexpr float repeatForever = std::numeric_limits<float>::infinity();
  /// Used for a top-level animation whose duration is not set.
  static constexpr double defaultDuration = 0.25;

  virtual ~Animation() = default;
  virtual Kind kind() const = 0;
  /// A deep copy (a group copies its members).
  virtual std::shared_ptr<Animation> clone() const = 0;

  /// Seconds of one pass; 0 takes the group's duration for a member, else `defaultDuration`.
  double duration = 0;
  /// Seconds after the animation was added (a member: after its group's start) before it starts.
  double beginTime = 0;
  /// Seconds added to the animation's own time: a phase, wrapping within its active span.
  double timeOffset = 0;
  /// Number of passes (one pass forth and, with `autoreverses`, back); 0 plays once.
  float repeatCount = 0;
  /// Each pass plays forwards, then backwards.
  bool autoreverses = false;
  /// Maps each pass's time to progress; linear unless set.
  TimingFunction timingFunction;

  /// The pass duration, given the duration a group passes down (0 at top level).
  double passDuration(double inherited) const;
  /// Seconds the animation runs (infinite for endless repeats).
  double activeDuration(double inherited) const;
  /// Progress in [0, 1] after the timing function, at `time` seconds of the
  /// parent's time (since the animation was added, or within its group); none
  /// before it begins and after it ends.
  std::optional<double> progressAt(double time, double inherited) const;

 protected:
  Animation() = default;
  Animation(const Animation&) = default;
  Animation& operator=(const Animation&) = default;
};

/// An animation of one property, named by its key path ("opacity", "position",
/// "transform.scale", "transform.rotation.z", "strokeEnd", "path", ...).
struct PropertyAnimation : Animation {
  QString keyPath;

 protected:
  explicit PropertyAnimation(QString path) : keyPath(std::move(path)) {}
  PropertyAnimation(const PropertyAnimation&) = default;
};

/// From one value to another. With only some of from, to and by set, the
/// missing end is the value the property has without this animation (or
/// from + by, to - by), as on the platform this stands in for.
struct BasicAnimation final : PropertyAnimation {
  explicit BasicAnimation(QString keyPath) : PropertyAnimation(std::move(keyPath)) {}
  Kind kind() const override { return Kind::basic; }
  std::shared_ptr<Animation> clone() const override;

  std::optional<AnimationValue> fromValue;
  std::optional<AnimationValue> toValue;
  std::optional<AnimationValue> byValue;
};

/// Through a list of values, or along a path (positions).
struct KeyframeAnimation final : PropertyAnimation {
  enum class CalculationMode {
    linear,    ///< straight between neighbours, at the key times
    discrete,  ///< each value held until the next key time
    cubic,     ///< a Catmull-Rom curve through every value, at the key times
    paced      ///< constant speed by distance; key times are ignored
  };

  explicit KeyframeAnimation(QString keyPath) : PropertyAnimation(std::move(keyPath)) {}
  Kind kind() const override { return Kind::keyframe; }
  std::shared_ptr<Animation> clone() const override;

  std::vector<AnimationValue> values;
  /// Fractions of the pass, rising from 0 to 1, one per value; evenly spaced when empty or mismatched.
  std::vector<double> keyTimes;
  /// Optional timing between consecutive values (one fewer than the values).
  std::vector<TimingFunction> timingFunctions;
  CalculationMode calculationMode = CalculationMode::linear;
  /// For points: moves along this path instead of through `values`.
  std::optional<Path> path;
};

/// Members play together within the group's time; a member without a
/// duration spans the group's duration, and the group's timing function warps
/// the time its members see.
struct AnimationGroup final : Animation {
  Kind kind() const override { return Kind::group; }
  std::shared_ptr<Animation> clone() const override;

  std::vector<std::shared_ptr<Animation>> animations;
};

}  // namespace pf

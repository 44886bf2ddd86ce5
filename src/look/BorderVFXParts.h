#pragma once

#include "platform/gfx/Animation.h"

#include <QString>
#include <memory>
#include <vector>

/// Building blocks every border effect uses: element counts held to their
/// limits (the skins' textures count with it too), and the animations that
/// repeat forever with a phase.
class BorderVFXParts final {
 public:
  BorderVFXParts() = delete;

  /// clamp(trunc(x), low, high), held in floating point before the
  /// conversion, so a NaN (which counts as `low`) or a huge value from odd
  /// geometry or tuning cannot overflow the integer.
  static int count(double x, int low, int high);

  /// A basic animation of `keyPath` from `from` to `to`.
  static std::shared_ptr<pf::BasicAnimation> basic(const QString& keyPath, pf::AnimationValue from,
                                                   pf::AnimationValue to);
  /// A linear keyframe animation of `keyPath` through `values`, at `keyTimes`
  /// (evenly spaced when empty).
  static std::shared_ptr<pf::KeyframeAnimation> keyframes(const QString& keyPath,
                                                          std::vector<pf::AnimationValue> values,
                                                          std::vector<double> keyTimes = {});
  /// A group of `members`, each spanning the group's duration.
  static std::shared_ptr<pf::AnimationGroup> group(
      std::vector<std::shared_ptr<pf::Animation>> members);

  /// Makes `animation` repeat forever, `duration` seconds a pass, starting
  /// `phase` passes in (like elements then do not move in step).
  static void repeatForever(pf::Animation& animation, double duration, double phase);
};

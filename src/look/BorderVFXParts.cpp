#include "look/BorderVFXParts.h"

#include <algorithm>
#include <cmath>

int BorderVFXParts::count(double x, int low, int high) {
  if (std::isnan(x)) return low;
  return static_cast<int>(std::clamp(std::trunc(x), static_cast<double>(low),
                                     static_cast<double>(high)));
}

std::shared_ptr<pf::BasicAnimation> BorderVFXParts::basic(const QString& keyPath,
                                                          pf::AnimationValue from,
                                                          pf::AnimationValue to) {
  auto animation = std::make_shared<pf::BasicAnimation>(keyPath);
  animation->fromValue = std::move(from);
  animation->toValue = std::move(to);
  return animation;
}

std::shared_ptr<pf::KeyframeAnimation> BorderVFXParts::keyframes(
    const QString& keyPath, std::vector<pf::AnimationValue> values, std::vector<double> keyTimes) {
  auto animation = std::make_shared<pf::KeyframeAnimation>(keyPath);
  animation->values = std::move(values);
  animation->keyTimes = std::move(keyTimes);
  return animation;
}

std::shared_ptr<pf::AnimationGroup> BorderVFXParts::group(
    std::vector<std::shared_ptr<pf::Animation>> members) {
  auto animation = std::make_shared<pf::AnimationGroup>();
  animation->animations = std::move(members);
  return animation;
}

void BorderVFXParts::repeatForever(pf::Animation& animation, double duration, double phase) {
  animation.duration = duration;
  animation.repeatCount = pf::Animation::repeatForever;
  animation.timeOffset = phase * duration;
}

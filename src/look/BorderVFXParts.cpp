#include "look/BorderVFXParts.h"

#include <algorithm>
#include <cmath>

int BorderVFXParts::count(double x, int low, int high) {
  if (std::isnan(x)) return low;
  return static_cast<int>(std::clamp(std::trunc(x), static_cast<double>(low), static_cast<double>(high)));
}

double BorderVFXParts::side(const pf::Rect& rect, int edge) { return edge < 2 ? rect.width() : rect.height(); }

pf::Point BorderVFXParts::around(const pf::Rect& rect, int edge, double along, double out) {
  switch (edge) {
    case 0: return {rect.minX() + along, rect.maxY() + out};
    case 1: return {rect.maxX() - along, rect.minY() - out};
    case 2: return {rect.minX() - out, rect.minY() + along};
    default: return {rect.maxX() + out, rect.maxY() - along};
  }
}

pf::Color BorderVFXParts::clear() { return pf::Color::calibratedWhite(0, 0); }

std::shared_ptr<pf::Layer> BorderVFXParts::named(const QString& name) {
  auto layer = pf::Layer::make();
  layer->setName(name);
  return layer;
}

std::shared_ptr<pf::Layer> BorderVFXParts::dot(double size, const pf::Color& color) {
  auto layer = pf::Layer::make();
  layer->setBounds(pf::Rect(0, 0, size, size));
  layer->setCornerRadius(size / 2);
  layer->setBackgroundColor(color);
  return layer;
}

std::shared_ptr<pf::ShapeLayer> BorderVFXParts::stroke(const pf::Path& path, const pf::Color& color, double width) {
  auto layer = pf::ShapeLayer::make();
  layer->setPath(path);
  layer->setFillColor(std::nullopt);
  layer->setStrokeColor(color);
  layer->setLineWidth(width);
  return layer;
}

std::shared_ptr<pf::ShapeLayer> BorderVFXParts::outline(const pf::Rect& rect, double grow, const pf::Color& color,
                                                        double width) {
  return stroke(pf::Path::roundedRect(rect.insetBy(-grow, -grow), 12, 12), color, width);
}

void BorderVFXParts::glow(pf::Layer& layer, const pf::Color& color, double opacity, double radius) {
  layer.setShadowColor(color);
  layer.setShadowOpacity(opacity);
  layer.setShadowRadius(radius);
  layer.setShadowOffset({0, 0});
}

std::shared_ptr<pf::BasicAnimation> BorderVFXParts::basic(const QString& keyPath, pf::AnimationValue from,
                                                          pf::AnimationValue to) {
  auto animation = std::make_shared<pf::BasicAnimation>(keyPath);
  animation->fromValue = std::move(from);
  animation->toValue = std::move(to);
  return animation;
}

std::shared_ptr<pf::KeyframeAnimation> BorderVFXParts::keyframes(const QString& keyPath,
                                                                 std::vector<pf::AnimationValue> values,
                                                                 std::vector<double> keyTimes) {
  auto animation = std::make_shared<pf::KeyframeAnimation>(keyPath);
  animation->values = std::move(values);
  animation->keyTimes = std::move(keyTimes);
  return animation;
}

std::shared_ptr<pf::AnimationGroup> BorderVFXParts::group(std::vector<std::shared_ptr<pf::Animation>> members) {
  auto animation = std::make_shared<pf::AnimationGroup>();
  animation->animations = std::move(members);
  return animation;
}

void BorderVFXParts::repeatForever(pf::Animation& animation, double duration, double phase) {
  animation.duration = duration;
  animation.repeatCount = pf::Animation::repeatForever;
  animation.timeOffset = phase * duration;
}

void BorderVFXParts::easeForever(pf::Animation& animation, double duration, double phase) {
  repeatForever(animation, duration, phase);
  animation.timingFunction = pf::TimingFunction::easeInEaseOut();
}

void BorderVFXParts::breatheForever(pf::Animation& animation, double duration, double phase) {
  easeForever(animation, duration, phase);
  animation.autoreverses = true;
}

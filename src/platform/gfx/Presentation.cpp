#include "platform/gfx/Presentation.h"

#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/KeyframeEvaluation.h"
#include "platform/gfx/ShapeLayer.h"

#include <cmath>
#include <utility>

namespace pf {

namespace {

enum class Property {
  position,
  positionX,
  positionY,
  anchorPoint,
  bounds,
  opacity,
  scale,
  scaleX,
  scaleY,
  rotation,
  translation,
  translationX,
  translationY,
  backgroundColor,
  cornerRadius,
  shadowColor,
  shadowOpacity,
  shadowRadius,
  path,
  fillColor,
  strokeColor,
  lineWidth,
  strokeStart,
  strokeEnd,
};

std::optional<Property> propertyFor(const QString& keyPath) {
  // Looked up for every animation of every layer on every frame: a scan that
  // rejects by length costs far less than hashing the key path.
  static constexpr std::pair<QLatin1StringView, Property> table[]{
      {QLatin1StringView("position"), Property::position},
      {QLatin1StringView("position.x"), Property::positionX},
      {QLatin1StringView("position.y"), Property::positionY},
      {QLatin1StringView("anchorPoint"), Property::anchorPoint},
      {QLatin1StringView("bounds"), Property::bounds},
      {QLatin1StringView("opacity"), Property::opacity},
      {QLatin1StringView("transform.scale"), Property::scale},
      {QLatin1StringView("transform.scale.x"), Property::scaleX},
      {QLatin1StringView("transform.scale.y"), Property::scaleY},
      {QLatin1StringView("transform.rotation"), Property::rotation},
      {QLatin1StringView("transform.rotation.z"), Property::rotation},
      {QLatin1StringView("transform.translation"), Property::translation},
      {QLatin1StringView("transform.translation.x"), Property::translationX},
      {QLatin1StringView("transform.translation.y"), Property::translationY},
      {QLatin1StringView("backgroundColor"), Property::backgroundColor},
      {QLatin1StringView("cornerRadius"), Property::cornerRadius},
      {QLatin1StringView("shadowColor"), Property::shadowColor},
      {QLatin1StringView("shadowOpacity"), Property::shadowOpacity},
      {QLatin1StringView("shadowRadius"), Property::shadowRadius},
      {QLatin1StringView("path"), Property::path},
      {QLatin1StringView("fillColor"), Property::fillColor},
      {QLatin1StringView("strokeColor"), Property::strokeColor},
      {QLatin1StringView("lineWidth"), Property::lineWidth},
      {QLatin1StringView("strokeStart"), Property::strokeStart},
      {QLatin1StringView("strokeEnd"), Property::strokeEnd},
  };
  for (const auto& [name, property] : table) {
    if (keyPath.size() == name.size() && keyPath == name) return property;
  }
  return std::nullopt;
}

const Color clearColor = Color::calibratedRGB(0, 0, 0, 0);

AnimationValue colorValue(const std::optional<Color>& c) { return c.value_or(clearColor); }

AnimationValue get(const LayerPresentation& s, Property p) {
  switch (p) {
    case Property::position: return s.position;
    case Property::positionX: return s.position.x;
    case Property::positionY: return s.position.y;
    case Property::anchorPoint: return s.anchorPoint;
    case Property::bounds: return s.bounds;
    case Property::opacity: return s.opacity;
    case Property::scale: return (s.transform.scaleX + s.transform.scaleY) / 2;
    case Property::scaleX: return s.transform.scaleX;
    case Property::scaleY: return s.transform.scaleY;
    case Property::rotation: return s.transform.rotation;
    case Property::translation: return Point{s.transform.translationX, s.transform.translationY};
    case Property::translationX: return s.transform.translationX;
    case Property::translationY: return s.transform.translationY;
    case Property::backgroundColor: return colorValue(s.backgroundColor);
    case Property::cornerRadius: return s.cornerRadius;
    case Property::shadowColor: return colorValue(s.shadowColor);
    case Property::shadowOpacity: return s.shadowOpacity;
    case Property::shadowRadius: return s.shadowRadius;
    case Property::path: return s.path;
    case Property::fillColor: return colorValue(s.fillColor);
    case Property::strokeColor: return colorValue(s.strokeColor);
    case Property::lineWidth: return s.lineWidth;
    case Property::strokeStart: return s.strokeStart;
    case Property::strokeEnd: return s.strokeEnd;
  }
  return 0.0;
}

// Stores `v` when it is of the property's kind; anything else is ignored.
void set(LayerPresentation& s, Property p, const AnimationValue& v) {
  const double* d = std::get_if<double>(&v);
  const Point* pt = std::get_if<Point>(&v);
  const Color* c = std::get_if<Color>(&v);
  switch (p) {
    case Property::position:
      if (pt) s.position = *pt;
      break;
    case Property::positionX:
      if (d) s.position.x = *d;
      break;
    case Property::positionY:
      if (d) s.position.y = *d;
      break;
    case Property::anchorPoint:
      if (pt) s.anchorPoint = *pt;
      break;
    case Property::bounds:
      if (const Rect* r = std::get_if<Rect>(&v)) s.bounds = *r;
      break;
    case Property::opacity:
      if (d) s.opacity = *d;
      break;
    case Property::scale:
      if (d) s.transform.scaleX = s.transform.scaleY = *d;
      break;
    case Property::scaleX:
      if (d) s.transform.scaleX = *d;
      break;
    case Property::scaleY:
      if (d) s.transform.scaleY = *d;
      break;
    case Property::rotation:
      if (d) s.transform.rotation = *d;
      break;
    case Property::translation:
      if (pt) {
        s.transform.translationX = pt->x;
        s.transform.translationY = pt->y;
      }
      break;
    case Property::translationX:
      if (d) s.transform.translationX = *d;
      break;
    case Property::translationY:
      if (d) s.transform.translationY = *d;
      break;
    case Property::backgroundColor:
      if (c) s.backgroundColor = *c;
      break;
    case Property::cornerRadius:
      if (d) s.cornerRadius = *d;
      break;
    case Property::shadowColor:
      if (c) s.shadowColor = *c;
      break;
    case Property::shadowOpacity:
      if (d) s.shadowOpacity = *d;
      break;
    case Property::shadowRadius:
      if (d) s.shadowRadius = *d;
      break;
    case Property::path:
      if (const Path* path = std::get_if<Path>(&v)) s.path = *path;
      break;
    case Property::fillColor:
      if (c) s.fillColor = *c;
      break;
    case Property::strokeColor:
      if (c) s.strokeColor = *c;
      break;
    case Property::lineWidth:
      if (d) s.lineWidth = *d;
      break;
    case Property::strokeStart:
      if (d) s.strokeStart = *d;
      break;
    case Property::strokeEnd:
      if (d) s.strokeEnd = *d;
      break;
  }
}

// The two ends of a basic animation, from whichever of from, to and by are set.
std::pair<AnimationValue, AnimationValue> basicEnds(const BasicAnimation& a, const AnimationValue& current) {
  using namespace animation_values;
  const auto& from = a.fromValue;
  const auto& to = a.toValue;
  const auto& by = a.byValue;
  if (from && to) return {*from, *to};
  if (from && by) return {*from, sum(*from, *by).value_or(*from)};
  if (by && to) return {difference(*to, *by).value_or(*to), *to};
  if (from) return {*from, current};
  if (to) return {current, *to};
  if (by) return {current, sum(current, *by).value_or(current)};
  return {current, current};
}

void apply(const Animation& animation, double time, double inherited, LayerPresentation& state) {
  const auto progress = animation.progressAt(time, inherited);
  if (!progress) return;
  if (animation.kind() == Animation::Kind::group) {
    const auto& group = static_cast<const AnimationGroup&>(animation);
    const double d = group.passDuration(inherited);
    for (const auto& member : group.animations) {
      if (member) apply(*member, *progress * d, d, state);
    }
    return;
  }
  const auto& property = static_cast<const PropertyAnimation&>(animation);
  const auto p = propertyFor(property.keyPath);
  if (!p) return;
  const AnimationValue current = get(state, *p);
  if (animation.kind() == Animation::Kind::basic) {
    const auto [from, to] = basicEnds(static_cast<const BasicAnimation&>(animation), current);
    set(state, *p, animation_values::interpolate(from, to, *progress));
    return;
  }
  if (auto v = keyframeValue(static_cast<const KeyframeAnimation&>(animation), *progress)) set(state, *p, *v);
}

// True for key paths that change what a layer draws itself ("path",
// "strokeEnd", colours, "bounds"...), false for placement and opacity.
bool drawsContent(const QString& keyPath) {
  const auto p = propertyFor(keyPath);
  if (!p) return false;
  switch (*p) {
    case Property::position:
    case Property::positionX:
    case Property::positionY:
    case Property::anchorPoint:
    case Property::opacity:
    case Property::scale:
    case Property::scaleX:
    case Property::scaleY:
    case Property::rotation:
    case Property::translation:
    case Property::translationX:
    case Property::translationY: return false;
    default: return true;
  }
}

template <typename Test>
bool touches(const Animation& animation, const Test& test) {
  if (animation.kind() == Animation::Kind::group) {
    const auto& members = static_cast<const AnimationGroup&>(animation).animations;
    return std::any_of(members.begin(), members.end(),
                       [&](const std::shared_ptr<Animation>& m) { return m && touches(*m, test); });
  }
  return test(static_cast<const PropertyAnimation&>(animation).keyPath);
}

template <typename Test>
bool anyAnimationTouches(const Layer& layer, const Test& test) {
  const auto& entries = layer.animations();
  return std::any_of(entries.begin(), entries.end(),
                     [&](const Layer::AnimationEntry& e) { return touches(*e.animation, test); });
}

}  // namespace

LayerPresentation modelPresentation(const Layer& layer) {
  LayerPresentation s;
  s.bounds = layer.bounds();
  s.position = layer.position();
  s.anchorPoint = layer.anchorPoint();
  s.transform = layer.transform();
  s.opacity = layer.opacity();
  s.backgroundColor = layer.backgroundColor();
  s.cornerRadius = layer.cornerRadius();
  s.shadowColor = layer.shadowColor();
  s.shadowOpacity = layer.shadowOpacity();
  s.shadowRadius = layer.shadowRadius();
  s.shadowOffset = layer.shadowOffset();
  if (layer.kind() == Layer::Kind::shape) {
    const auto& shape = static_cast<const ShapeLayer&>(layer);
    s.path = shape.path();
    s.fillColor = shape.fillColor();
    s.strokeColor = shape.strokeColor();
    s.lineWidth = shape.lineWidth();
    s.strokeStart = shape.strokeStart();
    s.strokeEnd = shape.strokeEnd();
  }
  return s;
}

LayerPresentation presentation(const Layer& layer, double t) {
  return presentation(layer, t, modelPresentation(layer));
}

LayerPresentation presentation(const Layer& layer, double t, LayerPresentation model) {
  for (const auto& entry : layer.animations()) apply(*entry.animation, t - entry.addedAt, 0, model);
  return model;
}

std::optional<AnimationValue> presentationValue(const Layer& layer, const QString& keyPath, double t) {
  const auto p = propertyFor(keyPath);
  if (!p) return std::nullopt;
  return get(presentation(layer, t), *p);
}

bool hasRunningAnimations(const Layer& layer, double t) {
  for (const auto& entry : layer.animations()) {
    const auto& a = *entry.animation;
    if (t - entry.addedAt <= a.beginTime + a.activeDuration(0)) return true;
  }
  return false;
}

bool isContentKeyPath(const QString& keyPath) { return drawsContent(keyPath); }

bool animatesContent(const Layer& layer) { return anyAnimationTouches(layer, drawsContent); }

bool animatesContentIn(const Animation& animation) { return touches(animation, drawsContent); }

bool animatesKeyPath(const Layer& layer, const QString& keyPath) {
  return anyAnimationTouches(layer, [&](const QString& path) { return path == keyPath; });
}

}  // namespace pf

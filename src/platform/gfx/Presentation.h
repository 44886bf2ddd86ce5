#pragma once

#include "platform/gfx/Layer.h"

#include <optional>

namespace pf {

/// What a layer shows at one moment: its own values with its running
/// animations applied (in the order they were added, group members in order,
/// a later animation of a property winning). Shape values are the model's
/// for other kinds of layer.
struct LayerPresentation {
  Rect bounds;
  Point position;
  Point anchorPoint;
  Transform transform;
  double opacity = 1;
  std::optional<Color> backgroundColor;
  double cornerRadius = 0;
  std::optional<Color> shadowColor;
  double shadowOpacity = 0;
  double shadowRadius = 0;
  Size shadowOffset;
  Path path;
  std::optional<Color> fillColor;
  std::optional<Color> strokeColor;
  double lineWidth = 1;
  double strokeStart = 0;
  double strokeEnd = 1;
};

/// The layer's own values, without animations.
LayerPresentation modelPresentation(const Layer& layer);

/// The layer at time `t` on the AnimationClock's time base.
LayerPresentation presentation(const Layer& layer, double t);
/// The same, from its model values already worked out.
LayerPresentation presentation(const Layer& layer, double t, LayerPresentation model);

/// One animatable property at time `t`, by key path: "position" (and ".x", ".y"),
/// "anchorPoint", "bounds", "opacity", "transform.scale" (and ".x", ".y"),
/// "transform.rotation" (also ".z"), "transform.translation" (and ".x", ".y"),
/// "backgroundColor", "cornerRadius", "shadowColor", "shadowOpacity",
/// "shadowRadius", "path", "fillColor", "strokeColor", "lineWidth",
/// "strokeStart", "strokeEnd". None for any other key path.
std::optional<AnimationValue> presentationValue(const Layer& layer, const QString& keyPath, double t);

/// True while some animation of the layer has not finished at `t` (running,
/// or waiting for its begin time). Endless animations never finish.
bool hasRunningAnimations(const Layer& layer, double t);

/// True when an animation of the layer (or a group member) changes something
/// the layer draws itself, rather than where or how opaque it is drawn.
bool animatesContent(const Layer& layer);

/// True when `keyPath` names something a layer draws itself ("path", "strokeEnd", colours...).
bool isContentKeyPath(const QString& keyPath);

/// True when the animation (or one of its members) changes something a layer draws itself.
bool animatesContentIn(const Animation& animation);

/// True when an animation of the layer (or a group member) animates exactly `keyPath`.
bool animatesKeyPath(const Layer& layer, const QString& keyPath);

}  // namespace pf

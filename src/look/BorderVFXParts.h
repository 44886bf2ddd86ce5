#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Animation.h"
#include "platform/gfx/ShapeLayer.h"

#include <QString>
#include <memory>
#include <vector>

/// Building blocks every border effect uses: element counts held to their
/// limits (the skins' textures count with it too), places around the window,
/// the dots, strokes and glows the effects are drawn with, and the animations
/// that repeat forever with a phase.
///
/// Edges are numbered 0 top (maxY), 1 bottom, 2 left, 3 right.
class BorderVFXParts final {
 public:
  BorderVFXParts() = delete;

  /// clamp(trunc(x), low, high), held in floating point before the
  /// conversion, so a NaN (which counts as `low`) or a huge value from odd
  /// geometry or tuning cannot overflow the integer.
  static int count(double x, int low, int high);

  /// The length of `edge`: the width for the top and bottom, the height for the sides.
  static double side(const pf::Rect& rect, int edge);
  /// The point `along` an edge and `out` away from the window, the edges
  /// running clockwise: left to right above, right to left below, upward on
  /// the left and downward on the right.
  static pf::Point around(const pf::Rect& rect, int edge, double along, double out);

  /// A colour that shows nothing, where a gradient fades out.
  static pf::Color clear();
  /// A plain layer with `name`, which draws nothing itself.
  static std::shared_ptr<pf::Layer> named(const QString& name);
  /// A round dot `size` points across, filled with `color`.
  static std::shared_ptr<pf::Layer> dot(double size, const pf::Color& color);
  /// A shape layer stroking `path` with `color`, `width` points wide, filling nothing.
  static std::shared_ptr<pf::ShapeLayer> stroke(const pf::Path& path, const pf::Color& color, double width);
  /// A stroke of `color`, `width` wide, round the window `grow` points outside it, with corners of radius 12.
  static std::shared_ptr<pf::ShapeLayer> outline(const pf::Rect& rect, double grow, const pf::Color& color,
                                                 double width);
  /// Gives `layer` a glow: a shadow of `color` all around it (no offset).
  static void glow(pf::Layer& layer, const pf::Color& color, double opacity, double radius);

  /// A basic animation of `keyPath` from `from` to `to`.
  static std::shared_ptr<pf::BasicAnimation> basic(const QString& keyPath, pf::AnimationValue from,
                                                   pf::AnimationValue to);
  /// A linear keyframe animation of `keyPath` through `values`, at `keyTimes`
  /// (evenly spaced when empty).
  static std::shared_ptr<pf::KeyframeAnimation> keyframes(const QString& keyPath,
                                                          std::vector<pf::AnimationValue> values,
                                                          std::vector<double> keyTimes = {});
  /// A group of `members`, each spanning the group's duration.
  static std::shared_ptr<pf::AnimationGroup> group(std::vector<std::shared_ptr<pf::Animation>> members);

  /// Makes `animation` repeat forever, `duration` seconds a pass, starting
  /// `phase` passes in (like elements then do not move in step).
  static void repeatForever(pf::Animation& animation, double duration, double phase);
  /// Like `repeatForever`, each pass easing in and out.
  static void easeForever(pf::Animation& animation, double duration, double phase);
  /// Like `easeForever`, each pass going there and back.
  static void breatheForever(pf::Animation& animation, double duration, double phase);
};

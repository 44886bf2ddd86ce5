#pragma once

#include "platform/core/Geometry.h"

#include <QString>
#include <vector>

class QWidget;

namespace pf {
class Layer;
}

/// Soft smoke drifting around pieces of content (cards, rows, buttons) while
/// the chosen border effect is smoke. Views call `update` from their drawing
/// with the rectangles they want wreathed; it keeps one layer named
/// "quibContentSmoke" on the view's own layer, rebuilt only when the
/// rectangles or the reduce-motion setting changed, so a redraw with nothing
/// changed costs one string comparison.
class QuibContentSmoke final {
 public:
  QuibContentSmoke() = delete;

  /// The smoke layer's name.
  static inline const QString layerName = QStringLiteral("quibContentSmoke");
  /// The key under which the smoke layer records what it was built for.
  static inline const QString geometryKey = QStringLiteral("geometry");

  /// Wreathes `rects` (in the view's y-up coordinates) in smoke while the
  /// effect is smoke, and takes the smoke away otherwise.
  static void update(QWidget* view, const std::vector<pf::Rect>& rects);
  /// The same on a layer that stands for a view of `bounds`.
  static void update(pf::Layer& viewLayer, const pf::Rect& bounds, const std::vector<pf::Rect>& rects);
};

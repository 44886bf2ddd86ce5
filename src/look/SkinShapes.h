#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Path.h"

#include <initializer_list>
#include <vector>

namespace pf {
class Canvas;
struct Gradient;
}  // namespace pf

/// Shapes and small drawing steps shared by the skin surfaces and frames.
class SkinShapes final {
 public:
  SkinShapes() = delete;

  /// `rect` shrunk by `d` on every side; when nothing would be left it
  /// collapses to its centre, so textures still find a place to start.
  static pf::Rect inset(const pf::Rect& rect, double d);

  static pf::Path line(pf::Point from, pf::Point to);
  static pf::Path polyline(const std::vector<pf::Point>& points);
  static pf::Path polygon(const std::vector<pf::Point>& points);
  static pf::Path oval(const pf::Rect& rect);
  static pf::Path circle(pf::Point centre, double radius);
  static pf::Path roundedRect(const pf::Rect& rect, double radius);
  /// The even-odd ring between `outer` and `inner`.
  static pf::Path band(const pf::Path& outer, const pf::Path& inner);

  /// Evenly spaced stops of the given colours.
  static pf::Gradient gradient(std::initializer_list<pf::Color> colors);
  /// `color` blended `fraction` toward black.
  static pf::Color darkened(const pf::Color& color, double fraction);

  /// Fills `path` with `color` and strokes it in `edge` at `width`.
  static void fillAndStroke(pf::Canvas& canvas, const pf::Path& path, const pf::Color& color, const pf::Color& edge,
                            double width);
  /// A screw head: a filled and outlined circle with a horizontal slot.
  static void screw(pf::Canvas& canvas, pf::Point centre, double diameter, double edgeWidth);
};

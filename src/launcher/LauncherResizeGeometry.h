#pragma once

#include "platform/core/Geometry.h"

#include <QtGlobal>
#include <array>

/// The geometry of resizing the borderless launcher panel: which edges a
/// point grabs, the frame a drag gives, and where the outer handles lie.
class LauncherResizeGeometry final {
 public:
  LauncherResizeGeometry() = delete;

  /// A set of panel edges; a corner is one horizontal and one vertical edge.
  struct Edges {
    static constexpr qint64 left = 1;
    static constexpr qint64 right = 2;
    static constexpr qint64 bottom = 4;
    static constexpr qint64 top = 8;

    qint64 rawValue = 0;

    bool contains(qint64 edge) const { return (rawValue & edge) == edge; }
    bool isEmpty() const { return rawValue == 0; }
    bool horizontal() const { return rawValue & (left | right); }
    bool vertical() const { return rawValue & (bottom | top); }
    bool operator==(const Edges&) const = default;
  };

  /// The zone width along an edge.
  static constexpr double edgeWidth = 10;
  /// The zone width near a corner.
  static constexpr double cornerWidth = 18;
  /// How far outside the panel an edge can still be grabbed: the outer handles' width.
  static constexpr double reach = 12;

  /// The edges grabbed at `point` of `rect` (same coordinates): within 10 of
  /// an edge, or 18 of both a side and the bottom or top; nothing farther than
  /// `reach` outside. Left beats right and bottom beats top.
  static Edges edges(pf::Point point, const pf::Rect& rect);

  /// The frame after dragging `edges` of `frame` by `delta`: each moved side
  /// stops at `area`'s edge and where the size would drop below `minimum`;
  /// the opposite sides never move.
  static pf::Rect draggedFrame(const pf::Rect& frame, pf::Point delta, Edges edges, pf::Size minimum,
                               const pf::Rect& area);

  /// The four outer handle frames around a panel frame, in the order left,
  /// right, bottom, top; the bottom and top strips reach over the corners.
  static std::array<pf::Rect, 4> outerFrames(const pf::Rect& frame);
};

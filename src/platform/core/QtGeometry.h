#pragma once

#include "platform/core/Geometry.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

namespace pf {

/// The one place where Qt's top-left, y-down coordinates meet our y-up ones.
///
/// Screen coordinates put the origin at the primary screen's bottom-left
/// corner: a rect's y-up origin is `primaryTop - yDown - height`, where
/// `primaryTop` is the primary screen's bottom edge in Qt's coordinates.
/// Child frames are relative to their parent: `yDown = parentHeight - y - height`.
class ScreenSpace final {
 public:
  /// A space whose origin is the bottom-left corner of `primaryGeometry`
  /// (the primary screen's geometry in Qt's global coordinates).
  explicit ScreenSpace(const QRectF& primaryGeometry);

  Rect toYUp(const QRectF& qtRect) const;
  QRectF toQt(const Rect& rect) const;
  Point toYUp(const QPointF& qtPoint) const;
  QPointF toQt(Point point) const;

 private:
  double m_left = 0;
  double m_primaryTop = 0;
};

/// Converts a child's frame between its parent's y-up space and Qt's.
Rect childFrameToYUp(const QRectF& qtFrame, double parentHeight);
QRectF childFrameToQt(const Rect& frame, double parentHeight);

/// Whole pixels for a frame, rounding each edge so that adjacent frames stay adjacent.
QRect roundedRect(const QRectF& rect);
/// A child frame placed in whole pixels: what a widget's geometry takes.
QRect childFrameToQtPixels(const Rect& frame, double parentHeight);

inline Size toSize(const QSizeF& s) { return {s.width(), s.height()}; }
inline QSizeF toQSize(Size s) { return {s.width, s.height}; }

}  // namespace pf

#pragma once

#include "platform/core/Geometry.h"
#include "platform/core/QtGeometry.h"

#include <QPoint>
#include <QRect>

class QScreen;
class QWidget;

namespace pf {

/// The screens in y-up coordinates, with the origin at the primary screen's
/// bottom-left corner.
class Screens final {
 public:
  /// The conversion for the current primary screen.
  static ScreenSpace space();

  /// The screen that holds the key window elsewhere; here the primary screen.
  static QScreen* main();
  /// The screen a window is on, or the main screen when it has none.
  static QScreen* of(const QWidget* window);
  /// The screen whose frame shares the most area with `frame`, or none.
  static QScreen* containing(const Rect& frame);

  static Rect frame(const QScreen* screen);
  /// The frame less the desktop's panels and docks.
  static Rect visibleFrame(const QScreen* screen);

  static Rect toYUp(const QRect& qtRect);
  static QRect toQt(const Rect& rect);
  static Point toYUp(const QPoint& qtPoint);
  static QPoint toQt(Point point);
};

}  // namespace pf

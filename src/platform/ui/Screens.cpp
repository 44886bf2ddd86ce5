#include "platform/ui/Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace pf {

ScreenSpace Screens::space() {
  const QScreen* primary = main();
  return ScreenSpace(primary ? QRectF(primary->geometry()) : QRectF());
}

QScreen* Screens::main() { return QGuiApplication::primaryScreen(); }

QScreen* Screens::of(const QWidget* window) {
  QScreen* screen = window ? window->screen() : nullptr;
  return screen ? screen : main();
}

QScreen* Screens::containing(const Rect& frame) {
  QScreen* best = nullptr;
  double bestArea = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const Rect overlap = Screens::frame(screen).intersection(frame);
    const double area = overlap.isNull() ? 0 : overlap.width() * overlap.height();
    if (area > bestArea) {
      best = screen;
      bestArea = area;
    }
  }
  return best;
}

Rect Screens::frame(const QScreen* screen) { return screen ? toYUp(screen->geometry()) : Rect(); }

Rect Screens::visibleFrame(const QScreen* screen) { return screen ? toYUp(screen->availableGeometry()) : Rect(); }

Rect Screens::toYUp(const QRect& qtRect) { return space().toYUp(QRectF(qtRect)); }

QRect Screens::toQt(const Rect& rect) { return roundedRect(space().toQt(rect)); }

Point Screens::toYUp(const QPoint& qtPoint) { return space().toYUp(QPointF(qtPoint)); }

QPoint Screens::toQt(Point point) { return space().toQt(point).toPoint(); }

}  // namespace pf

#include "platform/core/QtGeometry.h"

#include <cmath>

namespace pf {

ScreenSpace::ScreenSpace(const QRectF& primaryGeometry)
    : m_left(primaryGeometry.x()), m_primaryTop(primaryGeometry.y() + primaryGeometry.height()) {}

Rect ScreenSpace::toYUp(const QRectF& r) const {
  return Rect(r.x() - m_left, m_primaryTop - r.y() - r.height(), r.width(), r.height());
}

QRectF ScreenSpace::toQt(const Rect& rect) const {
  const Rect r = rect.standardized();
  return QRectF(r.origin.x + m_left, m_primaryTop - r.origin.y - r.size.height, r.size.width, r.size.height);
}

Point ScreenSpace::toYUp(const QPointF& p) const { return {p.x() - m_left, m_primaryTop - p.y()}; }

QPointF ScreenSpace::toQt(Point p) const { return {p.x + m_left, m_primaryTop - p.y}; }

Rect childFrameToYUp(const QRectF& f, double parentHeight) {
  return Rect(f.x(), parentHeight - f.y() - f.height(), f.width(), f.height());
}

QRectF childFrameToQt(const Rect& frame, double parentHeight) {
  const Rect r = frame.standardized();
  return QRectF(r.origin.x, parentHeight - r.origin.y - r.size.height, r.size.width, r.size.height);
}

QRect roundedRect(const QRectF& r) {
  const int left = int(std::lround(r.left()));
  const int top = int(std::lround(r.top()));
  const int right = int(std::lround(r.left() + r.width()));
  const int bottom = int(std::lround(r.top() + r.height()));
  return QRect(left, top, right - left, bottom - top);
}

QRect childFrameToQtPixels(const Rect& frame, double parentHeight) {
  return roundedRect(childFrameToQt(frame, parentHeight));
}

}  // namespace pf

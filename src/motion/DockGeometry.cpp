#include "motion/DockGeometry.h"

std::vector<pf::Rect> DockGeometry::frames(const pf::Rect& screenFrame, const pf::Rect& visibleFrame) {
  const double height = visibleFrame.minY() - screenFrame.minY();
  if (height <= 0 || screenFrame.isEmpty()) return {};
  return {pf::Rect(screenFrame.minX(), screenFrame.minY(), screenFrame.width(), height)};
}

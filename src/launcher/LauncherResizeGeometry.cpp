#include "launcher/LauncherResizeGeometry.h"

#include <algorithm>

using Edges = LauncherResizeGeometry::Edges;

Edges LauncherResizeGeometry::edges(pf::Point point, const pf::Rect& rect) {
  if (!rect.insetBy(-reach, -reach).contains(point)) return {};
  const double dl = point.x - rect.minX();
  const double dr = rect.maxX() - point.x;
  const double db = point.y - rect.minY();
  const double dt = rect.maxY() - point.y;
  const bool nearCorner = std::min(dl, dr) <= cornerWidth && std::min(db, dt) <= cornerWidth;
  const double width = nearCorner ? cornerWidth : edgeWidth;
  qint64 raw = 0;
  if (dl <= width)
    raw |= Edges::left;
  else if (dr <= width)
    raw |= Edges::right;
  if (db <= width)
    raw |= Edges::bottom;
  else if (dt <= width)
    raw |= Edges::top;
  return {raw};
}

pf::Rect LauncherResizeGeometry::draggedFrame(const pf::Rect& frame, pf::Point delta, Edges edges, pf::Size minimum,
                                              const pf::Rect& area) {
  double minX = frame.minX();
  double maxX = frame.maxX();
  double minY = frame.minY();
  double maxY = frame.maxY();
  if (edges.contains(Edges::left))
    minX = std::min(std::max(area.minX(), frame.minX() + delta.x), frame.maxX() - minimum.width);
  if (edges.contains(Edges::right))
    maxX = std::max(minX + minimum.width, std::min(area.maxX(), frame.maxX() + delta.x));
  if (edges.contains(Edges::bottom))
    minY = std::min(std::max(area.minY(), frame.minY() + delta.y), frame.maxY() - minimum.height);
  if (edges.contains(Edges::top)) maxY = std::max(minY + minimum.height, std::min(area.maxY(), frame.maxY() + delta.y));
  return {minX, minY, maxX - minX, maxY - minY};
}

std::array<pf::Rect, 4> LauncherResizeGeometry::outerFrames(const pf::Rect& f) {
  return {{
      {f.minX() - reach, f.minY(), reach, f.height()},
      {f.maxX(), f.minY(), reach, f.height()},
      {f.minX() - reach, f.minY() - reach, f.width() + 2 * reach, reach},
      {f.minX() - reach, f.maxY(), f.width() + 2 * reach, reach},
  }};
}

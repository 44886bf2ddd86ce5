#include "platform/gfx/DamageTiles.h"

#include <algorithm>

namespace pf {

QRegion mergeIntoTiles(const std::vector<QRect>& rects, const QRect& bounds, int tile) {
  constexpr std::size_t fewRects = 16;
  if (rects.size() <= fewRects) {
    QRegion region;
    for (const QRect& r : rects) region += r.intersected(bounds);
    return region;
  }
  const int columns = (bounds.width() + tile - 1) / tile;
  const int rows = (bounds.height() + tile - 1) / tile;
  if (columns <= 0 || rows <= 0) return {};
  std::vector<char> marked(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
  for (const QRect& r : rects) {
    const QRect c = r.intersected(bounds);
    if (c.isEmpty()) continue;
    const int x0 = (c.left() - bounds.left()) / tile, x1 = (c.right() - bounds.left()) / tile;
    const int y0 = (c.top() - bounds.top()) / tile, y1 = (c.bottom() - bounds.top()) / tile;
    for (int y = y0; y <= y1; ++y) {
      std::fill_n(marked.begin() + y * columns + x0, x1 - x0 + 1, 1);
    }
  }
  // Runs of marked tiles per row, rows in order: already the banded form QRegion keeps.
  std::vector<QRect> runs;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns;) {
      if (!marked[static_cast<std::size_t>(y * columns + x)]) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < columns && marked[static_cast<std::size_t>(y * columns + x)]) ++x;
      runs.push_back(
          QRect(bounds.left() + start * tile, bounds.top() + y * tile, (x - start) * tile, tile).intersected(bounds));
    }
  }
  QRegion region;
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

}  // namespace pf

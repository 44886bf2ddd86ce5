#include "platform/gfx/DamageTiles.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pf {

namespace {

// What a rect of damage is worth, in pixels. Every rect is a clip, and a
// blend call for each item under it; smoke and fire, whose wisps lie many to
// a rect, cost the program less with a rect fewer as long as that adds fewer
// than about 900 pixels. Rows are joined and gaps closed up to that.
constexpr long rectPixels = 900;

using Runs = std::vector<std::pair<int, int>>;  // [first, end) columns of tiles

// Runs of marked tiles in one row of them.
void runsOf(const char* line, int columns, Runs& runs) {
  runs.clear();
  for (int x = 0; x < columns;) {
    const void* found = std::memchr(line + x, 1, static_cast<std::size_t>(columns - x));
    if (!found) return;
    x = static_cast<int>(static_cast<const char*>(found) - line);
    const int start = x;
    while (x < columns && line[x]) ++x;
    runs.emplace_back(start, x);
  }
}

// The runs of `a` and `b` together, for a band `height` pixels tall: gaps that
// cost less than a rect closed.
void unite(const Runs& a, const Runs& b, int tileWidth, int height, Runs& out) {
  out.clear();
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const bool fromA = j == b.size() || (i < a.size() && a[i].first <= b[j].first);
    const auto& run = fromA ? a[i++] : b[j++];
    if (!out.empty() && static_cast<long>(run.first - out.back().second) * tileWidth * height < rectPixels) {
      out.back().second = std::max(out.back().second, run.second);
    } else {
      out.push_back(run);
    }
  }
}

long columnsIn(const Runs& runs) {
  long n = 0;
  for (const auto& [first, end] : runs) n += end - first;
  return n;
}

}  // namespace

QRegion mergeIntoTiles(const std::vector<QRect>& rects, const QRect& bounds, QSize tile) {
  constexpr std::size_t fewRects = 16;
  if (rects.size() <= fewRects) {
    QRegion region;
    for (const QRect& r : rects) region += r.intersected(bounds);
    return region;
  }
  const int tw = tile.width(), th = tile.height();
  const int columns = (bounds.width() + tw - 1) / tw;
  const int rows = (bounds.height() + th - 1) / th;
  if (columns <= 0 || rows <= 0) return {};
  std::vector<char> marked(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
  // Clamped by hand rather than intersected: items bring hundreds of rects a frame.
  for (const QRect& r : rects) {
    const int left = std::max(r.left(), bounds.left()), right = std::min(r.right(), bounds.right());
    const int top = std::max(r.top(), bounds.top()), bottom = std::min(r.bottom(), bounds.bottom());
    if (left > right || top > bottom) continue;
    const int x0 = (left - bounds.left()) / tw, x1 = (right - bounds.left()) / tw;
    for (int y = (top - bounds.top()) / th; y <= (bottom - bounds.top()) / th; ++y) {
      std::fill_n(marked.data() + static_cast<std::ptrdiff_t>(y) * columns + x0, x1 - x0 + 1, 1);
    }
  }
  // Rows of tiles are gathered into bands top down, each band one set of
  // runs all down it: already the banded form QRegion keeps. A row joins the
  // band above when the pixels that adds cost less than the rects a band of
  // its own would bring.
  std::vector<QRect> out;
  Runs band, row, joined;
  int bandTop = 0, bandRows = 0;
  const auto close = [&] {
    for (const auto& [first, end] : band) {
      out.push_back(QRect(bounds.left() + first * tw, bounds.top() + bandTop * th, (end - first) * tw, bandRows * th)
                        .intersected(bounds));
    }
    band.clear();
  };
  for (int y = 0; y < rows; ++y) {
    runsOf(marked.data() + static_cast<std::ptrdiff_t>(y) * columns, columns, row);
    if (row.empty()) {
      close();
      continue;
    }
    if (!band.empty()) {
      const int height = (bandRows + 1) * th;
      unite(band, row, tw, height, joined);
      const long apart = (columnsIn(band) * bandRows + columnsIn(row)) * tw * th +
                         rectPixels * static_cast<long>(band.size() + row.size());
      const long together = columnsIn(joined) * tw * height + rectPixels * static_cast<long>(joined.size());
      if (together <= apart) {
        std::swap(band, joined);
        ++bandRows;
        continue;
      }
      close();
    }
    // A band of its own, its narrow gaps closed.
    unite(row, {}, tw, th, band);
    bandTop = y;
    bandRows = 1;
  }
  close();
  QRegion region;
  region.setRects(out.data(), static_cast<int>(out.size()));
  return region;
}

}  // namespace pf

#include "launcher/LauncherGrid.h"

#include <cmath>

namespace {

/// A count from a quotient of lengths, kept between `least` and the grid's
/// maximum; a quotient that is not a number counts as `least`.
qint64 boundedCount(double quotient, qint64 least) {
  const double whole = std::floor(quotient);
  if (!(whole >= double(least))) return least;
  if (whole >= double(LauncherGrid::maximumCount)) return LauncherGrid::maximumCount;
  return qint64(whole);
}

}  // namespace

double LauncherGrid::margin() const { return std::floor(scale * 18); }

double LauncherGrid::header() const { return std::floor(scale * 64); }

double LauncherGrid::footer() const { return std::floor(scale * 52); }

pf::Size LauncherGrid::cell() const { return {std::floor(scale * 110), std::floor(scale * 78)}; }

pf::Size LauncherGrid::gap() const { return {std::floor(scale * 8), std::floor(scale * 10)}; }

pf::Size LauncherGrid::wideCell() const { return {2 * cell().width + gap().width, std::floor(scale * 50)}; }

pf::Size LauncherGrid::size() const {
  const pf::Size c = cell(), g = gap(), w = wideCell();
  return {2 * margin() + double(columns) * w.width + double(columns - 1) * g.width,
          header() + double(rows) * (c.height + g.height) + 2 * w.height + g.height + footer()};
}

pf::Rect LauncherGrid::frame(qint64 index, pf::Size contentSize) const {
  const pf::Size c = cell(), g = gap();
  if (!isWide(index)) {
    const qint64 row = index / (2 * columns), column = index % (2 * columns);
    return {margin() + double(column) * (c.width + g.width),
            contentSize.height - header() - c.height - double(row) * (c.height + g.height), c.width, c.height};
  }
  const pf::Size w = wideCell();
  const qint64 k = index - compactCapacity();
  const qint64 row = k / columns, column = k % columns;
  return {margin() + double(column) * (w.width + g.width),
          contentSize.height - header() - double(rows) * (c.height + g.height) - w.height -
              double(row) * (w.height + g.height),
          w.width, w.height};
}

LauncherGrid LauncherGrid::standard(double scale) { return {2, 2, scale}; }

pf::Size LauncherGrid::minimum(double scale) { return LauncherGrid{2, 1, scale}.size(); }

LauncherGrid LauncherGrid::fitting(pf::Size contentSize, double scale) {
  const LauncherGrid empty{2, 0, scale};
  const pf::Size c = empty.cell(), g = empty.gap();
  const double columns = (contentSize.width - 2 * empty.margin() + g.width) / (2 * c.width + 2 * g.width);
  const double rows = (contentSize.height - empty.size().height) / (c.height + g.height);
  return {boundedCount(columns, 2), boundedCount(rows, 1), scale};
}

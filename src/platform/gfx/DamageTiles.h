#pragma once

#include <QRect>
#include <QRegion>
#include <vector>

namespace pf {

/// The area covered by `rects`, within `bounds`. A few rects are kept as
/// they are; many are merged onto a grid of `tile`-pixel squares, so the
/// region stays small however many layers changed.
QRegion mergeIntoTiles(const std::vector<QRect>& rects, const QRect& bounds, int tile = 32);

}  // namespace pf

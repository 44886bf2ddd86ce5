#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>
#include <vector>

namespace pf {

/// An area covering `rects`, within `bounds`. A few rects are kept as they
/// are; many are merged onto a grid of `tile`s, whose rows are joined into
/// bands, and gaps closed, where the rects saved are worth more than the
/// pixels added: the region stays a few dozen rects however many layers
/// changed, and follows their outline closer than coarse tiles would. Tiles
/// are narrow, to follow the sides of what changed, and twice as tall, as
/// every row a rect crosses is marked.
QRegion mergeIntoTiles(const std::vector<QRect>& rects, const QRect& bounds, QSize tile = QSize(8, 16));

}  // namespace pf

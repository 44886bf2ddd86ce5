#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <cstddef>

namespace pf {

/// The shadow of `content` (premultiplied ARGB32): its alpha moved by `offset`
/// device pixels, blurred with a Gaussian of `sigma` pixels (three box passes)
/// and tinted with `color`. Same size as `content`.
QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color);

/// The same shadow, for content likely to be shadowed again with the same
/// alpha (an outline given a new colour, one panel in several windows): the
/// last few blurs are kept, and one whose content had this alpha, size, offset
/// and sigma is only tinted again. Not worth it for content that changes every frame.
QImage reusedShadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color);
/// The memory the blurs kept by `reusedShadowImage` hold, in bytes; never above 8 MiB.
std::size_t keptShadowBytes();

}  // namespace pf

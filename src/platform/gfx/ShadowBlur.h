#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

namespace pf {

/// The shadow of `content` (premultiplied ARGB32): its alpha moved by `offset`
/// device pixels, blurred with a Gaussian of `sigma` pixels (three box passes)
/// and tinted with `color`. Same size as `content`.
QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color);

}  // namespace pf

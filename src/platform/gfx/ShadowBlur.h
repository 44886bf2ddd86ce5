#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <array>

namespace pf {

/// The shadow of `content` (premultiplied ARGB32): its alpha moved by `offset`
/// device pixels, blurred with a Gaussian of `sigma` pixels (three box passes)
/// and tinted with `color`. Same size as `content`.
QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color);

/// Box sizes whose three passes together approximate a Gaussian of `sigma`.
std::array<int, 3> gaussianBoxSizes(double sigma);

}  // namespace pf

#pragma once

#include "platform/gfx/Path.h"

#include <QPainterPath>

namespace pf {

/// The same path for QPainter, coordinates unchanged (still y up: the painter's
/// transform does the flip).
QPainterPath toQPainterPath(const Path& path, FillRule rule = FillRule::nonZero);
/// The pen styles that draw a stroke's ends and corners.
Qt::PenCapStyle penCapStyle(LineCap cap);
Qt::PenJoinStyle penJoinStyle(LineJoin join);

}  // namespace pf

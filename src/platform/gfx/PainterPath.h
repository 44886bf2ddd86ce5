#pragma once

#include "platform/gfx/Path.h"

#include <QPainterPath>

namespace pf {

/// The same path for QPainter, coordinates unchanged (still y up: the painter's
/// transform does the flip).
QPainterPath toQPainterPath(const Path& path, Qt::FillRule rule = Qt::WindingFill);

}  // namespace pf

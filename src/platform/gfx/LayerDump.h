#pragma once

#include "platform/gfx/Layer.h"

#include <QString>

namespace pf {

/// A canonical text of a layer tree: every property that differs from its
/// default, the values, the mask, each animation under its key (with its
/// members) and the sublayers in order, one line each, indented by depth.
/// Equal trees give equal texts, so tests can compare two builds, and a
/// failing comparison shows where they differ. Images appear by size and a
/// hash of their pixels; numbers with ten significant digits.
QString dump(const Layer& layer);

}  // namespace pf

#pragma once

#include "platform/core/Color.h"

#include <QColor>
#include <optional>

namespace pf {

/// Red, green, blue and alpha in [0, 1], not premultiplied.
struct Rgba {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 0;
  bool operator==(const Rgba&) const = default;
};

/// The fixed value of a named system colour ("systemBlue", "labelColor",
/// "white", "clear", ...); none for an unknown name.
///
/// The platform the look was designed on resolves these per appearance. We
/// fix one value each, the dark-appearance ones, because every window of the
/// program draws on a dark or translucent surface and the look's repaint swaps
/// colours by exact equality, which needs one constant per name. The table in
/// SystemColors.cpp is the only place these numbers live.
std::optional<Rgba> systemColor(const QString& name);

/// The colour's components: calibrated RGB and sRGB are taken as sRGB, a
/// calibrated white as a grey, a system colour from the table with its alpha
/// multiplied by the colour's own. Components are held to [0, 1] (NaN reads as
/// 0); an unknown system name resolves to clear, so it draws nothing.
Rgba resolved(const Color& color);

/// The colour to paint with.
QColor toQColor(const Color& color);

}  // namespace pf

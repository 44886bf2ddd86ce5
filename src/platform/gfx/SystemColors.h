#pragma once

#include "platform/core/Appearance.h"
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

/// The value of a named system colour ("systemBlue", "labelColor", "white",
/// "clear", ...) in `appearance`; none for an unknown name.
///
/// The platform the look was designed on resolves every name per appearance.
/// We fix the hues to one value each, the dark-appearance ones: the look's
/// palette is built from them, its layers are drawn without knowing any
/// window, and a repaint swaps colours by exact equality. Only the label
/// colours, which exist to be read on the window behind them, are dark ink in
/// the light appearance; ours are darker than the original platform's, so
/// that secondary text still reads on the palest glass. The tables in
/// SystemColors.cpp are the only place these numbers live.
std::optional<Rgba> systemColor(const QString& name, Appearance appearance = Appearance::dark);

/// The colour's components in `appearance`: calibrated RGB and sRGB are taken
/// as sRGB, a calibrated white as a grey, a system colour from the table with
/// its alpha multiplied by the colour's own. Components are held to [0, 1]
/// (NaN reads as 0); an unknown system name resolves to clear, so it draws nothing.
Rgba resolved(const Color& color, Appearance appearance = Appearance::dark);

/// The colour to paint with in `appearance`.
QColor toQColor(const Color& color, Appearance appearance = Appearance::dark);

}  // namespace pf

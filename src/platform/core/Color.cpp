#include "platform/core/Color.h"

namespace pf {

Color Color::calibratedRGB(double r, double g, double b, double a) {
  return Color{Space::calibratedRGB, r, g, b, a, {}};
}

Color Color::calibratedWhite(double white, double a) { return Color{Space::calibratedWhite, white, 0, 0, a, {}}; }

Color Color::sRGB(double r, double g, double b, double a) { return Color{Space::sRGB, r, g, b, a, {}}; }

Color Color::system(const QString& name, double a) { return Color{Space::system, 0, 0, 0, a, name}; }

Color Color::withAlpha(double a) const {
  Color c = *this;
  c.alpha = a;
  return c;
}

}  // namespace pf

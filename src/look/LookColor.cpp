#include "look/LookColor.h"

#include "platform/gfx/SystemColors.h"

using pf::Color;

Color LookColor::white() { return Color::system(QStringLiteral("white")); }
Color LookColor::black() { return Color::system(QStringLiteral("black")); }
Color LookColor::cyan() { return Color::system(QStringLiteral("cyan")); }
Color LookColor::darkGray() { return Color::system(QStringLiteral("darkGray")); }
Color LookColor::systemBlue() { return Color::system(QStringLiteral("systemBlue")); }
Color LookColor::systemOrange() { return Color::system(QStringLiteral("systemOrange")); }
Color LookColor::systemPurple() { return Color::system(QStringLiteral("systemPurple")); }

Color LookColor::blended(const Color& color, double fraction, const Color& toward) {
  const pf::Rgba a = pf::resolved(color);
  const pf::Rgba b = pf::resolved(toward);
  const auto mix = [fraction](double x, double y) { return (1 - fraction) * x + fraction * y; };
  return Color::calibratedRGB(mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue), mix(a.alpha, b.alpha));
}

#include "platform/gfx/Contrast.h"

#include <algorithm>
#include <cmath>

namespace pf {
namespace {

double linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

Rgba opaque(const Rgba& c) { return {c.red, c.green, c.blue, 1}; }

Rgba mixed(const Rgba& from, const Rgba& to, double f) {
  return {from.red + (to.red - from.red) * f, from.green + (to.green - from.green) * f,
          from.blue + (to.blue - from.blue) * f, 1};
}

}  // namespace

double Contrast::luminance(const Rgba& c) {
  return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double Contrast::ratio(const Rgba& a, const Rgba& b) {
  // The list form returns values: the pair form would refer to the two temporaries.
  const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
  return (light + 0.05) / (dark + 0.05);
}

Rgba Contrast::over(const Rgba& top, const Rgba& bottom) {
  const double alpha = top.alpha + bottom.alpha * (1 - top.alpha);
  if (alpha <= 0) return {};
  const auto channel = [&](double t, double b) { return (t * top.alpha + b * bottom.alpha * (1 - top.alpha)) / alpha; };
  return {channel(top.red, bottom.red), channel(top.green, bottom.green), channel(top.blue, bottom.blue), alpha};
}

Rgba Contrast::legibleFace(const Rgba& face, const Rgba& ink, double minimum) {
  constexpr int steps = 20;
  const Rgba toward = luminance(ink) < luminance(face) ? Rgba{1, 1, 1, 1} : Rgba{0, 0, 0, 1};
  // The last step, `toward` itself, is what is left when no earlier one reads.
  for (int step = 0; step < steps; ++step) {
    const Rgba candidate = mixed(opaque(face), toward, double(step) / steps);
    if (ratio(candidate, ink) >= minimum) return candidate;
  }
  return toward;
}

}  // namespace pf

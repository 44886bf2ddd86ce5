#include "platform/gfx/SystemColors.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pf {

namespace {

struct NamedColor {
  const char* name;
  Rgba value;
};

constexpr Rgba rgb8(int r, int g, int b, double a = 1) { return {r / 255.0, g / 255.0, b / 255.0, a}; }
constexpr Rgba white(double w, double a = 1) { return {w, w, w, a}; }

// Dark-appearance values (see the header for why one value per name).
constexpr std::array<NamedColor, 28> darkTable{{
    {"systemBlue", rgb8(10, 132, 255)},
    {"systemBrown", rgb8(172, 142, 104)},
    {"systemCyan", rgb8(100, 210, 255)},
    {"systemGray", rgb8(142, 142, 147)},
    {"systemGreen", rgb8(48, 209, 88)},
    {"systemIndigo", rgb8(94, 92, 230)},
    {"systemMint", rgb8(102, 212, 207)},
    {"systemOrange", rgb8(255, 159, 10)},
    {"systemPink", rgb8(255, 55, 95)},
    {"systemPurple", rgb8(191, 90, 242)},
    {"systemRed", rgb8(255, 69, 58)},
    {"systemTeal", rgb8(64, 200, 224)},
    {"systemYellow", rgb8(255, 214, 10)},
    {"labelColor", white(1, 0.85)},
    {"secondaryLabelColor", white(1, 0.55)},
    {"tertiaryLabelColor", white(1, 0.25)},
    {"black", white(0)},
    {"blue", {0, 0, 1, 1}},
    {"brown", {0.6, 0.4, 0.2, 1}},
    {"clear", white(0, 0)},
    {"cyan", {0, 1, 1, 1}},
    {"darkGray", white(1.0 / 3.0)},
    {"gray", white(0.5)},
    {"green", {0, 1, 0, 1}},
    {"lightGray", white(2.0 / 3.0)},
    {"magenta", {1, 0, 1, 1}},
    {"orange", {1, 0.5, 0, 1}},
    {"white", white(1)},
}};

// The label colours on light windows: secondary ink at 0.6 reaches 4.5:1 on
// the palest glass, where the original platform's 0.5 stays near 4.
constexpr std::array<NamedColor, 3> lightLabels{{
    {"labelColor", white(0, 0.85)},
    {"secondaryLabelColor", white(0, 0.6)},
    {"tertiaryLabelColor", white(0, 0.3)},
}};

template <std::size_t N>
std::optional<Rgba> find(const std::array<NamedColor, N>& table, const QString& name) {
  const auto it = std::find_if(table.begin(), table.end(),
                               [&](const NamedColor& c) { return name == QLatin1String(c.name); });
  if (it == table.end()) return std::nullopt;
  return it->value;
}

}  // namespace

std::optional<Rgba> systemColor(const QString& name, Appearance appearance) {
  if (appearance == Appearance::light) {
    if (const auto label = find(lightLabels, name)) return label;
  }
  return find(darkTable, name);
}

Rgba resolved(const Color& color, Appearance appearance) {
  Rgba c;
  switch (color.space) {
    case Color::Space::calibratedRGB:
    case Color::Space::sRGB:
      c = {color.red, color.green, color.blue, color.alpha};
      break;
    case Color::Space::calibratedWhite:
      c = {color.red, color.red, color.red, color.alpha};
      break;
    case Color::Space::system:
      c = systemColor(color.name, appearance).value_or(Rgba{});
      c.alpha *= color.alpha;
      break;
  }
  return {unitInterval(c.red), unitInterval(c.green), unitInterval(c.blue), unitInterval(c.alpha)};
}

QColor toQColor(const Color& color, Appearance appearance) {
  const Rgba c = resolved(color, appearance);
  return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                          static_cast<float>(c.blue), static_cast<float>(c.alpha));
}

}  // namespace pf

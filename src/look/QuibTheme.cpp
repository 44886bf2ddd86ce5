#include "look/QuibTheme.h"

#include "look/LookColor.h"
#include "look/LookDefaults.h"
#include "look/QuibSkin.h"
#include "platform/core/DefaultsCoding.h"

#include <algorithm>
#include <cmath>

using pf::Color;

namespace {

Color rgb(double r, double g, double b, double a) { return Color::calibratedRGB(r, g, b, a); }
Color white(double w, double a) { return Color::calibratedWhite(w, a); }

/// The fixed colours of one accent family; `custom` derives its own from the custom accent.
struct FamilyColors {
  Color accent;
  Color highlight;
  Color card;
  Color secondary;
};

FamilyColors familyColors(QuibColorTheme family) {
  switch (family) {
    case QuibColorTheme::blue:
      return {LookColor::systemBlue(), LookColor::cyan(), rgb(0.055, 0.12, 0.23, 0.94), rgb(0.6, 0.72, 1.0, 1.0)};
    case QuibColorTheme::orange:
      return {LookColor::systemOrange(), LookColor::systemOrange(), rgb(0.25, 0.12, 0.045, 0.94),
              rgb(1.0, 0.74, 0.46, 1.0)};
    case QuibColorTheme::pink:
      return {rgb(1.0, 0.22, 0.62, 1.0), rgb(1.0, 0.43, 0.76, 1.0), rgb(0.25, 0.065, 0.17, 0.94),
              rgb(1.0, 0.65, 0.83, 1.0)};
    case QuibColorTheme::green:
      return {rgb(0.12, 0.82, 0.42, 1.0), rgb(0.35, 1.0, 0.64, 1.0), rgb(0.035, 0.22, 0.13, 0.94),
              rgb(0.6, 0.94, 0.74, 1.0)};
    case QuibColorTheme::purple:
      return {rgb(0.65, 0.32, 1.0, 1.0), rgb(0.82, 0.58, 1.0, 1.0), rgb(0.17, 0.075, 0.29, 0.94),
              rgb(0.81, 0.71, 1.0, 1.0)};
    case QuibColorTheme::yellow:
      return {rgb(0.86, 0.66, 0.06, 1.0), rgb(1.0, 0.9, 0.32, 1.0), rgb(0.24, 0.2, 0.045, 0.94),
              rgb(1.0, 0.91, 0.62, 1.0)};
    case QuibColorTheme::custom: {
      const Color accent = QuibTheme::customColor(false);
      return {accent, LookColor::blended(accent, 0.2, LookColor::white()),
              LookColor::blended(accent, 0.78, LookColor::black()).withAlpha(0.94),
              LookColor::blended(accent, 0.55, LookColor::white())};
    }
  }
  return familyColors(QuibColorTheme::blue);
}

/// The window background with the glass tints that go with it on a dark skin.
struct BackgroundColors {
  Color navy;
  Color glass;
  Color decoration;
};

BackgroundColors backgroundColors(QuibBackground background) {
  switch (background) {
    case QuibBackground::navy:
      return {rgb(0.075, 0.095, 0.17, 1.0), rgb(0.025, 0.045, 0.12, 0.76), rgb(0.025, 0.04, 0.105, 0.88)};
    case QuibBackground::grey: return {white(0.12, 1.0), white(0.08, 0.76), white(0.08, 0.88)};
    case QuibBackground::darkGrey: return {white(0.035, 1.0), white(0.015, 0.94), white(0.015, 0.96)};
    case QuibBackground::deepPurple:
      return {rgb(0.105, 0.045, 0.17, 1.0), rgb(0.075, 0.025, 0.13, 0.9), rgb(0.075, 0.025, 0.13, 0.94)};
    case QuibBackground::sageGreen:
      return {rgb(0.19, 0.24, 0.19, 1.0), rgb(0.15, 0.2, 0.15, 0.9), rgb(0.15, 0.2, 0.15, 0.94)};
    case QuibBackground::custom: {
      const Color navy = QuibTheme::customColor(true);
      return {navy, navy.withAlpha(0.9), navy.withAlpha(0.94)};
    }
  }
  return backgroundColors(QuibBackground::navy);
}

/// One stored custom component: a finite number from 0 to 1 (negative zero passes).
bool validComponent(const QVariant& value) {
  if (!pf::DefaultsCoding::isNumber(value)) return false;
  const double v = value.toDouble();
  return std::isfinite(v) && v >= 0.0 && v <= 1.0;
}

}  // namespace

QuibColorTheme QuibTheme::current() { return LookDefaults::choice<QuibColorTheme>(preferenceKey); }

QuibBackground QuibTheme::background() { return LookDefaults::choice<QuibBackground>(backgroundKey); }

bool QuibTheme::trimOnly() { return pf::UserDefaults::standard().boolValue(trimKey); }

bool QuibTheme::yellow() { return current() == QuibColorTheme::yellow; }
bool QuibTheme::purple() { return current() == QuibColorTheme::purple; }
bool QuibTheme::green() { return current() == QuibColorTheme::green; }
bool QuibTheme::pink() { return current() == QuibColorTheme::pink; }
bool QuibTheme::orange() { return current() == QuibColorTheme::orange; }

Color QuibTheme::text() { return QuibSkin::isLight() ? rgb(0.025, 0.065, 0.25, 1.0) : LookColor::white(); }

Color QuibTheme::navy() {
  return QuibSkin::isLight() ? rgb(0.88, 0.94, 1.0, 1.0) : backgroundColors(background()).navy;
}

Color QuibTheme::card() {
  const QuibSkin skin = QuibSkin::current();
  if (skin == QuibSkin::unicornPrincess) return rgb(0.96, 0.92, 0.99, 1.0);
  if (QuibSkin::isLight()) return rgb(0.83, 0.92, 1.0, 0.98);
  if (trimOnly()) return LookColor::blended(white(0.035, 1.0), 0.055, LookColor::white());
  return familyColors(current()).card;
}

Color QuibTheme::border() { return accent().withAlpha(0.6); }

Color QuibTheme::accent() { return familyColors(current()).accent; }

Color QuibTheme::highlight() {
  const FamilyColors colors = familyColors(current());
  return QuibSkin::isLight() ? colors.accent : colors.highlight;
}

Color QuibTheme::secondary() {
  if (QuibSkin::isLight()) return rgb(0.22, 0.31, 0.48, 1.0);
  if (trimOnly()) return white(0.76, 1.0);
  return familyColors(current()).secondary;
}

Color QuibTheme::glass() {
  return QuibSkin::isLight() ? rgb(0.85, 0.93, 1.0, 0.96) : backgroundColors(background()).glass;
}

Color QuibTheme::decoration() {
  return QuibSkin::isLight() ? rgb(0.88, 0.95, 1.0, 0.98) : backgroundColors(background()).decoration;
}

Color QuibTheme::selection() { return highlight().withAlpha(0.12); }

QuibTheme::Palette QuibTheme::palette() {
  return {navy(), card(), border(), accent(), highlight(), secondary(), text()};
}

Color QuibTheme::substituted(const Color& color, const Palette& old, const Palette& now) {
  const auto at = std::find(old.begin(), old.end(), color);
  return at == old.end() ? color : now[static_cast<size_t>(at - old.begin())];
}

std::optional<Color> QuibTheme::substituted(const std::optional<Color>& color, const Palette& old, const Palette& now) {
  if (!color) return std::nullopt;
  return substituted(*color, old, now);
}

Color QuibTheme::customColor(bool background) {
  const std::optional<QVariantList> stored = pf::UserDefaults::standard().array(
      background ? QStringLiteral("customBackgroundRGB") : QStringLiteral("customAccentRGB"));
  if (stored && stored->size() == 3 && std::all_of(stored->begin(), stored->end(), validComponent)) {
    return Color::sRGB((*stored)[0].toDouble(), (*stored)[1].toDouble(), (*stored)[2].toDouble(), 1.0);
  }
  return background ? rgb(0.075, 0.095, 0.17, 1.0) : LookColor::systemBlue();
}

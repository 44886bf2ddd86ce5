#include "look/LookFixture.h"
#include "look/QuibTheme.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using pf::Color;

namespace {

Color rgb(double r, double g, double b, double a) { return Color::calibratedRGB(r, g, b, a); }
Color white(double w, double a) { return Color::calibratedWhite(w, a); }
Color named(const char* name, double a = 1) { return Color::system(name, a); }

/// Same colour space and components within rounding of the blend.
void expectNear(const Color& actual, const Color& expected) {
  EXPECT_EQ(actual.space, expected.space);
  EXPECT_NEAR(actual.red, expected.red, 1e-12);
  EXPECT_NEAR(actual.green, expected.green, 1e-12);
  EXPECT_NEAR(actual.blue, expected.blue, 1e-12);
  EXPECT_NEAR(actual.alpha, expected.alpha, 1e-12);
}

struct FamilyRow {
  const char* raw;
  Color accent;
  Color highlight;
  Color card;
  Color secondary;
};

struct BackgroundRow {
  const char* raw;
  Color navy;
  Color glass;
  Color decoration;
};

}  // namespace

class ThemeChoices : public LookFixture {};

TEST_F(ThemeChoices, MissingEmptyOrUnknownStringsGiveTheDefaults) {
  EXPECT_EQ(QuibTheme::current(), QuibColorTheme::blue);
  EXPECT_EQ(QuibTheme::background(), QuibBackground::navy);
  EXPECT_FALSE(QuibTheme::trimOnly());
  for (const QVariant& bad : {QVariant(QString()), QVariant("Purple"), QVariant(qint64(3)), QVariant(true),
                              QVariant(QVariantList{"green"})}) {
    store("colorTheme", bad);
    store("backgroundTheme", bad);
    EXPECT_EQ(QuibTheme::current(), QuibColorTheme::blue) << bad.toString().toStdString();
    EXPECT_EQ(QuibTheme::background(), QuibBackground::navy);
  }
}

TEST_F(ThemeChoices, BackgroundsReadTheirOlderSpellings) {
  store("backgroundTheme", "darkGrey");
  EXPECT_EQ(QuibTheme::background(), QuibBackground::grey);
  EXPECT_EQ(QuibTheme::navy(), white(0.12, 1.0));
  store("backgroundTheme", "deepGrey");
  EXPECT_EQ(QuibTheme::background(), QuibBackground::darkGrey);
  EXPECT_EQ(QuibTheme::navy(), white(0.035, 1.0));
  store("backgroundTheme", "grey");
  EXPECT_EQ(QuibTheme::background(), QuibBackground::navy);
}

TEST_F(ThemeChoices, AreReadAfreshOnEveryUse) {
  store("colorTheme", "green");
  EXPECT_TRUE(QuibTheme::green());
  EXPECT_EQ(QuibTheme::accent(), rgb(0.12, 0.82, 0.42, 1.0));
  store("colorTheme", "pink");
  EXPECT_TRUE(QuibTheme::pink());
  EXPECT_EQ(QuibTheme::accent(), rgb(1.0, 0.22, 0.62, 1.0));
  store("accentTrimOnly", true);
  EXPECT_TRUE(QuibTheme::trimOnly());
  pf::UserDefaults::standard().remove("accentTrimOnly");
  EXPECT_FALSE(QuibTheme::trimOnly());
}

TEST_F(ThemeChoices, FamilyFlagsAndKeys) {
  const auto flags = [] {
    return std::array<bool, 5>{QuibTheme::yellow(), QuibTheme::purple(), QuibTheme::green(), QuibTheme::pink(),
                               QuibTheme::orange()};
  };
  EXPECT_EQ(flags(), (std::array<bool, 5>{false, false, false, false, false}));
  store("colorTheme", "yellow");
  EXPECT_EQ(flags(), (std::array<bool, 5>{true, false, false, false, false}));
  store("colorTheme", "orange");
  EXPECT_EQ(flags(), (std::array<bool, 5>{false, false, false, false, true}));
  EXPECT_EQ(QuibTheme::preferenceKey, "colorTheme");
  EXPECT_EQ(QuibTheme::backgroundKey, "backgroundTheme");
  EXPECT_EQ(QuibTheme::trimKey, "accentTrimOnly");
}

class Palette : public LookFixture {};

TEST_F(Palette, WithNothingStored) {
  EXPECT_EQ(QuibTheme::accent(), named("systemBlue"));
  EXPECT_EQ(QuibTheme::highlight(), named("cyan"));
  EXPECT_EQ(QuibTheme::navy(), rgb(0.075, 0.095, 0.17, 1.0));
  EXPECT_EQ(QuibTheme::card(), rgb(0.055, 0.12, 0.23, 0.94));
  EXPECT_EQ(QuibTheme::secondary(), rgb(0.6, 0.72, 1.0, 1.0));
  EXPECT_EQ(QuibTheme::text(), named("white"));
  EXPECT_EQ(QuibTheme::border(), named("systemBlue", 0.6));
  EXPECT_EQ(QuibTheme::selection(), named("cyan", 0.12));
  EXPECT_EQ(QuibTheme::glass(), rgb(0.025, 0.045, 0.12, 0.76));
  EXPECT_EQ(QuibTheme::decoration(), rgb(0.025, 0.04, 0.105, 0.88));
}

TEST_F(Palette, EachFamilyOnADarkSkin) {
  const FamilyRow rows[] = {
      {"blue", named("systemBlue"), named("cyan"), rgb(0.055, 0.12, 0.23, 0.94), rgb(0.6, 0.72, 1.0, 1.0)},
      {"orange", named("systemOrange"), named("systemOrange"), rgb(0.25, 0.12, 0.045, 0.94), rgb(1.0, 0.74, 0.46, 1.0)},
      {"pink", rgb(1.0, 0.22, 0.62, 1.0), rgb(1.0, 0.43, 0.76, 1.0), rgb(0.25, 0.065, 0.17, 0.94),
       rgb(1.0, 0.65, 0.83, 1.0)},
      {"green", rgb(0.12, 0.82, 0.42, 1.0), rgb(0.35, 1.0, 0.64, 1.0), rgb(0.035, 0.22, 0.13, 0.94),
       rgb(0.6, 0.94, 0.74, 1.0)},
      {"purple", rgb(0.65, 0.32, 1.0, 1.0), rgb(0.82, 0.58, 1.0, 1.0), rgb(0.17, 0.075, 0.29, 0.94),
       rgb(0.81, 0.71, 1.0, 1.0)},
      {"yellow", rgb(0.86, 0.66, 0.06, 1.0), rgb(1.0, 0.9, 0.32, 1.0), rgb(0.24, 0.2, 0.045, 0.94),
       rgb(1.0, 0.91, 0.62, 1.0)},
  };
  for (const char* skin : {"classic", "steampunk", "robotLab"}) {
    store("visualSkin", skin);
    for (const FamilyRow& row : rows) {
      SCOPED_TRACE(std::string(skin) + " " + row.raw);
      store("colorTheme", row.raw);
      EXPECT_EQ(QuibTheme::accent(), row.accent);
      EXPECT_EQ(QuibTheme::highlight(), row.highlight);
      EXPECT_EQ(QuibTheme::card(), row.card);
      EXPECT_EQ(QuibTheme::secondary(), row.secondary);
      EXPECT_EQ(QuibTheme::border(), row.accent.withAlpha(0.6));
      EXPECT_EQ(QuibTheme::selection(), row.highlight.withAlpha(0.12));
      EXPECT_EQ(QuibTheme::text(), named("white"));
    }
  }
}

TEST_F(Palette, EachBackgroundOnADarkSkin) {
  store("customBackgroundRGB", QVariantList{0.2, 0.3, 0.4});
  const Color custom = Color::sRGB(0.2, 0.3, 0.4, 1.0);
  const BackgroundRow rows[] = {
      {"navy", rgb(0.075, 0.095, 0.17, 1.0), rgb(0.025, 0.045, 0.12, 0.76), rgb(0.025, 0.04, 0.105, 0.88)},
      {"darkGrey", white(0.12, 1.0), white(0.08, 0.76), white(0.08, 0.88)},
      {"deepGrey", white(0.035, 1.0), white(0.015, 0.94), white(0.015, 0.96)},
      {"deepPurple", rgb(0.105, 0.045, 0.17, 1.0), rgb(0.075, 0.025, 0.13, 0.9), rgb(0.075, 0.025, 0.13, 0.94)},
      {"sageGreen", rgb(0.19, 0.24, 0.19, 1.0), rgb(0.15, 0.2, 0.15, 0.9), rgb(0.15, 0.2, 0.15, 0.94)},
      {"custom", custom, custom.withAlpha(0.9), custom.withAlpha(0.94)},
  };
  for (const BackgroundRow& row : rows) {
    SCOPED_TRACE(row.raw);
    store("backgroundTheme", row.raw);
    EXPECT_EQ(QuibTheme::navy(), row.navy);
    EXPECT_EQ(QuibTheme::glass(), row.glass);
    EXPECT_EQ(QuibTheme::decoration(), row.decoration);
  }
}

TEST_F(Palette, LightSkinsOverrideWhateverTheChoices) {
  store("colorTheme", "pink");
  store("backgroundTheme", "sageGreen");
  store("accentTrimOnly", true);
  store("visualSkin", "pearlSpace");
  EXPECT_EQ(QuibTheme::text(), rgb(0.025, 0.065, 0.25, 1.0));
  EXPECT_EQ(QuibTheme::navy(), rgb(0.88, 0.94, 1.0, 1.0));
  EXPECT_EQ(QuibTheme::card(), rgb(0.83, 0.92, 1.0, 0.98));
  EXPECT_EQ(QuibTheme::highlight(), QuibTheme::accent());
  EXPECT_EQ(QuibTheme::accent(), rgb(1.0, 0.22, 0.62, 1.0));
  EXPECT_EQ(QuibTheme::secondary(), rgb(0.22, 0.31, 0.48, 1.0));
  EXPECT_EQ(QuibTheme::glass(), rgb(0.85, 0.93, 1.0, 0.96));
  EXPECT_EQ(QuibTheme::decoration(), rgb(0.88, 0.95, 1.0, 0.98));
  store("colorTheme", "blue");
  EXPECT_EQ(QuibTheme::highlight(), named("systemBlue"));

  store("visualSkin", "unicornPrincess");
  EXPECT_EQ(QuibTheme::card(), rgb(0.96, 0.92, 0.99, 1.0));
  EXPECT_EQ(QuibTheme::highlight(), named("systemBlue"));
  EXPECT_EQ(QuibTheme::secondary(), rgb(0.22, 0.31, 0.48, 1.0));
}

TEST_F(Palette, TrimOnlyChangesCardAndSecondaryOnDarkSkinsOnly) {
  store("accentTrimOnly", true);
  for (const QuibColorTheme family : QuibColorTheme::allCases()) {
    SCOPED_TRACE(family.rawValue().toStdString());
    store("colorTheme", family.rawValue());
    // White 0.035 blended 0.055 toward white, in calibrated RGB.
    const double grey = 0.945 * 0.035 + 0.055;
    expectNear(QuibTheme::card(), rgb(grey, grey, grey, 1.0));
    EXPECT_EQ(QuibTheme::secondary(), white(0.76, 1.0));
  }
  store("colorTheme", "green");
  EXPECT_EQ(QuibTheme::accent(), rgb(0.12, 0.82, 0.42, 1.0));
  EXPECT_EQ(QuibTheme::highlight(), rgb(0.35, 1.0, 0.64, 1.0));
  store("visualSkin", "pearlSpace");
  EXPECT_EQ(QuibTheme::card(), rgb(0.83, 0.92, 1.0, 0.98));
  EXPECT_EQ(QuibTheme::secondary(), rgb(0.22, 0.31, 0.48, 1.0));
}

TEST_F(Palette, CustomAccentDerivesItsFamily) {
  store("colorTheme", "custom");
  store("customAccentRGB", QVariantList{qint64(1), qint64(0), qint64(0)});
  EXPECT_EQ(QuibTheme::accent(), Color::sRGB(1, 0, 0, 1));
  expectNear(QuibTheme::highlight(), rgb(1.0, 0.2, 0.2, 1.0));
  expectNear(QuibTheme::secondary(), rgb(1.0, 0.55, 0.55, 1.0));
  expectNear(QuibTheme::card(), rgb(0.22, 0.0, 0.0, 0.94));
  EXPECT_EQ(QuibTheme::border(), Color::sRGB(1, 0, 0, 0.6));
  EXPECT_EQ(QuibTheme::customColor(false), Color::sRGB(1, 0, 0, 1));
}

TEST_F(Palette, MalformedCustomColoursFallBack) {
  store("colorTheme", "custom");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const QVariant bad[] = {
      QVariantList{1, 0},
      QVariantList{1.2, 0, 0},
      QVariantList{"1", 0, 0},
      QVariantList{true, 0, 0},
      QVariantList{nan, 0, 0},
      QVariantList{0, inf, 0},
      QVariantList{-0.01, 0, 0},
      QVariantList{0, 0, 0, 1},
      QVariant("red"),
      QVariant(QVariantMap{{"r", 1}}),
      QVariantList{QVariantList{1}, 0, 0},
  };
  for (const QVariant& value : bad) {
    store("customAccentRGB", value);
    store("customBackgroundRGB", value);
    EXPECT_EQ(QuibTheme::accent(), named("systemBlue")) << value.toString().toStdString();
    EXPECT_EQ(QuibTheme::customColor(true), rgb(0.075, 0.095, 0.17, 1.0));
  }
  store("customAccentRGB", QVariantList{-0.0, 1.0, 0.5});
  EXPECT_EQ(QuibTheme::accent(), Color::sRGB(0, 1, 0.5, 1));
  pf::UserDefaults::standard().remove("customBackgroundRGB");
  EXPECT_EQ(QuibTheme::customColor(true), rgb(0.075, 0.095, 0.17, 1.0));
}

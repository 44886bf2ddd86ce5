#include "look/BorderVFXConfiguration.h"
#include "look/LookFixture.h"
#include "look/QuibBackground.h"
#include "look/QuibBorderEffect.h"
#include "look/QuibBorderVFX.h"
#include "look/QuibColorTheme.h"
#include "look/QuibSkin.h"
#include "support/RawChoiceChecks.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(LookChoices, EveryChoiceRoundTripsThroughItsRawValueAndHasItsOwnTitle) {
  test::expectRawValuesRoundTrip<QuibColorTheme>(true);
  test::expectRawValuesRoundTrip<QuibBackground>(true);
  test::expectRawValuesRoundTrip<QuibSkin>(true);
  test::expectRawValuesRoundTrip<QuibBorderEffect>(true);
}

TEST(LookChoices, BackgroundsKeepTheirOlderStoredNames) {
  EXPECT_EQ(QuibBackground::fromRawValue("darkGrey"), QuibBackground::grey);
  EXPECT_EQ(QuibBackground::fromRawValue("deepGrey"), QuibBackground::darkGrey);
  EXPECT_EQ(QuibBackground::fromRawValue("grey"), std::nullopt);
}

TEST(BorderNoise, MatchesTheHashAtSeveralSeeds) {
  // Reference values computed independently in double precision.
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(0), 0.819311730145273);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(1), 0.10468242550996365);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(54), 0.9625921857950743);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(-102), 0.771742517441453);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(-400), 0.3763858568490832);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(601), 0.006351005645683472);
  EXPECT_DOUBLE_EQ(QuibBorderVFX::noise(100000), 0.5379468612773053);
}

TEST(BorderNoise, StaysInUnitRangeAndRepeats) {
  for (int n = -5000; n <= 5000; ++n) {
    const double v = QuibBorderVFX::noise(n);
    ASSERT_GE(v, 0.0) << n;
    ASSERT_LT(v, 1.0) << n;
    ASSERT_EQ(v, QuibBorderVFX::noise(n)) << n;
  }
}

class StoredChoices : public LookFixture {};

TEST_F(StoredChoices, MissingEmptyOrUnknownSkinsAndEffectsGiveTheDefaults) {
  EXPECT_EQ(QuibSkin::current(), QuibSkin::classic);
  EXPECT_EQ(QuibBorderEffect::current(), QuibBorderEffect::none);
  for (const QVariant& bad : {QVariant(QString()), QVariant("Classic"), QVariant("Fire"), QVariant(qint64(3)),
                              QVariant(true), QVariant(QVariantList{"fire"})}) {
    store("visualSkin", bad);
    store("borderEffect", bad);
    EXPECT_EQ(QuibSkin::current(), QuibSkin::classic) << bad.toString().toStdString();
    EXPECT_EQ(QuibBorderEffect::current(), QuibBorderEffect::none);
  }
  store("visualSkin", "steampunk");
  EXPECT_EQ(QuibSkin::current(), QuibSkin::steampunk);
  store("borderEffect", "toxic");
  EXPECT_EQ(QuibBorderEffect::current(), QuibBorderEffect::toxic);
}

TEST_F(StoredChoices, LightSkinsTakeTheLightAppearance) {
  EXPECT_EQ(QuibSkin::appearance(), pf::Appearance::dark);
  EXPECT_FALSE(QuibSkin::isSpace());
  for (const QuibSkin skin : QuibSkin::allCases()) {
    store("visualSkin", skin.rawValue());
    const bool light = skin == QuibSkin::pearlSpace || skin == QuibSkin::unicornPrincess;
    EXPECT_EQ(QuibSkin::isLight(), light) << skin.rawValue().toStdString();
    EXPECT_EQ(QuibSkin::appearance(), light ? pf::Appearance::light : pf::Appearance::dark);
    EXPECT_EQ(QuibSkin::isSpace(), skin != QuibSkin::classic);
  }
}

class BorderTuning : public LookFixture {};

TEST_F(BorderTuning, DefaultsWhenNothingIsStored) {
  const BorderVFXConfiguration c = BorderVFXConfiguration::read(pf::UserDefaults::standard());
  EXPECT_EQ(c, (BorderVFXConfiguration{QuibBorderEffect::none, 0.95, 1.35, 0.8, 1.0}));
}

TEST_F(BorderTuning, ClampsNumbersAndIgnoresEverythingElse) {
  const auto speedFor = [](const QVariant& v) {
    store("borderVFXSpeed", v);
    return BorderVFXConfiguration::read(pf::UserDefaults::standard()).speed;
  };
  EXPECT_EQ(speedFor(qint64(5)), 2.0);
  EXPECT_EQ(speedFor(0.0), 0.2);
  EXPECT_EQ(speedFor(0.7), 0.7);
  EXPECT_EQ(speedFor("fast"), 1.0);
  EXPECT_EQ(speedFor(true), 1.0);
  EXPECT_EQ(speedFor(std::numeric_limits<double>::quiet_NaN()), 1.0);
  EXPECT_EQ(speedFor(std::numeric_limits<double>::infinity()), 1.0);

  store("borderVFXOpacity", qint64(-1));
  store("borderVFXIntensity", 7.5);
  store("borderVFXGlow", 0.25);
  const BorderVFXConfiguration c = BorderVFXConfiguration::read(pf::UserDefaults::standard());
  EXPECT_EQ(c.opacity, 0.0);
  EXPECT_EQ(c.intensity, 2.0);
  EXPECT_EQ(c.glow, 0.25);
}

TEST_F(BorderTuning, TakesTheEffectFromTheStandardDefaultsAndNumbersFromTheGivenOnes) {
  pf::UserDefaults& suite = pf::UserDefaults::suite("org.wendle.Wendle.companion.look");
  store("borderEffect", "plasma");
  store("borderVFXGlow", 0.1);
  suite.set("borderEffect", "snow");
  suite.set("borderVFXGlow", 0.6);
  const BorderVFXConfiguration c = BorderVFXConfiguration::read(suite);
  EXPECT_EQ(c.type, QuibBorderEffect::plasma);
  EXPECT_EQ(c.glow, 0.6);
}

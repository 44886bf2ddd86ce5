#include "character/CharacterSize.h"
#include "character/CharacterSkin.h"
#include "character/QuibAction.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "support/RawChoiceChecks.h"

#include <gtest/gtest.h>
#include <limits>

TEST(CharacterSkin, EveryCharacterRoundTripsThroughItsRawValue) {
  test::expectRawValuesRoundTrip<CharacterSkin>(true);
  for (const CharacterSkin skin : CharacterSkin::allCases())
    EXPECT_EQ(skin.isSelectable(), skin != CharacterSkin::original) << skin.rawValue().toStdString();
}

TEST(CharacterSkin, SelectedFallsBackToDuvurForNothingOrTheArchivedCharacter) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  EXPECT_EQ(CharacterSkin::selected(defaults), CharacterSkin::companionBlue);
  defaults.set(CharacterSkin::defaultsKey, QStringLiteral("dara"));
  EXPECT_EQ(CharacterSkin::selected(defaults), CharacterSkin::dara);
  defaults.set(CharacterSkin::defaultsKey, QStringLiteral("original"));
  EXPECT_EQ(CharacterSkin::selected(defaults), CharacterSkin::companionBlue);
  defaults.set(CharacterSkin::defaultsKey, QStringLiteral("somebody"));
  EXPECT_EQ(CharacterSkin::selected(defaults), CharacterSkin::companionBlue);
  defaults.set(CharacterSkin::defaultsKey, qint64(3));
  EXPECT_EQ(CharacterSkin::selected(defaults), CharacterSkin::companionBlue);
}

TEST(CharacterSkin, MigratesOnlyAStoredArchivedChoice) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  CharacterSkin::migrateArchivedChoice(defaults);
  EXPECT_FALSE(defaults.object(CharacterSkin::defaultsKey).has_value());
  defaults.set(CharacterSkin::defaultsKey, QStringLiteral("original"));
  CharacterSkin::migrateArchivedChoice(defaults);
  EXPECT_EQ(defaults.string(CharacterSkin::defaultsKey), QStringLiteral("companionBlue"));
  defaults.set(CharacterSkin::defaultsKey, QStringLiteral("vezu"));
  CharacterSkin::migrateArchivedChoice(defaults);
  EXPECT_EQ(defaults.string(CharacterSkin::defaultsKey), QStringLiteral("vezu"));
}

TEST(QuibAction, EveryActionRoundTripsThroughItsRawValue) { test::expectRawValuesRoundTrip<QuibAction>(true); }

TEST(CharacterSize, WriteStoresLevelAndHeightThenPostsWithNoObject) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  EXPECT_EQ(CharacterSize::changed(), QStringLiteral("CompanionSizeChanged"));
  std::optional<double> storedAtPost;
  const void* object = &defaults;
  auto token = pf::NotificationCenter::defaultCenter().addObserver(
      CharacterSize::changed(), nullptr, [&](const pf::Notification& note) {
        storedAtPost = defaults.doubleValue(CharacterSize::heightKey);
        object = note.object;
      });
  CharacterSize::write(defaults, 100, 900);
  EXPECT_EQ(defaults.integerValue(CharacterSize::levelKey), 100);
  EXPECT_EQ(storedAtPost, 300);
  EXPECT_EQ(object, nullptr);
  CharacterSize::write(defaults, 250, 900);
  EXPECT_EQ(defaults.integerValue(CharacterSize::levelKey), 100);
}

TEST(CharacterSize, HeightGrowsWithTheLevel) {
  EXPECT_EQ(CharacterSize::height(1, 900), CharacterSize::smallestHeight);
  EXPECT_EQ(CharacterSize::height(0, 900), CharacterSize::smallestHeight);
  EXPECT_EQ(CharacterSize::height(100, 900), 300);
  for (int level = 1; level < 100; ++level)
    EXPECT_LT(CharacterSize::height(level, 1080), CharacterSize::height(level + 1, 1080));
  // A screen too small for growth keeps every level at the smallest height.
  EXPECT_EQ(CharacterSize::height(100, 90), CharacterSize::smallestHeight);
}

TEST(CharacterSize, StoredHeightFallsBackAndIsKeptInRange) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  EXPECT_EQ(CharacterSize::storedHeight(defaults), 180);
  defaults.set(CharacterSize::heightKey, 240.0);
  EXPECT_EQ(CharacterSize::storedHeight(defaults), 240);
  defaults.set(CharacterSize::heightKey, true);
  EXPECT_EQ(CharacterSize::storedHeight(defaults), 180);
  defaults.set(CharacterSize::heightKey, std::numeric_limits<double>::infinity());
  EXPECT_EQ(CharacterSize::storedHeight(defaults), 180);
  defaults.set(CharacterSize::heightKey, 1e9);
  EXPECT_EQ(CharacterSize::storedHeight(defaults), CharacterSize::largestHeight);
}

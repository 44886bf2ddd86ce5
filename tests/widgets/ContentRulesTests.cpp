#include "widgets/ContentLayoutRules.h"
#include "widgets/ContentSizeRules.h"

#include <gtest/gtest.h>
#include <limits>

using pf::Rect;
using pf::Size;
using Role = ContentLayoutRules::Role;

TEST(ContentSizeRules, RestoresOnlyUsableSizesRaisedToTheMinimum) {
  const Size minimum{360, 464};
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ContentSizeRules::restored(500, 600, minimum), (Size{500, 600}));
  EXPECT_EQ(ContentSizeRules::restored(10000, 10000, minimum), (Size{10000, 10000}));
  EXPECT_EQ(ContentSizeRules::restored(100, 600, minimum), (Size{360, 600}));
  EXPECT_EQ(ContentSizeRules::restored(500, 1, minimum), (Size{500, 464}));
  EXPECT_EQ(ContentSizeRules::restored(std::nullopt, 600, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(500, std::nullopt, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(inf, 600, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(500, nan, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(0, 600, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(-5, 600, minimum), std::nullopt);
  EXPECT_EQ(ContentSizeRules::restored(500, 10000.5, minimum), std::nullopt);
}

TEST(ContentSizeRules, KeepsAnInitialSizeWithinTheScreenLessTheMargin) {
  const Size minimum{300, 200};
  EXPECT_EQ(ContentSizeRules::fitted({600, 500}, minimum, {1280, 800}), (Size{600, 500}));
  EXPECT_EQ(ContentSizeRules::fitted({2000, 900}, minimum, {1280, 800}), (Size{1264, 784}));
  EXPECT_EQ(ContentSizeRules::fitted({100, 100}, minimum, {1280, 800}), (Size{300, 200}));
  // On a screen too small for the minimum, the minimum wins.
  EXPECT_EQ(ContentSizeRules::fitted({600, 500}, minimum, {250, 150}), (Size{300, 200}));
}

TEST(ContentLayoutRules, ScalesXAndWidthAndKeepsYWithoutAStretchArea) {
  const Size base{400, 300};
  const Rect button(20, 20, 80, 30);
  EXPECT_EQ(ContentLayoutRules::role(button, base, false, std::nullopt), Role::other);
  EXPECT_EQ(ContentLayoutRules::frame(Role::other, button, base, {800, 500}, std::nullopt),
            Rect(40, 20, 160, 30));
  EXPECT_EQ(ContentLayoutRules::role(Rect(0, 0, 400, 300), base, false, std::nullopt),
            Role::background);
  EXPECT_EQ(ContentLayoutRules::frame(Role::background, Rect(0, 0, 400, 300), base, {800, 500},
                                      std::nullopt),
            Rect(0, 0, 800, 500));
}

TEST(ContentLayoutRules, TheStretchAreasScrollViewTakesTheExtraHeight) {
  const Size base{400, 300};
  const Rect stretch(20, 60, 360, 180);
  EXPECT_EQ(ContentLayoutRules::role(stretch, base, true, stretch), Role::stretching);
  // Every scroll view stretches, not only the one the area covers; other views do not.
  EXPECT_EQ(ContentLayoutRules::role(Rect(200, 60, 100, 180), base, true, stretch), Role::stretching);
  EXPECT_EQ(ContentLayoutRules::role(Rect(200, 60, 100, 180), base, false, stretch), Role::other);
  EXPECT_EQ(ContentLayoutRules::frame(Role::stretching, stretch, base, {400, 400}, stretch),
            Rect(20, 60, 360, 280));
  // It never gets smaller than the stretch area.
  EXPECT_EQ(ContentLayoutRules::frame(Role::stretching, stretch, base, {400, 250}, stretch),
            Rect(20, 60, 360, 180));
  // Views at or above its top edge move with the top; the others stay.
  EXPECT_EQ(ContentLayoutRules::frame(Role::other, Rect(20, 240, 100, 20), base, {400, 400}, stretch),
            Rect(20, 340, 100, 20));
  EXPECT_EQ(ContentLayoutRules::frame(Role::other, Rect(20, 239, 100, 20), base, {400, 400}, stretch),
            Rect(20, 239, 100, 20));
}

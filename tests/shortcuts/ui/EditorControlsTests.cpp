#include "shortcuts/ui/EditorBackdrop.h"

#include <gtest/gtest.h>

TEST(EditorBackdropTest, CardsScaleWithWidthAndStretchWithHeight) {
  const auto design = EditorBackdrop::cards({820, 640});
  EXPECT_EQ(design[0], pf::Rect(12, 300, 394, 280));
  EXPECT_EQ(design[1], pf::Rect(414, 300, 394, 280));
  EXPECT_EQ(design[2], pf::Rect(10, 9, 800, 247));
  const auto larger = EditorBackdrop::cards({920, 720});
  EXPECT_NEAR(larger[0].origin.x, 13.46, 0.005);
  EXPECT_NEAR(larger[0].size.width, 442.05, 0.005);
  EXPECT_EQ(larger[0].size.height, 360);
  EXPECT_NEAR(larger[1].origin.x, 464.49, 0.005);
  EXPECT_NEAR(larger[2].origin.x, 11.22, 0.005);
  EXPECT_NEAR(larger[2].size.width, 897.56, 0.005);
  EXPECT_EQ(larger[2].size.height, 247);
}

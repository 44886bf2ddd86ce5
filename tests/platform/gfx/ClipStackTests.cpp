#include "platform/gfx/ClipStack.h"

#include <gtest/gtest.h>

using namespace pf;

// A region of many rects (a band around a window, whose rects Qt splits into
// rows) covers a rect exactly when no pixel of it lies outside, also when the
// rect spans several of the region's rects.
TEST(ClipStack, ARegionCoversARectExactlyWhenNoPixelLiesOutside) {
  const QRegion band = QRegion(0, 0, 100, 100).subtracted(QRegion(20, 20, 60, 60));
  struct Case {
    const char* name;
    QRect rect;
    bool covered;
  };
  const Case cases[] = {
      {"within one of its rects", QRect(10, 2, 50, 10), true},
      {"down a side, over several rows", QRect(2, 2, 10, 90), true},
      {"the band's whole bounds", QRect(0, 0, 100, 100), false},
      {"reaching into the hole", QRect(10, 10, 20, 20), false},
      {"one pixel into the hole", QRect(2, 2, 19, 19), false},
      {"past its bounds", QRect(90, 90, 20, 20), false},
      {"nothing", QRect(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClipStack::covers(band, c.rect), c.covered);
    EXPECT_EQ(ClipStack::covers(band, c.rect), QRegion(c.rect).subtracted(band).isEmpty());
  }
}

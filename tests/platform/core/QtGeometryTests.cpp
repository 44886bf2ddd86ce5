#include "platform/core/QtGeometry.h"

#include <gtest/gtest.h>

using pf::Point;
using pf::Rect;
using pf::ScreenSpace;

namespace {

// Two stacked monitors as Qt reports them: a 1920x1080 primary at the origin
// and a 1280x1024 monitor above it, whose Qt y is negative.
const QRectF primary(0, 0, 1920, 1080);
const QRectF upper(0, -1024, 1280, 1024);

}  // namespace

TEST(ScreenSpace, StackedMonitorsMapAboveAndBelowThePrimary) {
  const ScreenSpace space(primary);
  EXPECT_EQ(space.toYUp(primary), Rect(0, 0, 1920, 1080));
  EXPECT_EQ(space.toYUp(upper), Rect(0, 1080, 1280, 1024));
  // A monitor below the primary lands at negative y.
  EXPECT_EQ(space.toYUp(QRectF(0, 1080, 1280, 1024)), Rect(0, -1024, 1280, 1024));
}

TEST(ScreenSpace, WindowNearTheTopOfTheUpperMonitorRoundTrips) {
  const ScreenSpace space(primary);
  const QRectF window(100, -1000, 300, 200);
  const Rect up = space.toYUp(window);
  EXPECT_EQ(up, Rect(100, 1880, 300, 200));
  EXPECT_EQ(space.toQt(up), window);
  EXPECT_EQ(space.toQt(Rect(100, 1880 + 200, 300, -200)), window);
}

TEST(ScreenSpace, PointsFlipWithoutHeight) {
  const ScreenSpace space(primary);
  EXPECT_EQ(space.toYUp(QPointF(10, 0)), (Point{10, 1080}));
  EXPECT_EQ(space.toYUp(QPointF(10, -1024)), (Point{10, 2104}));
  EXPECT_EQ(space.toQt(Point{10, 2104}), QPointF(10, -1024));
}

TEST(ScreenSpace, OriginFollowsAPrimaryThatIsNotAtQtsOrigin) {
  // The primary sits to the right of and below the other monitor.
  const ScreenSpace space(QRectF(1280, 200, 1920, 1080));
  EXPECT_EQ(space.toYUp(QRectF(1280, 200, 1920, 1080)), Rect(0, 0, 1920, 1080));
  EXPECT_EQ(space.toYUp(QRectF(0, 0, 1280, 1024)), Rect(-1280, 256, 1280, 1024));
}

TEST(ChildFrames, FlipWithinTheParent) {
  EXPECT_EQ(pf::childFrameToYUp(QRectF(10, 0, 50, 20), 100), Rect(10, 80, 50, 20));
  EXPECT_EQ(pf::childFrameToQt(Rect(10, 80, 50, 20), 100), QRectF(10, 0, 50, 20));
  EXPECT_EQ(pf::childFrameToQt(Rect(0, 0, 100, 100), 100), QRectF(0, 0, 100, 100));
}

TEST(ChildFrames, RoundEdgesToWholePixels) {
  EXPECT_EQ(pf::roundedRect(QRectF(0.4, 0.6, 10.2, 10)), QRect(0, 1, 11, 10));
  // Two frames that meet at 10.5 still meet after rounding.
  EXPECT_EQ(pf::roundedRect(QRectF(0, 0, 10.5, 5)).right() + 1, pf::roundedRect(QRectF(10.5, 0, 10, 5)).left());
}

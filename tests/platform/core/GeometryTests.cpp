#include "platform/core/Geometry.h"

#include <gtest/gtest.h>

using pf::Point;
using pf::Rect;

TEST(Rect, StandardisesNegativeSizesBeforeMeasuring) {
  const Rect r(10, 10, -4, -6);
  EXPECT_EQ(r.standardized(), Rect(6, 4, 4, 6));
  EXPECT_EQ(r.minX(), 6);
  EXPECT_EQ(r.maxY(), 10);
}

TEST(Rect, MaxEdgesAreOutsideForPoints) {
  const Rect r(0, 0, 10, 10);
  EXPECT_TRUE(r.contains(Point{0, 0}));
  EXPECT_FALSE(r.contains(Point{10, 5}));
  EXPECT_FALSE(r.contains(Point{5, 10}));
}

TEST(Rect, TouchingRectsDoNotIntersectButEdgeRectsAreContained) {
  const Rect a(0, 0, 10, 10);
  EXPECT_FALSE(a.intersects(Rect(10, 0, 5, 5)));
  EXPECT_TRUE(a.intersects(Rect(9, 9, 5, 5)));
  EXPECT_TRUE(a.contains(Rect(0, 0, 10, 10)));
  EXPECT_TRUE(a.contains(Rect(10, 0, 0, 5)));
  EXPECT_FALSE(a.contains(Rect::null()));
}

TEST(Rect, OverInsetAndDisjointIntersectionGiveNull) {
  EXPECT_TRUE(Rect(0, 0, 10, 10).insetBy(6, 0).isNull());
  EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(5, 5), Rect(5, 5, 0, 0));
  EXPECT_TRUE(Rect(0, 0, 1, 1).intersection(Rect(5, 5, 1, 1)).isNull());
  EXPECT_EQ(Rect(0, 0, 4, 4).united(Rect::null()), Rect(0, 0, 4, 4));
}

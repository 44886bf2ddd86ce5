#include "launcher/LauncherGrid.h"

#include <gtest/gtest.h>
#include <limits>

using pf::Rect;
using pf::Size;

namespace {

struct Metrics {
  double scale;
  Size cell, gap, wideCell;
  double margin, header, footer;
};

}  // namespace

TEST(LauncherGrid, EachMetricIsFlooredOnItsOwn) {
  const Metrics table[] = {
      {0.8, {88, 62}, {6, 8}, {182, 40}, 14, 51, 41},
      {0.85, {93, 66}, {6, 8}, {192, 42}, 15, 54, 44},
      {1.0, {110, 78}, {8, 10}, {228, 50}, 18, 64, 52},
      {1.2, {132, 93}, {9, 12}, {273, 60}, 21, 76, 62},
  };
  for (const Metrics& m : table) {
    SCOPED_TRACE(m.scale);
    const LauncherGrid grid{2, 2, m.scale};
    EXPECT_EQ(grid.cell(), m.cell);
    EXPECT_EQ(grid.gap(), m.gap);
    EXPECT_EQ(grid.wideCell(), m.wideCell);
    EXPECT_EQ(grid.margin(), m.margin);
    EXPECT_EQ(grid.header(), m.header);
    EXPECT_EQ(grid.footer(), m.footer);
  }
}

TEST(LauncherGrid, ReferenceSizesAtEveryScale) {
  EXPECT_EQ(LauncherGrid::standard(1.0).size(), (Size{500, 402}));
  EXPECT_EQ(LauncherGrid::minimum(1.0), (Size{500, 314}));
  EXPECT_EQ(LauncherGrid::standard(0.8).size(), (Size{398, 320}));
  EXPECT_EQ(LauncherGrid::minimum(0.8), (Size{398, 250}));
  EXPECT_EQ(LauncherGrid::standard(1.2).size(), (Size{597, 480}));
  EXPECT_EQ(LauncherGrid::minimum(1.2), (Size{597, 375}));
  EXPECT_EQ(LauncherGrid::standard(0.9), (LauncherGrid{2, 2, 0.9}));
}

TEST(LauncherGrid, CountsAndWideIndices) {
  const LauncherGrid grid{3, 2, 1.0};
  EXPECT_EQ(grid.compactCapacity(), 12);
  EXPECT_EQ(grid.capacity(), 18);
  EXPECT_FALSE(grid.isWide(11));
  EXPECT_TRUE(grid.isWide(12));

  const LauncherGrid noRows{2, 0, 1.0};
  EXPECT_EQ(noRows.compactCapacity(), 0);
  EXPECT_TRUE(noRows.isWide(0));
  EXPECT_EQ(noRows.size().height, 64 + 2 * 50 + 10 + 52);
}

TEST(LauncherGrid, FittingRoundTripsEveryGridAndStaysAtLeastTwoByOne) {
  for (const double scale : {0.8, 0.85, 0.9, 1.0, 1.1, 1.2})
    for (qint64 columns = 2; columns <= 9; ++columns)
      for (qint64 rows = 1; rows <= 9; ++rows) {
        const LauncherGrid grid{columns, rows, scale};
        ASSERT_EQ(LauncherGrid::fitting(grid.size(), scale), grid)
            << scale << " " << columns << "x" << rows;
        // One point less in either direction loses that column or row.
        const Size s = grid.size();
        if (columns > 2) {
          ASSERT_EQ(LauncherGrid::fitting({s.width - 1, s.height}, scale).columns, columns - 1);
        }
        if (rows > 1) {
          ASSERT_EQ(LauncherGrid::fitting({s.width, s.height - 1}, scale).rows, rows - 1);
        }
      }

  EXPECT_EQ(LauncherGrid::fitting({10, 10}, 1.0), (LauncherGrid{2, 1, 1.0}));
  EXPECT_EQ(LauncherGrid::fitting({-500, 0}, 0.8), (LauncherGrid{2, 1, 0.8}));
  // Between two grid widths the smaller column count wins; the rest stays empty.
  EXPECT_EQ(LauncherGrid::fitting({500 + 235, 402}, 1.0).columns, 2);
  EXPECT_EQ(LauncherGrid::fitting({500 + 236, 402}, 1.0).columns, 3);
}

TEST(LauncherGrid, ADraggedSizeFitsToAGridWhoseButtonsReachAcrossIt) {
  const struct {
    Size dragged;
    double scale;
    qint64 columns, rows;
  } table[] = {
      {{634, 556}, 1.0, 2, 3},   // wider by less than a column: the width goes back
      {{736, 402}, 1.0, 3, 2},   // exactly one more column
      {{735, 401}, 1.0, 2, 1},   // a point short of both
      {{300, 100}, 1.0, 2, 1},   // below the least size
      {{1200, 760}, 0.8, 6, 8},
      {{1200, 760}, 1.2, 4, 4},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(testing::Message() << row.dragged.width << " x " << row.dragged.height << " at " << row.scale);
    const LauncherGrid grid = LauncherGrid::fitting(row.dragged, row.scale);
    EXPECT_EQ(grid, (LauncherGrid{row.columns, row.rows, row.scale}));
    const Size kept = grid.size();
    // As far from the right edge as from the left, and the last row a footer above the bottom.
    const Rect lastSmall = grid.frame(2 * grid.columns - 1, kept);
    EXPECT_EQ(kept.width - lastSmall.maxX(), grid.margin());
    EXPECT_EQ(grid.frame(grid.capacity() - 1, kept).minY(), grid.footer());
    EXPECT_EQ(LauncherGrid::fitting(kept, row.scale), grid);
  }
}

TEST(LauncherGrid, FittingIsCappedAtWhatThePositionsFileAccepts) {
  // The largest remembered window size, at the smallest scale, asks for 140 rows.
  const LauncherGrid tall = LauncherGrid::fitting({500, 10000}, 0.8);
  EXPECT_EQ(tall.rows, LauncherGrid::maximumCount);
  const LauncherGrid huge = LauncherGrid::fitting({1e9, 1e9}, 0.8);
  EXPECT_EQ(huge.columns, 127);
  EXPECT_EQ(huge.rows, 127);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(LauncherGrid::fitting({inf, inf}, 1.0), (LauncherGrid{127, 127, 1.0}));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(LauncherGrid::fitting({nan, nan}, 1.0), (LauncherGrid{2, 1, 1.0}));
  // The cap still leaves every grid that fits below it unchanged.
  const LauncherGrid largest{127, 127, 1.0};
  EXPECT_EQ(LauncherGrid::fitting(largest.size(), 1.0), largest);
}

TEST(LauncherGrid, FramesFormOneLatticeAlignedLeft) {
  const LauncherGrid grid{2, 2, 1.0};
  const Size content = grid.size();
  EXPECT_EQ(grid.frame(0, content), Rect(18, 402 - 64 - 78, 110, 78));
  EXPECT_EQ(grid.frame(3, content), Rect(18 + 3 * 118, 260, 110, 78));
  EXPECT_EQ(grid.frame(4, content), Rect(18, 260 - 88, 110, 78));
  // The top-left wide button covers small columns 0 and 1 exactly.
  const Rect topLeftWide = grid.frame(grid.compactCapacity(), content);
  EXPECT_EQ(topLeftWide, Rect(18, 402 - 64 - 2 * 88 - 50, 228, 50));
  EXPECT_EQ(topLeftWide.maxX(), grid.frame(1, content).maxX());
  const Rect bottomRight = grid.frame(grid.capacity() - 1, content);
  EXPECT_EQ(bottomRight.minX(), grid.frame(2, content).minX());
  EXPECT_EQ(bottomRight.minY(), grid.footer());
  // A wider content view leaves the spare width empty on the right.
  EXPECT_EQ(grid.frame(0, {900, content.height}), grid.frame(0, content));
  // Scale 0.8: the lower wide row still ends exactly the footer above the bottom.
  const LauncherGrid small{3, 1, 0.8};
  EXPECT_EQ(small.frame(small.capacity() - 1, small.size()).minY(), small.footer());
}

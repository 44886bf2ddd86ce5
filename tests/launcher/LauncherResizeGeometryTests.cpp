#include "launcher/LauncherResizeGeometry.h"

#include <gtest/gtest.h>

using Geometry = LauncherResizeGeometry;
using Edges = LauncherResizeGeometry::Edges;

TEST(LauncherResizeGeometry, EdgesFollowTheEdgeAndCornerZones) {
  const pf::Rect panel(100, 100, 300, 200);
  const struct {
    pf::Point point;
    qint64 edges;
  } cases[] = {
      {{89, 200}, Edges::left},                   // 11 outside, halfway up
      {{87, 200}, 0},                             // 13 outside
      {{115, 115}, Edges::left | Edges::bottom},  // corner zone
      {{115, 140}, 0},                            // 15 from the left is beyond the edge zone
      {{109, 140}, Edges::left},
      {{395, 295}, Edges::right | Edges::top},
      {{250, 291}, Edges::top},
      {{250, 200}, 0},
      {{411, 200}, Edges::right},
      {{412, 200}, 0},  // the grown rectangle's far edge lies outside
  };
  for (const auto& c : cases)
    EXPECT_EQ(Geometry::edges(c.point, panel).rawValue, c.edges) << c.point.x << "," << c.point.y;
  // A panel narrower than two zones: left beats right, bottom beats top.
  EXPECT_EQ(Geometry::edges({5, 5}, pf::Rect(0, 0, 10, 10)).rawValue, Edges::left | Edges::bottom);
}

TEST(LauncherResizeGeometry, DraggedSidesStopAtTheAreaAndTheMinimumWhileOppositeSidesStay) {
  const pf::Rect frame(100, 100, 300, 200);
  const pf::Rect area(8, 8, 1000, 700);
  const pf::Size minimum{200, 150};
  const struct {
    pf::Point delta;
    qint64 edges;
    pf::Rect expected;
  } cases[] = {
      {{500, 0}, Edges::left, {200, 100, 200, 200}},  // past the right edge: minimum width
      {{0, 900}, Edges::top, {100, 100, 300, 608}},   // above the area: its top
      {{-500, -500}, Edges::left | Edges::bottom, {8, 8, 392, 292}},
      {{50, 20}, Edges::right | Edges::top, {100, 100, 350, 220}},
      {{0, 0}, Edges::right, {100, 100, 300, 200}},
      {{-200, 0}, Edges::right, {100, 100, 200, 200}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Geometry::draggedFrame(frame, c.delta, {c.edges}, minimum, area), c.expected)
        << c.delta.x << "," << c.delta.y << " edges " << c.edges;
  }
  // A frame already outside the area is pulled in by a release without movement.
  EXPECT_EQ(Geometry::draggedFrame({0, 0, 300, 200}, {}, {Edges::left | Edges::bottom}, minimum, area),
            (pf::Rect{8, 8, 292, 192}));
}

TEST(LauncherResizeGeometry, OuterHandlesSurroundTheFrameWithTheStripsOverTheCorners) {
  const auto frames = Geometry::outerFrames({100, 100, 300, 200});
  EXPECT_EQ(frames[0], (pf::Rect{88, 100, 12, 200}));
  EXPECT_EQ(frames[1], (pf::Rect{400, 100, 12, 200}));
  EXPECT_EQ(frames[2], (pf::Rect{88, 88, 324, 12}));
  EXPECT_EQ(frames[3], (pf::Rect{88, 300, 324, 12}));
}

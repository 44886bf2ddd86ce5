#include "platform/gfx/DamageTiles.h"
#include "platform/gfx/PainterPath.h"
#include "platform/gfx/PathMeasure.h"
#include "platform/gfx/SystemColors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <numbers>

using namespace pf;

namespace {

void expectNear(Point actual, Point expected, double tolerance = 1e-9) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
}

}  // namespace

TEST(Path, RectRunsCounterClockwiseFromTheOrigin) {
  const Path p = Path::rect(Rect(3, 3, 94, 34));
  ASSERT_EQ(p.elementCount(), 5);
  EXPECT_EQ(p.element(0).points[0], (Point{3, 3}));
  EXPECT_EQ(p.element(1).points[0], (Point{97, 3}));
  EXPECT_EQ(p.element(2).points[0], (Point{97, 37}));
  EXPECT_EQ(p.element(4).type, Path::ElementType::close);
  EXPECT_EQ(p.controlBounds(), Rect(3, 3, 94, 34));
}

TEST(Path, RoundedRectStartsMidRightAndHoldsItsRadii) {
  const Path p = Path::roundedRect(Rect(0, 0, 100, 40), 35, 35);
  EXPECT_EQ(p.element(0).points[0], (Point{100, 20}));
  EXPECT_EQ(p.element(1).points[0], (Point{100, 20}));  // the y radius held to half the height
  EXPECT_EQ(p.element(2).end(), (Point{65, 40}));       // going up first: counter-clockwise
  EXPECT_EQ(p.controlBounds(), Rect(0, 0, 100, 40));
  EXPECT_EQ(Path::roundedRect(Rect(0, 0, 10, 10), 0, 0), Path::rect(Rect(0, 0, 10, 10)));
  EXPECT_EQ(Path::roundedRect(Rect(0, 0, 10, 10), 0, 4),
            Path::rect(Rect(0, 0, 10, 10)));  // no corner without both radii
  EXPECT_EQ(Path::roundedRect(Rect(0, 0, 10, 10), 4, 0), Path::rect(Rect(0, 0, 10, 10)));
  EXPECT_EQ(Path::roundedRect(Rect(0, 0, 10, 10), 1, 1).elementCount(), 10);  // even a small corner is rounded
}

TEST(Path, ArcsFollowYUpAngles) {
  Path p;
  p.addArc({10, 10}, 5, 0, std::numbers::pi / 2, false);
  expectNear(p.element(0).points[0], {15, 10});
  expectNear(*p.currentPoint(), {10, 15});
  Path cw;
  cw.addArc({0, 0}, 2, 0, std::numbers::pi / 2, true);  // three quarters the other way round
  EXPECT_EQ(cw.elementCount(), 4);
  expectNear(cw.element(1).end(), {0, -2});
  expectNear(PathMeasure(cw).pointAtLength(0), {2, 0});
  Path small;
  small.addArc({0, 0}, 2, 0, 0.5, false);  // a short way round, not a whole turn
  expectNear(*small.currentPoint(), {2 * std::cos(0.5), 2 * std::sin(0.5)});
  EXPECT_LT(small.controlBounds().width(), 1);
  Path ccw;
  ccw.addArc({0, 0}, 2, 0, -std::numbers::pi / 2, false);  // three quarters counter-clockwise
  EXPECT_EQ(ccw.elementCount(), 4);
  expectNear(ccw.element(1).end(), {0, 2});
  expectNear(*ccw.currentPoint(), {0, -2});
}

TEST(PathMeasure, MeasuresPathsShorterThanAPoint) {
  Path tiny;
  tiny.moveTo({0, 0});
  tiny.lineTo({0.5, 0});
  tiny.cubicTo({0.5, 0.1}, {0.6, 0.1}, {0.6, 0.2});
  const PathMeasure measure(tiny);
  expectNear(measure.pointAtLength(0.25), {0.25, 0}, 1e-9);
  EXPECT_GT(measure.pointAtLength(0.55).y, 0.01);
}

TEST(PathMeasure, TrimsFromExactlyTheEndOfACurve) {
  // Two equal curves: trimming from the middle starts exactly where the first ends.
  Path p;
  p.moveTo({0, 0});
  p.cubicTo({0, 10}, {10, 10}, {10, 0});
  p.cubicTo({10, -10}, {20, -10}, {20, 0});
  const Path second = PathMeasure(p).trimmed(0.5, 1);
  ASSERT_GT(second.elementCount(), 0);
  for (const auto& e : second.elements()) {
    for (int i = 0; i < e.pointCount(); ++i) {
      EXPECT_TRUE(std::isfinite(e.points[i].x) && std::isfinite(e.points[i].y));
    }
  }
  expectNear(second.element(0).points[0], {10, 0}, 1e-6);
  expectNear(*second.currentPoint(), {20, 0}, 1e-6);
}

TEST(PainterPath, KeepsEveryPointOfEveryElement) {
  Path p;
  p.moveTo({0, 0});
  p.cubicTo({1, 2}, {3, 4}, {5, 6});
  p.quadTo({8, 9}, {11, 12});
  p.lineTo({13, 14});
  p.close();
  p.moveTo({20, 20});
  p.lineTo({21, 22});
  const QPainterPath q = toQPainterPath(p);
  // A quadratic becomes the cubic with its handles two thirds of the way to the control point.
  const QPointF expected[] = {{0, 0},   {1, 2},   {3, 4}, {5, 6},   {7, 8},  {9, 10},
                              {11, 12}, {13, 14}, {0, 0}, {20, 20}, {21, 22}};
  ASSERT_EQ(q.elementCount(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < q.elementCount(); ++i) {
    EXPECT_NEAR(q.elementAt(i).x, expected[i].x(), 1e-9) << i;
    EXPECT_NEAR(q.elementAt(i).y, expected[i].y(), 1e-9) << i;
  }
}

TEST(DamageTiles, ManyRectsMergeOntoTilesCountedFromTheBoundsCorner) {
  const QRect bounds(100, 50, 200, 100);
  const QSize tile(8, 16);
  std::vector<QRect> rects;
  for (int i = 0; i < 20; ++i) rects.push_back(QRect(140 + i, 60, 1, 1));  // three tiles side by side
  const QRegion merged = mergeIntoTiles(rects, bounds, tile);
  EXPECT_EQ(merged, QRegion(140, 50, 24, 16));
  EXPECT_EQ(mergeIntoTiles({QRect(0, 0, 500, 500)}, bounds, tile), QRegion(bounds));
  // Bounds narrower than a tile still hold what changed.
  const QRect narrow(0, 0, 6, 100);
  EXPECT_EQ(mergeIntoTiles(rects, narrow, tile), QRegion());
  std::vector<QRect> inside(20, QRect(2, 5, 2, 2));
  EXPECT_EQ(mergeIntoTiles(inside, narrow, tile), QRegion(0, 0, 6, 16));
  // So do bounds shorter than a tile.
  EXPECT_EQ(mergeIntoTiles(inside, QRect(0, 0, 100, 10), tile), QRegion(0, 0, 8, 10));
  // The last row and column of bounds one pixel past whole tiles are kept too.
  const QRect odd(0, 0, 33, 33);
  std::vector<QRect> corner(20, QRect(32, 32, 1, 1));
  EXPECT_EQ(mergeIntoTiles(corner, odd, tile), QRegion(32, 32, 1, 1));
}

// Tiles are joined into fewer rects only where that adds fewer pixels than
// the rects it saves are worth: a narrow gap is bridged, a wide one kept.
TEST(DamageTiles, RowsAndGapsAreJoinedOnlyWhereFewerRectsPay) {
  const QRect bounds(0, 0, 1000, 400);
  const QSize tile(8, 16);
  const auto column = [](int left, int width, int top, int rows) {
    std::vector<QRect> rects;
    for (int i = 0; i < rows; ++i) rects.push_back(QRect(left, top + 16 * i, width + i % 2 * 8, 16));
    return rects;
  };
  std::vector<QRect> near = column(0, 64, 0, 10), nearOther = column(72, 64, 0, 10);
  near.insert(near.end(), nearOther.begin(), nearOther.end());
  std::vector<QRect> far = column(0, 64, 0, 10), farOther = column(600, 64, 0, 10);
  far.insert(far.end(), farOther.begin(), farOther.end());
  const struct {
    const char* name;
    std::vector<QRect> rects;
    int mostRects;
  } cases[] = {
      {"a ragged column", column(0, 64, 0, 20), 1},
      {"two columns a tile apart", near, 1},
      {"two columns far apart", far, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QRegion merged = mergeIntoTiles(c.rects, bounds, tile);
    for (const QRect& r : c.rects) EXPECT_TRUE(merged.contains(r)) << r.x() << "," << r.y();
    EXPECT_LE(merged.rectCount(), c.mostRects);
    // Joined, not covered wholesale: a far gap and the rows below stay out.
    EXPECT_FALSE(merged.intersects(QRect(300, 0, 100, 400)));
    EXPECT_FALSE(merged.intersects(QRect(0, 330, 1000, 70)));
  }
}

TEST(Path, InterpolatesOnlyLikeStructures) {
  Path a, b;
  a.moveTo({0, 0});
  a.quadTo({5, 10}, {10, 0});
  b.moveTo({0, 10});
  b.quadTo({5, 20}, {10, 10});
  EXPECT_TRUE(a.hasSameStructure(b));
  const Path half = Path::interpolated(a, b, 0.5);
  EXPECT_EQ(half.element(1).points[0], (Point{5, 15}));
  EXPECT_EQ(Path::interpolated(a, Path::rect(Rect(0, 0, 1, 1)), 0.4), a);
}

TEST(Path, CopiesShareStorageUntilChanged) {
  Path a = Path::rect(Rect(0, 0, 4, 4));
  Path b = a;
  EXPECT_EQ(a.storageIdentity(), b.storageIdentity());
  b.lineTo({9, 9});
  EXPECT_NE(a.storageIdentity(), b.storageIdentity());
  EXPECT_EQ(a.elementCount(), 5);
}

TEST(PathMeasure, MeasuresLinesAndCurves) {
  EXPECT_DOUBLE_EQ(PathMeasure(Path::rect(Rect(0, 0, 100, 50))).length(), 300);
  EXPECT_NEAR(PathMeasure(Path::ellipse(Rect(0, 0, 20, 20))).length(), 20 * std::numbers::pi, 0.01);
  EXPECT_EQ(PathMeasure(Path()).length(), 0);
  expectNear(PathMeasure(Path::rect(Rect(0, 0, 100, 50))).pointAtLength(120), {100, 20});
}

TEST(PathMeasure, TrimsByFractionOfTheLength) {
  Path line;
  line.moveTo({0, 0});
  line.lineTo({100, 0});
  line.lineTo({100, 100});
  const Path first = PathMeasure(line).trimmed(0, 0.25);
  ASSERT_EQ(first.elementCount(), 2);
  expectNear(first.element(1).end(), {50, 0});
  const Path middle = PathMeasure(line).trimmed(0.25, 0.75);
  expectNear(middle.element(0).points[0], {50, 0});
  expectNear(*middle.currentPoint(), {100, 50});
  EXPECT_TRUE(PathMeasure(line).trimmed(0.6, 0.6).isEmpty());

  // A whole closed shape stays closed; a curve stays a curve.
  const Path circle = Path::ellipse(Rect(0, 0, 10, 10));
  const Path whole = PathMeasure(circle).trimmed(0, 1);
  EXPECT_EQ(whole.elements().back().type, Path::ElementType::close);
  const Path quarter = PathMeasure(circle).trimmed(0, 0.25);
  EXPECT_EQ(quarter.element(1).type, Path::ElementType::cubic);
  expectNear(*quarter.currentPoint(), {5, 10}, 0.05);
}

TEST(SystemColors, OneFixedValuePerName) {
  const auto blue = systemColor("systemBlue");
  ASSERT_TRUE(blue);
  EXPECT_EQ(*blue, (Rgba{10 / 255.0, 132 / 255.0, 1, 1}));
  EXPECT_FALSE(systemColor("systemblue"));
  EXPECT_EQ(resolved(Color::system("white", 0.5)), (Rgba{1, 1, 1, 0.5}));
  EXPECT_EQ(resolved(Color::system("noSuchColor")).alpha, 0);
  EXPECT_EQ(resolved(Color::calibratedWhite(0.12)), (Rgba{0.12, 0.12, 0.12, 1}));
  EXPECT_EQ(resolved(Color::calibratedRGB(2, -1, NAN, 0.5)), (Rgba{1, 0, 0, 0.5}));
  EXPECT_EQ(toQColor(Color::system("cyan")), QColor(0, 255, 255));
}

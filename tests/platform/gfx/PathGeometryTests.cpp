#include "platform/gfx/PathMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace pf;

namespace {

using Type = Path::ElementType;

// Control-point distance of a quarter circle of radius 1.
constexpr double kappa = 0.5522847498307936;

struct Expected {
  Type type;
  std::vector<Point> points;
};

void expectElements(const Path& path, const std::vector<Expected>& expected, double tolerance = 1e-9) {
  ASSERT_EQ(path.elementCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < path.elementCount(); ++i) {
    const auto& want = expected[static_cast<std::size_t>(i)];
    EXPECT_EQ(path.element(i).type, want.type) << "element " << i;
    for (std::size_t k = 0; k < want.points.size(); ++k) {
      EXPECT_NEAR(path.element(i).points[k].x, want.points[k].x, tolerance) << "element " << i << " point " << k;
      EXPECT_NEAR(path.element(i).points[k].y, want.points[k].y, tolerance) << "element " << i << " point " << k;
    }
  }
}

Path polyline(std::initializer_list<Point> points) {
  Path p;
  for (const Point& q : points) p.currentPoint() ? p.lineTo(q) : p.moveTo(q);
  return p;
}

}  // namespace

TEST(Path, EllipsesAreFourKappaQuartersCounterClockwiseFromTheRight) {
  const double kx = 10 * kappa, ky = 5 * kappa;
  expectElements(Path::ellipse(Rect(0, 0, 20, 10)), {{Type::move, {{20, 5}}},
                                                     {Type::cubic, {{20, 5 + ky}, {10 + kx, 10}, {10, 10}}},
                                                     {Type::cubic, {{10 - kx, 10}, {0, 5 + ky}, {0, 5}}},
                                                     {Type::cubic, {{0, 5 - ky}, {10 - kx, 0}, {10, 0}}},
                                                     {Type::cubic, {{10 + kx, 0}, {20, 5 - ky}, {20, 5}}},
                                                     {Type::close, {}}});
  // A flipped rect gives the same ellipse; an empty one none.
  EXPECT_EQ(Path::ellipse(Rect(20, 10, -20, -10)), Path::ellipse(Rect(0, 0, 20, 10)));
  EXPECT_TRUE(Path::ellipse(Rect::null()).isEmpty());
}

TEST(Path, RoundedRectCornersAreKappaQuarters) {
  const double kx = 20 * kappa, ky = 10 * kappa;
  expectElements(Path::roundedRect(Rect(0, 0, 100, 40), 20, 10),
                 {{Type::move, {{100, 20}}},
                  {Type::line, {{100, 30}}},
                  {Type::cubic, {{100, 30 + ky}, {80 + kx, 40}, {80, 40}}},
                  {Type::line, {{20, 40}}},
                  {Type::cubic, {{20 - kx, 40}, {0, 30 + ky}, {0, 30}}},
                  {Type::line, {{0, 10}}},
                  {Type::cubic, {{0, 10 - ky}, {20 - kx, 0}, {20, 0}}},
                  {Type::line, {{80, 0}}},
                  {Type::cubic, {{80 + kx, 0}, {100, 10 - ky}, {100, 10}}},
                  {Type::close, {}}});
  EXPECT_EQ(Path::roundedRect(Rect(0, 0, 10, 10), 3, 0), Path::rect(Rect(0, 0, 10, 10)));
  EXPECT_EQ(Path::rect(Rect(10, 10, -5, -5)), Path::rect(Rect(5, 5, 5, 5)));
}

TEST(Path, EqualityComparesElementsAndStructureComparesTypes) {
  struct Case {
    const char* name;
    Path a, b;
    bool equal, sameStructure;
  };
  const Path rect = Path::rect(Rect(0, 0, 10, 10));
  Path quad;
  quad.moveTo({0, 0});
  quad.quadTo({1, 1}, {2, 0});
  const Case cases[] = {
      {"one path", rect, rect, true, true},
      {"equal paths built apart", Path::rect(Rect(0, 0, 10, 10)), rect, true, true},
      {"two empty paths", Path(), Path(), true, true},
      {"moved", rect.translated(5, -3), rect, false, true},
      {"a prefix", polyline({{0, 0}, {1, 1}}), polyline({{0, 0}, {1, 1}, {2, 2}}), false, false},
      {"a line against a quad", polyline({{0, 0}, {2, 0}}), quad, false, false},
      {"empty against a rect", Path(), rect, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.name;
    EXPECT_EQ(c.b == c.a, c.equal) << c.name;
    EXPECT_EQ(c.a.hasSameStructure(c.b), c.sameStructure) << c.name;
  }
  EXPECT_EQ(rect.translated(5, -3).controlBounds(), Rect(5, -3, 10, 10));
  EXPECT_TRUE(Path().translated(1, 1).isEmpty());
}

TEST(Path, ShapesOfRectsThatAreNotNumbersAddNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const Rect bad[] = {Rect::null(), Rect(nan, 0, 10, 10), Rect(0, 0, nan, 10), Rect(0, 0, 10, inf)};
  for (const Rect& r : bad) {
    EXPECT_TRUE(Path::rect(r).isEmpty()) << r.origin.x << " " << r.size.width << " " << r.size.height;
    EXPECT_TRUE(Path::roundedRect(r, 2, 2).isEmpty()) << r.origin.x << " " << r.size.width << " " << r.size.height;
    EXPECT_TRUE(Path::ellipse(r).isEmpty()) << r.origin.x << " " << r.size.width << " " << r.size.height;
  }
}

// An arc of at most a quarter turn is one cubic, with the same handles as an
// ellipse's quarter, so arcs and ellipses morph into one another.
TEST(Path, ArcsOfAQuarterTurnOrLessAreOneKappaCubic) {
  struct Case {
    const char* name;
    double sweep;
    int cubics;
  };
  const Case cases[] = {
      {"a quarter", std::numbers::pi / 2, 1},
      {"an eighth", std::numbers::pi / 4, 1},
      {"a little more than a quarter", std::numbers::pi / 2 + 0.01, 2},
      {"a whole turn", 2 * std::numbers::pi, 4},
  };
  for (const auto& c : cases) {
    Path arc;
    arc.addArc({0, 0}, 10, 0, c.sweep, false);
    EXPECT_EQ(arc.elementCount(), 1 + c.cubics) << c.name;
  }
  Path quarter;
  quarter.addArc({0, 0}, 10, 0, std::numbers::pi / 2, false);
  expectElements(quarter, {{Type::move, {{10, 0}}}, {Type::cubic, {{10, 10 * kappa}, {10 * kappa, 10}, {0, 10}}}},
                 1e-6);
}

TEST(Path, BuildingStartsAtTheOriginAndClosesOnce) {
  Path p;
  p.close();
  EXPECT_TRUE(p.isEmpty());
  p.lineTo({4, 0});
  p.lineTo({4, 4});
  p.close();
  p.close();
  expectElements(p, {{Type::move, {{0, 0}}}, {Type::line, {{4, 0}}}, {Type::line, {{4, 4}}}, {Type::close, {}}});
  EXPECT_EQ(*p.currentPoint(), (Point{0, 0}));
  EXPECT_EQ(*Path::rect(Rect(3, 4, 5, 6)).currentPoint(), (Point{3, 4}));  // a closed subpath ends where it began
  EXPECT_EQ(p.controlBounds(), Rect(0, 0, 4, 4));
  EXPECT_TRUE(Path().controlBounds().isNull());
  EXPECT_EQ(polyline({{20, 10}, {20, 90}}).controlBounds(), Rect(20, 10, 0, 80));  // no width, but somewhere
  EXPECT_EQ(polyline({{10, 20}, {90, 20}}).controlBounds(), Rect(10, 20, 80, 0));
  p.addPath(Path());
  EXPECT_EQ(p.elementCount(), 4);
}

TEST(Path, InterpolatesPointByPointBetweenItsEnds) {
  const Path a = polyline({{0, 0}, {10, 0}}), b = polyline({{0, 20}, {30, 0}});
  expectElements(Path::interpolated(a, b, 0.25), {{Type::move, {{0, 5}}}, {Type::line, {{15, 0}}}});
  EXPECT_EQ(Path::interpolated(a, b, 0), a);
  EXPECT_EQ(Path::interpolated(a, b, 1), b);
  const Path other = Path::rect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Path::interpolated(a, other, 0.4), a);
  EXPECT_EQ(Path::interpolated(a, other, 0.6), other);
}

TEST(PathMeasure, LengthsAndPointsAlongLinesArcsAndCurves) {
  struct Case {
    const char* name;
    Path path;
    double length;
    double at;
    Point point;
    double tolerance;
  };
  Path twoParts = polyline({{0, 0}, {10, 0}});
  twoParts.moveTo({100, 100});
  twoParts.lineTo({100, 110});
  Path straightQuad;
  straightQuad.moveTo({0, 0});
  straightQuad.quadTo({5, 0}, {10, 0});
  // The parabola (20 t, 20 t (1 - t)): 10 (sqrt 2 + asinh 1) long, its top half way.
  Path parabola;
  parabola.moveTo({0, 0});
  parabola.quadTo({10, 10}, {20, 0});
  Path straightCubic;
  straightCubic.moveTo({0, 0});
  straightCubic.cubicTo({10, 0}, {20, 0}, {30, 0});
  Path halfCircle;
  halfCircle.addArc({0, 0}, 10, 0, std::numbers::pi, false);
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"an L", polyline({{0, 0}, {30, 0}, {30, 40}}), 70, 50, {30, 20}, 1e-9},
      {"before the start", polyline({{0, 0}, {30, 0}, {30, 40}}), 70, -5, {0, 0}, 1e-9},
      {"past the end", polyline({{0, 0}, {30, 0}, {30, 40}}), 70, 100, {30, 40}, 1e-9},
      {"not a number", polyline({{0, 0}, {30, 0}, {30, 40}}), 70, std::nan(""), {0, 0}, 1e-9},
      {"endless", polyline({{0, 0}, {30, 0}, {30, 40}}), 70, inf, {0, 0}, 1e-9},
      {"the closing line", Path::rect(Rect(0, 0, 10, 20)), 60, 55, {0, 5}, 1e-9},
      {"moves add no length", twoParts, 20, 15, {100, 105}, 1e-9},
      {"a straight quad", straightQuad, 10, 2.5, {2.5, 0}, 1e-9},
      {"a parabola",
       parabola,
       10 * (std::sqrt(2) + std::asinh(1)),
       10 * (std::sqrt(2) + std::asinh(1)) / 2,
       {10, 5},
       5e-3},
      {"a straight cubic", straightCubic, 30, 7.5, {7.5, 0}, 1e-9},
      {"a half circle", halfCircle, 10 * std::numbers::pi, 5 * std::numbers::pi, {0, 10}, 0.02},
      {"a circle", Path::ellipse(Rect(-10, -10, 20, 20)), 20 * std::numbers::pi, 5 * std::numbers::pi, {0, 10}, 0.01},
      {"nothing", Path(), 0, 5, {0, 0}, 0},
  };
  for (const auto& c : cases) {
    const PathMeasure m(c.path);
    EXPECT_NEAR(m.length(), c.length, std::max(c.tolerance, 1e-9)) << c.name;
    const Point p = m.pointAtLength(c.at);
    EXPECT_NEAR(p.x, c.point.x, c.tolerance) << c.name;
    EXPECT_NEAR(p.y, c.point.y, c.tolerance) << c.name;
  }
}

TEST(PathMeasure, TrimmingKeepsThePiecesBetweenTwoFractions) {
  struct Case {
    const char* name;
    Path path;
    double start, end;
    std::vector<Expected> elements;
  };
  Path twoParts = polyline({{0, 0}, {10, 0}});
  twoParts.moveTo({0, 5});
  twoParts.lineTo({10, 5});
  Path straightCubic;
  straightCubic.moveTo({0, 0});
  straightCubic.cubicTo({10, 0}, {20, 0}, {30, 0});
  const Path square = Path::rect(Rect(0, 0, 10, 10));
  // A corner given twice, as a round rect whose radius is half its side has.
  Path repeated = polyline({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}});
  repeated.close();
  Path repeatedThenLine = repeated;
  repeatedThenLine.moveTo({20, 0});
  repeatedThenLine.lineTo({30, 0});
  const std::vector<Expected> wholeSquare{{Type::move, {{0, 0}}},
                                          {Type::line, {{10, 0}}},
                                          {Type::line, {{10, 10}}},
                                          {Type::line, {{0, 10}}},
                                          {Type::close, {}}};
  std::vector<Expected> squareThenHalfLine = wholeSquare;
  squareThenHalfLine.push_back({Type::move, {{20, 0}}});
  squareThenHalfLine.push_back({Type::line, {{25, 0}}});
  const Case cases[] = {
      {"a square with a corner given twice stays one closed piece", repeated, 0, 1, wholeSquare},
      {"and so it does when a later part is cut", repeatedThenLine, 0, 0.9, squareThenHalfLine},
      {"a whole square stays closed",
       square,
       0,
       1,
       {{Type::move, {{0, 0}}},
        {Type::line, {{10, 0}}},
        {Type::line, {{10, 10}}},
        {Type::line, {{0, 10}}},
        {Type::close, {}}}},
      {"a square from part way round ends with a line",
       square,
       0.125,
       1,
       {{Type::move, {{5, 0}}},
        {Type::line, {{10, 0}}},
        {Type::line, {{10, 10}}},
        {Type::line, {{0, 10}}},
        {Type::line, {{0, 0}}}}},
      {"a square up to three eighths",
       square,
       0,
       0.375,
       {{Type::move, {{0, 0}}}, {Type::line, {{10, 0}}}, {Type::line, {{10, 5}}}}},
      {"a piece of the closing line", square, 0.8, 0.9, {{Type::move, {{0, 8}}}, {Type::line, {{0, 4}}}}},
      {"across two subpaths",
       twoParts,
       0.25,
       0.75,
       {{Type::move, {{5, 0}}}, {Type::line, {{10, 0}}}, {Type::move, {{0, 5}}}, {Type::line, {{5, 5}}}}},
      {"the middle of a cubic",
       straightCubic,
       0.25,
       0.75,
       {{Type::move, {{7.5, 0}}}, {Type::cubic, {{12.5, 0}, {17.5, 0}, {22.5, 0}}}}},
      {"the end of a cubic",
       straightCubic,
       0.5,
       1,
       {{Type::move, {{15, 0}}}, {Type::cubic, {{20, 0}, {25, 0}, {30, 0}}}}},
      {"held to the path", square, -1, 0.2, {{Type::move, {{0, 0}}}, {Type::line, {{8, 0}}}}},
      {"ends the wrong way round", square, 0.6, 0.4, {}},
      {"no length between", square, 0.3, 0.3, {}},
      {"nothing", Path(), 0, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    expectElements(PathMeasure(c.path).trimmed(c.start, c.end), c.elements);
  }
}

// A measure keeps the last pieces it cut: asked again, in any order, it
// answers each piece as a measure that never cut one does.
TEST(PathMeasure, PiecesAskedAgainAreThoseCutAfresh) {
  const Path path = polyline({{0, 0}, {10, 0}, {10, 10}, {20, 10}});
  const PathMeasure measure(path);
  struct Case {
    const char* name;
    double start, end;
  };
  const Case cases[] = {
      {"a first piece", 0, 0.5},
      {"the same start, a longer end", 0, 0.6},
      {"the first again", 0, 0.5},
      {"the same end, a later start", 0.2, 0.5},
      {"a third piece, past the two kept", 0.1, 0.9},
      {"the second of the kept", 0.2, 0.5},
      {"one cut before the last two", 0, 0.6},
      {"nothing between", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(measure.trimmed(c.start, c.end), PathMeasure(path).trimmed(c.start, c.end));
  }
}

#include "look/LookFixture.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "support/gfx/RecordingCanvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using pf::Color;
using pf::Rect;
using test::DrawCall;
using test::RecordingCanvas;

namespace {

Color rgb(double r, double g, double b, double a = 1) { return Color::calibratedRGB(r, g, b, a); }
Color named(const char* name, double a = 1) { return Color::system(name, a); }

bool sameRGB(const Color& a, const Color& b) {
  return a.space == b.space && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

const Color brass = rgb(0.76, 0.48, 0.17);
const Color copper = rgb(0.27, 0.12, 0.045);

}  // namespace

class SkinPainting : public LookFixture {
 protected:
  static RecordingCanvas surface(const char* skin, const Rect& rect, bool tile) {
    store("visualSkin", skin);
    RecordingCanvas canvas;
    QuibSkin::draw(canvas, rect, tile);
    return canvas;
  }
  static RecordingCanvas frame(const char* skin, const Rect& rect, double width) {
    store("visualSkin", skin);
    RecordingCanvas canvas;
    QuibSkin::drawRobotFrame(canvas, rect, width);
    return canvas;
  }
  /// Brass fills that are see-through: the gears are opaque.
  static std::vector<DrawCall> speckles(const RecordingCanvas& c) {
    return c.where([&](const DrawCall& d) {
      return d.kind == DrawCall::Kind::fill && sameRGB(d.color, brass) && d.color.alpha < 1;
    });
  }
};

TEST_F(SkinPainting, OutlineCutsCornersByAtMostAQuarterOfTheShorterSide) {
  const pf::Path p = QuibSkin::outline(Rect(0, 0, 40, 20), 24);
  ASSERT_EQ(p.elementCount(), 9);
  EXPECT_EQ(p.element(0).end(), (pf::Point{5, 0}));
  EXPECT_EQ(p.element(1).end(), (pf::Point{35, 0}));
  EXPECT_EQ(p.element(2).end(), (pf::Point{40, 5}));
  EXPECT_EQ(p.element(7).end(), (pf::Point{0, 5}));
  EXPECT_EQ(p.element(8).type, pf::Path::ElementType::close);
  EXPECT_EQ(QuibSkin::outline(Rect(0, 0, 100, 100), 12).element(0).end(), (pf::Point{12, 0}));
  // A negative cut would cross the path over itself: the corners stay square.
  EXPECT_EQ(QuibSkin::outline(Rect(0, 0, 100, 100), -8).element(0).end(), (pf::Point{0, 0}));
}

TEST_F(SkinPainting, SteampunkSpecklesAreCapped) {
  EXPECT_EQ(speckles(surface("steampunk", Rect(0, 0, 100, 45), true)).size(), 40u);
  EXPECT_EQ(speckles(surface("steampunk", Rect(0, 0, 800, 600), false)).size(), 3500u);
}

TEST_F(SkinPainting, SpecklesVaryTheirAlphaWithinTheRange) {
  const auto found = speckles(surface("steampunk", Rect(10, 20, 300, 200), false));
  ASSERT_EQ(found.size(), 545u);
  for (const DrawCall& s : found) {
    EXPECT_GE(s.color.alpha, 0.035);
    EXPECT_LE(s.color.alpha, 0.08);
    EXPECT_NEAR(s.bounds().width(), 1.5, 1e-9);
    EXPECT_NEAR(s.bounds().height(), 0.8, 1e-9);
    EXPECT_GE(s.bounds().minX(), 10);
    EXPECT_LT(s.bounds().minX(), 310);
  }
}

TEST_F(SkinPainting, MoltenCracksHaveAFloorAndACap) {
  const Color crack = rgb(1.0, 0.32, 0.04, 0.09);
  EXPECT_EQ(surface("moltenCore", Rect(0, 0, 50, 50), true).strokes(crack).size(), 8u);
  EXPECT_EQ(surface("moltenCore", Rect(0, 0, 260, 250), false).strokes(crack).size(), 10u);
  EXPECT_EQ(surface("moltenCore", Rect(0, 0, 2000, 2000), false).strokes(crack).size(), 90u);
}

TEST_F(SkinPainting, PrincessSparklesAreCapped) {
  const Color sparkle = named("white", 0.7);
  const auto small = surface("unicornPrincess", Rect(0, 0, 300, 300), false).strokes(sparkle);
  EXPECT_EQ(small.size(), 10u);
  for (const DrawCall& s : small) {
    EXPECT_EQ(s.lineWidth, 0.8);
    EXPECT_EQ(s.subpaths(), 2);
    EXPECT_EQ(s.bounds().size, (pf::Size{4, 6}));
  }
  EXPECT_EQ(surface("unicornPrincess", Rect(0, 0, 1000, 1000), false).strokes(sparkle).size(), 70u);
}

TEST_F(SkinPainting, AlienHexagonMeshShiftsOddRows) {
  const auto mesh = surface("alienTech", Rect(0, 0, 56, 24), true).strokes(named("cyan", 0.045));
  ASSERT_EQ(mesh.size(), 1u);
  std::vector<pf::Point> starts;
  for (const auto& e : mesh[0].path.elements()) {
    if (e.type == pf::Path::ElementType::move) starts.push_back(e.end());
  }
  const std::vector<pf::Point> expected{{15, 0}, {43, 0}, {71, 0}, {29, 24}, {57, 24}, {85, 24}};
  EXPECT_EQ(starts, expected);
}

TEST_F(SkinPainting, SurfaceColourIsTheCardOnTilesAndTheBackgroundOnPanels) {
  store("colorTheme", "purple");
  const auto first = [](const RecordingCanvas& c) {
    return c.where([](const DrawCall& d) { return d.kind == DrawCall::Kind::linearGradient; }).front();
  };
  const DrawCall tile = first(surface("moltenCore", Rect(0, 0, 100, 45), true));
  EXPECT_EQ(tile.gradient.colors.front(), rgb(0.17, 0.075, 0.29, 1.0));
  EXPECT_EQ(tile.angle, 90);
  const DrawCall panel = first(surface("moltenCore", Rect(0, 0, 400, 300), false));
  EXPECT_EQ(panel.gradient.colors.front(), rgb(0.075, 0.095, 0.17, 1.0));
  const Color darker = panel.gradient.colors.back();
  EXPECT_NEAR(darker.red, 0.075 * 0.88, 1e-12);
  EXPECT_EQ(darker.alpha, 1.0);
}

TEST_F(SkinPainting, ZeroSizedRectanglesStillFollowTheRules) {
  const Rect zero(50, 50, 0, 0);
  EXPECT_TRUE(surface("unicornPrincess", zero, false).strokes(named("white", 0.7)).empty());
  EXPECT_TRUE(speckles(surface("steampunk", zero, true)).empty());
  EXPECT_EQ(surface("moltenCore", zero, true).strokes(rgb(1.0, 0.32, 0.04, 0.09)).size(), 8u);
  const auto mesh = surface("alienTech", zero, false).strokes(named("cyan", 0.045));
  ASSERT_EQ(mesh.size(), 1u);
  EXPECT_EQ(mesh[0].subpaths(), 1);
  for (const bool tile : {true, false}) {
    const auto grid = surface("neonSpace", zero, tile).strokes(named("cyan", 0.045));
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0].subpaths(), 2) << tile;
  }
}

TEST_F(SkinPainting, SpaceGridIncludesTheFarEdges) {
  const auto grid = surface("neonSpace", Rect(0, 0, 46, 26), true).strokes(named("cyan", 0.045));
  ASSERT_EQ(grid.size(), 1u);
  // R is 40 x 20 at (3, 3): five vertical lines and three horizontal ones.
  EXPECT_EQ(grid[0].subpaths(), 8);
  EXPECT_EQ(grid[0].bounds(), Rect(3, 3, 40, 20));
}

TEST_F(SkinPainting, RectanglesThatAreNotFiniteDrawNothing) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const QuibSkin skin : QuibSkin::allCases()) {
    // The last lies so far out that a step of 10 points is lost to rounding.
    for (const Rect r : {Rect(0, 0, inf, 100), Rect(nan, 0, 10, 10), Rect::null(), Rect(0, 0, 1e12, 1e12),
                         Rect(1e300, -1e300, 100, 100)}) {
      const std::string name = skin.rawValue().toStdString();
      EXPECT_TRUE(surface(name.c_str(), r, false).isBlank()) << name;
      EXPECT_TRUE(frame(name.c_str(), r, 12).isBlank()) << name;
    }
    const std::string name = skin.rawValue().toStdString();
    EXPECT_TRUE(frame(name.c_str(), Rect(0, 0, 100, 100), nan).isBlank()) << name;
  }
}

TEST_F(SkinPainting, ClassicPaintsNothingAndThreeSkinsHaveNoSeparateFrame) {
  EXPECT_TRUE(surface("classic", Rect(0, 0, 300, 200), false).isBlank());
  EXPECT_TRUE(surface("nonsense", Rect(0, 0, 300, 200), true).isBlank());
  for (const char* skin : {"classic", "neonSpace", "pearlSpace"}) {
    EXPECT_TRUE(frame(skin, Rect(0, 0, 300, 200), 12).isBlank()) << skin;
  }
}

TEST_F(SkinPainting, EverySkinBalancesItsStateAndRepeatsItsPicture) {
  for (const QuibSkin skin : QuibSkin::allCases()) {
    const std::string name = skin.rawValue().toStdString();
    for (const bool tile : {true, false}) {
      const Rect r(12, 30, tile ? 120 : 640, tile ? 45 : 420);
      const RecordingCanvas once = surface(name.c_str(), r, tile);
      const RecordingCanvas twice = surface(name.c_str(), r, tile);
      EXPECT_EQ(once.depth(), 0) << name;
      EXPECT_EQ(once.unbalancedRestores(), 0) << name;
      EXPECT_EQ(once.calls(), twice.calls()) << name;
      EXPECT_EQ(once.drawn().empty(), skin == QuibSkin::classic) << name;
    }
    const RecordingCanvas framed = frame(name.c_str(), Rect(0, 0, 300, 200), 12);
    EXPECT_EQ(framed.depth(), 0) << name;
    EXPECT_EQ(framed.unbalancedRestores(), 0) << name;
  }
}

TEST_F(SkinPainting, ClipsNeverReachTheCaller) {
  for (const QuibSkin skin : QuibSkin::allCases()) {
    store("visualSkin", skin.rawValue());
    RecordingCanvas canvas;
    QuibSkin::draw(canvas, Rect(0, 0, 200, 120), false);
    canvas.fill(pf::Path::rect(Rect(0, 0, 1, 1)), named("black"), pf::Canvas::FillRule::nonZero);
    const DrawCall last = canvas.calls().back();
    EXPECT_EQ(last.clips, 0) << skin.rawValue().toStdString();
    EXPECT_FALSE(last.shadow.has_value());
  }
}

TEST_F(SkinPainting, SteamFrameRivetsAndGearsFollowTheWidth) {
  struct Case {
    double width;
    double rivet;
    double gear;  // 0: none
  };
  for (const Case c : {Case{5, 1.6, 0}, Case{12, 2.5, 8}, Case{6, 1.6, 4.5}}) {
    SCOPED_TRACE(c.width);
    const RecordingCanvas canvas = frame("steampunk", Rect(0, 0, 200, 100), c.width);
    const auto rivets = canvas.where([&](const DrawCall& d) {
      return d.kind == DrawCall::Kind::fill && d.color == copper && std::fabs(d.bounds().width() - 2 * c.rivet) < 1e-9;
    });
    ASSERT_EQ(rivets.size(), 4u);
    EXPECT_NEAR(rivets[0].bounds().midX(), c.width / 2, 1e-9);
    EXPECT_NEAR(rivets[0].bounds().midY(), 22, 1e-9);
    EXPECT_NEAR(rivets[1].bounds().midY(), 64, 1e-9);
    EXPECT_NEAR(rivets[2].bounds().midX(), 200 - c.width / 2, 1e-9);
    const auto gears = canvas.fills(brass);
    ASSERT_EQ(gears.size(), c.gear > 0 ? 2u : 0u);
    for (const DrawCall& g : gears) EXPECT_NEAR(g.bounds().width(), 2 * c.gear, 1e-9);
    if (c.gear > 0) {
      EXPECT_NEAR(gears[0].bounds().midX(), c.width, 1e-9);
      EXPECT_NEAR(gears[1].bounds().midY(), 100 - c.width, 1e-9);
    }
  }
}

TEST_F(SkinPainting, AlienFrameBarsPerSide) {
  const auto bars = [](const RecordingCanvas& c) {
    return c.where([](const DrawCall& d) { return d.kind == DrawCall::Kind::stroke && d.shadow; });
  };
  const RecordingCanvas narrow = frame("alienTech", Rect(0, 0, 170, 100), 12);
  const auto few = bars(narrow);
  ASSERT_EQ(few.size(), 8u);
  EXPECT_NEAR(few[0].bounds().midX(), 170 * 0.25, 1e-9);
  EXPECT_NEAR(few[1].bounds().midX(), 170 * 0.75, 1e-9);
  EXPECT_EQ(few[0].bounds().width(), 24);
  EXPECT_EQ(few[0].color, rgb(0.62, 0.28, 1.0));  // j + s = 0
  EXPECT_EQ(few[1].color, rgb(0.1, 0.85, 1.0));
  EXPECT_EQ(few[0].lineWidth, 2.5);
  const auto many = bars(frame("alienTech", Rect(0, 0, 450, 100), 5));
  EXPECT_EQ(many.size(), 5u + 5u + 2u + 2u);
  EXPECT_EQ(many[0].lineWidth, 1.3);
}

TEST_F(SkinPainting, MoltenFrameVeinsAreClippedToTheBand) {
  const RecordingCanvas canvas = frame("moltenCore", Rect(0, 0, 300, 200), 12);
  const auto veins = canvas.strokes(rgb(1.0, 0.3, 0.025));
  // 300 / 44 gives 6 on the bottom and top, 200 / 44 gives 4 on the sides.
  ASSERT_EQ(veins.size(), 20u);
  for (const DrawCall& v : veins) {
    EXPECT_EQ(v.clips, 1);
    ASSERT_TRUE(v.shadow);
    EXPECT_EQ(v.shadow->blurRadius, 4);
  }
  EXPECT_EQ(canvas.strokes(rgb(1.0, 0.75, 0.18, 0.85)).size(), 20u);
}

TEST_F(SkinPainting, PrincessFrameGemsAndStars) {
  const Color gold = rgb(0.86, 0.61, 0.27);
  const auto gems = [&](const RecordingCanvas& c) {
    return c.where([](const DrawCall& d) { return d.kind == DrawCall::Kind::linearGradient && d.angle == 45; });
  };
  const RecordingCanvas thin = frame("unicornPrincess", Rect(0, 0, 200, 100), 5);
  ASSERT_EQ(gems(thin).size(), 4u);
  EXPECT_EQ(gems(thin)[0].bounds(), Rect(2, 2, 6, 6));
  EXPECT_TRUE(thin.fills(named("white")).empty());
  const RecordingCanvas wide = frame("unicornPrincess", Rect(0, 0, 200, 100), 12);
  ASSERT_EQ(gems(wide).size(), 4u);
  EXPECT_EQ(gems(wide)[3].bounds(), Rect(183, 83, 10, 10));
  const auto stars = wide.fills(named("white"));
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_EQ(stars[0].bounds(), Rect(95, 2, 10, 8));
  EXPECT_EQ(wide.strokes(gold).size(), 2u + 4u + 2u);
}

TEST_F(SkinPainting, RobotFrameIsPlacedAtTheRectangle) {
  store("colorTheme", "green");
  const RecordingCanvas canvas = frame("robotLab", Rect(100, 50, 400, 300), 12);
  const auto screws = canvas.fills(named("darkGray"));
  ASSERT_EQ(screws.size(), 6u);
  EXPECT_EQ(screws[0].bounds(), Rect(100 + 7 - 2.5, 50 + 29 - 2.5, 5, 5));
  EXPECT_EQ(screws[4].bounds().midY(), 50 + 150);
  const auto bars = canvas.strokes(rgb(0.35, 1.0, 0.64, 1.0));
  ASSERT_EQ(bars.size(), 6u);
  EXPECT_EQ(bars[0].bounds(), Rect(106, 50 + 0.23 * 300, 0, 30));
  ASSERT_TRUE(bars[0].shadow);
  EXPECT_EQ(bars[0].shadow->color, rgb(0.12, 0.82, 0.42, 1.0));
  EXPECT_EQ(canvas.strokes(named("darkGray", 0.65)).size(), 8u);
}

TEST_F(SkinPainting, RobotLabPanelsGetScrewsAndTilesDoNot) {
  EXPECT_EQ(surface("robotLab", Rect(0, 0, 300, 200), false).fills(named("darkGray")).size(), 4u);
  EXPECT_TRUE(surface("robotLab", Rect(0, 0, 100, 45), true).fills(named("darkGray")).empty());
}

TEST_F(SkinPainting, SpaceEdgesGlowInTheThemeColours) {
  store("colorTheme", "pink");
  const RecordingCanvas neon = surface("neonSpace", Rect(0, 0, 300, 200), false);
  const auto glow = neon.strokes(rgb(1.0, 0.43, 0.76, 1.0));
  ASSERT_EQ(glow.size(), 1u);
  ASSERT_TRUE(glow[0].shadow);
  EXPECT_EQ(glow[0].shadow->color, rgb(1.0, 0.22, 0.62, 0.8));
  EXPECT_EQ(glow[0].shadow->blurRadius, 9);
  EXPECT_EQ(neon.strokes(named("systemPurple", 0.8)).size(), 1u);
  const auto ticks = neon.strokes(named("cyan", 0.9));
  ASSERT_EQ(ticks.size(), 4u);
  EXPECT_EQ(ticks[0].bounds(), Rect(27, 191, 55, 0));

  const RecordingCanvas pearl = surface("pearlSpace", Rect(0, 0, 100, 45), true);
  EXPECT_EQ(pearl.strokes(rgb(1.0, 0.22, 0.62, 0.9)).size(), 4u);
  EXPECT_EQ(pearl.strokes(rgb(1.0, 0.22, 0.62, 0.35)).size(), 1u);
  EXPECT_FALSE(pearl.strokes(rgb(1.0, 0.22, 0.62, 0.045)).empty()) << "the grid takes the accent";
}

// The grid is stroked a band of rows at a time; read back from the pixels, a
// vertical line of it runs through every row, whatever the panel's height.
TEST_F(SkinPainting, SpaceGridLinesRunUnbrokenDownThePanel) {
  store("visualSkin", "neonSpace");
  for (const int height : {200, 237, 341}) {
    QImage image(160, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      pf::PainterCanvas canvas(painter, height);
      QuibSkin::draw(canvas, Rect(0, 0, 160, height), false);
    }
    // R is inset by 7: a vertical line lies on x = 57, between two columns;
    // x = 62 lies between lines. Rows a horizontal line crosses are left out.
    std::vector<int> broken;
    for (int row = 20; row < height - 20; ++row) {
      const int fromLine = (height - 7 - row) % 10;
      if (fromLine == 0 || fromLine == 1) continue;
      if (image.pixel(57, row) == image.pixel(62, row)) broken.push_back(row);
    }
    EXPECT_TRUE(broken.empty()) << "height " << height << ", first row without the line " << broken.front();
  }
}

TEST_F(SkinPainting, RobotLabRimIsABandAndLeavesTheMiddleDark) {
  store("visualSkin", "robotLab");
  QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    pf::PainterCanvas canvas(painter, 200);
    QuibSkin::draw(canvas, Rect(0, 0, 300, 200), false);
  }
  // A rim filled non-zero would flood the whole panel in its light metal.
  EXPECT_LT(image.pixelColor(150, 100).lightness(), 90);
  EXPECT_GT(image.pixelColor(150, 6).lightness(), 120);
}

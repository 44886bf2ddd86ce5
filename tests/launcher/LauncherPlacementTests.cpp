#include "launcher/LauncherPlacement.h"

#include <gtest/gtest.h>

namespace {

const pf::Rect screen(0, 0, 1280, 800);
const pf::Rect visible(0, 40, 1280, 736);  // a 40-point desktop panel below, a 24-point bar above
const pf::Size panel{500, 402};

pf::Point place(const pf::Rect& anchor, const std::vector<pf::Rect>& docks = {}, pf::Size size = panel,
                const pf::Rect& visibleFrame = visible) {
  return LauncherPlacement::origin(anchor, size, screen, visibleFrame, docks);
}

}  // namespace

TEST(LauncherPlacement, OpensBesideTheCompanionLeftFirst) {
  const struct {
    const char* name;
    pf::Rect anchor;
    pf::Point expected;
  } cases[] = {
      {"room on the left", {700, 40, 120, 150}, {202, 40}},
      {"at the left screen edge", {10, 40, 120, 150}, {128, 40}},
      {"at the right screen edge", {1150, 40, 120, 150}, {652, 40}},
      {"bottom held inside the bounds", {700, -100, 120, 150}, {202, 2}},
  };
  for (const auto& c : cases) EXPECT_EQ(place(c.anchor), c.expected) << c.name;
}

TEST(LauncherPlacement, OnAScreenAboveTheFirstTheTopStaysBelowItsBar) {
  const pf::Rect upper(0, 800, 1280, 800);
  const pf::Rect upperVisible(0, 800, 1280, 776);
  EXPECT_EQ(LauncherPlacement::origin({700, 1500, 120, 150}, panel, upper, upperVisible, {}),
            (pf::Point{202, 1570 - 402}));
}

TEST(LauncherPlacement, KeepsClearOfTheDesktopPanelAtTheNearestSpot) {
  const pf::Rect dock(0, 0, 1280, 40);
  const pf::Rect anchor(700, 10, 120, 150);
  // Both sides overlap the grown panel strip; on top of it (y 48) is nearest the left side point.
  EXPECT_EQ(place(anchor, {dock}), (pf::Point{202, 48}));
  // A tall panel on the right: beside it on the left is nearer than on top of it.
  EXPECT_EQ(place(anchor, {pf::Rect(600, 0, 680, 300)}), (pf::Point{92, 10}));
  // A strip on another screen, or an empty one, is no obstacle.
  EXPECT_EQ(place(anchor, {pf::Rect(2000, 0, 100, 40), pf::Rect(0, 0, 0, 0)}), (pf::Point{202, 10}));
}

TEST(LauncherPlacement, NarrowBoundsPinThePanelAndFallBackToTheRightSide) {
  // A visible frame ending below the screen's bottom + 8 leaves no height: nothing fits.
  EXPECT_EQ(place({700, 40, 120, 150}, {}, panel, pf::Rect(0, 0, 1280, 7)), (pf::Point{774, 2}));
  // A panel wider than the screen less 12 is pinned to the bounds' left edge.
  EXPECT_EQ(place({700, 40, 120, 150}, {}, {1300, 100}), (pf::Point{6, 40}));
  // Sides that only touch the companion's inset frame are clear.
  const pf::Point left = place({700, 40, 120, 150});
  EXPECT_EQ(left.x + panel.width, 702);
}

#include "motion/UtilityWindowPlacement.h"

#include <gtest/gtest.h>
#include <ostream>

using pf::EdgeInsets;
using pf::Rect;
using pf::Size;

namespace {

enum class Where { right, left, above, below, over };

std::ostream& operator<<(std::ostream& out, Where where) {
  static const char* const names[] = {"right", "left", "above", "below", "over"};
  return out << names[int(where)];
}

/// Which side of the companion the framed window lies on, a gap away.
Where sideOf(const Rect& window, const Rect& companion) {
  const double gap = UtilityWindowPlacement::gap;
  if (window.minX() >= companion.maxX() + gap) return Where::right;
  if (window.maxX() <= companion.minX() - gap) return Where::left;
  if (window.minY() >= companion.maxY() + gap) return Where::above;
  if (window.maxY() <= companion.minY() - gap) return Where::below;
  return Where::over;
}

Rect framed(const Rect& content, const EdgeInsets& d) {
  return {content.minX() - d.left, content.minY() - d.bottom, content.width() + d.left + d.right,
          content.height() + d.top + d.bottom};
}

}  // namespace

TEST(UtilityWindowPlacement, BesideTheCompanionOnTheSideWithRoomWhollyOnScreenAndShrunkOnlyWhenNeeded) {
  // y up. A window manager's frame as openbox draws it; a screen with and without a panel at the bottom.
  const EdgeInsets frame{20, 1, 5, 1};
  const Rect bare(0, 0, 1280, 800);
  const Rect panel(0, 40, 1280, 736);
  const Rect middle(573, 0, 135, 180);
  struct Case {
    const char* name;
    Rect visible;
    Rect companion;
    Size size;
    Size minimum;
    Where where;
    Size expected;
  };
  const Case cases[] = {
      {"right when there is room", bare, middle, {440, 570}, {368, 570}, Where::right, {440, 570}},
      {"left when the right is short", bare, {1100, 0, 135, 180}, {440, 570}, {368, 570}, Where::left, {440, 570}},
      {"above when neither side holds it", bare, middle, {1200, 300}, {1000, 300}, Where::above, {1200, 300}},
      {"below a raised companion", bare, {573, 600, 135, 180}, {1200, 300}, {1000, 300}, Where::below, {1200, 300}},
      {"kept over the panel when the companion walks in front of it", panel, {100, 0, 135, 180}, {440, 570},
       {368, 570}, Where::right, {440, 570}},
      {"no taller than the screen less the frame", bare, {0, 0, 135, 180}, {560, 784}, {520, 724}, Where::right,
       {560, 775}},
      {"narrowed to the room beside it", bare, middle, {600, 700}, {500, 700}, Where::right, {558, 700}},
      {"lowered to the room above it", bare, middle, {1000, 640}, {1000, 500}, Where::above, {1000, 583}},
      {"at its minimum over the companion where no side holds even that", bare, middle, {920, 720}, {860, 640},
       Where::over, {860, 640}},
  };
  for (const Case& c : cases) {
    const Rect content = UtilityWindowPlacement::frame(c.size, c.minimum, frame, c.companion, c.visible);
    const Rect window = framed(content, frame);
    EXPECT_EQ(content.size, c.expected) << c.name;
    EXPECT_EQ(sideOf(window, c.companion), c.where) << c.name;
    EXPECT_TRUE(c.visible.contains(window)) << c.name;
    if (c.where == Where::right || c.where == Where::left) {
      EXPECT_EQ(window.minY(), std::max(c.companion.minY(), c.visible.minY())) << c.name << ": bottoms level";
    } else if (c.where == Where::above || c.where == Where::below) {
      EXPECT_NEAR(window.midX(), c.companion.midX(), 0.5) << c.name << ": centred";
    }
  }
}

TEST(UtilityWindowPlacement, AWindowThatMustCoverTheCompanionCoversTheLeastOfIt) {
  const EdgeInsets frame{20, 1, 5, 1};
  const Rect visible(0, 0, 1280, 800);
  struct Case {
    const char* name;
    Rect companion;
    double minX;  // of the framed window
    double maxY;
  };
  const Case cases[] = {
      {"a companion low on the left: top right", {300, 0, 135, 180}, 1280 - 862, 800},
      {"a companion high on the right: bottom left", {800, 520, 135, 180}, 0, 665},
  };
  for (const Case& c : cases) {
    const Rect window =
        framed(UtilityWindowPlacement::frame({920, 720}, {860, 640}, frame, c.companion, visible), frame);
    EXPECT_EQ(window.minX(), c.minX) << c.name;
    EXPECT_EQ(window.maxY(), c.maxY) << c.name;
  }
}

TEST(UtilityWindowPlacement, AWindowLargerThanTheScreenKeepsItsTitleBarAndLeftEdgeOnScreen) {
  const EdgeInsets frame{20, 1, 5, 1};
  const Rect visible(0, 40, 1280, 736);
  const Rect window =
      framed(UtilityWindowPlacement::frame({1400, 900}, {1400, 900}, frame, {600, 40, 80, 120}, visible), frame);
  EXPECT_EQ(window.minX(), visible.minX());
  EXPECT_EQ(window.maxY(), visible.maxY());
}

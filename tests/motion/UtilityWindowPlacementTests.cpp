#include "motion/UtilityWindowPlacement.h"

#include <gtest/gtest.h>

using pf::Point;
using pf::Rect;
using pf::Size;

TEST(UtilityWindowPlacement, OpensBesideTheCompanionWithinTheVisibleArea) {
  // y up: a 40-point panel at the bottom; 32 points kept for the title bar at the top.
  const Rect visible(0, 40, 1280, 760);
  struct Case {
    const char* name;
    Size window;
    Rect companion;
    Point expected;
  };
  const Case cases[] = {
      {"right of it, bottoms level", {440, 580}, {600, 40, 80, 120}, {692, 40}},
      {"right exactly to the edge", {440, 580}, {816, 40, 12, 120}, {840, 40}},
      {"left when the right has no room", {440, 580}, {1150, 40, 80, 120}, {698, 40}},
      {"left exactly to the edge", {440, 580}, {452, 40, 400, 120}, {0, 40}},
      {"above when neither side has room", {1200, 300}, {600, 40, 80, 120}, {40, 172}},
      {"above, slid back onto the screen", {1200, 300}, {1100, 40, 80, 120}, {80, 172}},
      {"above exactly to the title bar's room", {1200, 596}, {600, 40, 80, 120}, {40, 172}},
      {"centred when above has no room either", {1200, 597}, {600, 40, 80, 120}, {40, 122}},
      {"a raised companion: the title bar stays on screen", {440, 580}, {600, 500, 80, 120}, {692, 188}},
      {"taller than the screen: the title bar stays on screen", {440, 900}, {600, 40, 80, 120}, {692, -132}},
      {"wider than the screen: the left stays on screen", {1400, 300}, {600, 40, 80, 120}, {0, 172}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UtilityWindowPlacement::origin(c.window, c.companion, visible), c.expected) << c.name;
  }
}

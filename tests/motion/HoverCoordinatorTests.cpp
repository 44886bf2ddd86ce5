#include "motion/DockGeometry.h"
#include "motion/HoverCoordinator.h"
#include "support/ManualScheduler.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using Hold = HoverCoordinator::Hold;

/// A coordinator on a hand-driven clock whose pointer is wherever the test puts it.
class Hover : public ::testing::Test {
 protected:
  void SetUp() override {
    hover.onOpen = [this] { events << "open"; };
    hover.onClose = [this] { events << "close"; };
    hover.pointerInside = [this] { return inside; };
  }

  test::ManualScheduler scheduler;
  HoverCoordinator hover{scheduler};
  QStringList events;
  bool inside = true;
};

}  // namespace

TEST_F(Hover, OpensOnTheCompanionAndClosesAGraceAfterThePointerLeft) {
  hover.companionEntered();
  hover.companionEntered();
  scheduler.advance(1);
  EXPECT_EQ(events, QStringList{"open"});
  inside = false;
  scheduler.advance(0.2);
  EXPECT_TRUE(hover.isOpen());
  inside = true;  // back in time
  scheduler.advance(0.5);
  inside = false;
  scheduler.advance(0.3);
  EXPECT_EQ(events, (QStringList{"open", "close"}));
  EXPECT_FALSE(hover.isOpen());
  // Closed, nothing is checked any more.
  EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(Hover, AHoldKeepsItOpenUntilReleased) {
  hover.companionEntered();
  hover.setHold(Hold::resizing, true);
  inside = false;
  scheduler.advance(2);
  EXPECT_TRUE(hover.isOpen());
  hover.setHold(Hold::resizing, false);
  scheduler.advance(0.3);
  EXPECT_EQ(events, (QStringList{"open", "close"}));
}

TEST_F(Hover, FromTheMenuItWaitsForTheFirstVisit) {
  inside = false;
  hover.openUntilVisited();
  scheduler.advance(5);
  EXPECT_TRUE(hover.isOpen());
  inside = true;
  scheduler.advance(0.1);
  inside = false;
  scheduler.advance(0.3);
  EXPECT_EQ(events, (QStringList{"open", "close"}));
}

TEST_F(Hover, AWindowOrTheMenuTakingOverClosesItAndAPointerRestingOnTheCompanionOpensItOnlyByLeavingOrPressing) {
  using TakeOver = std::function<void(HoverCoordinator&, bool pointerOnCompanion)>;
  const std::pair<const char*, TakeOver> takeOvers[] = {
      {"a window", [](HoverCoordinator& h, bool on) { h.handOver(on); }},
      {"the menu",
       [](HoverCoordinator& h, bool on) {
         h.menuOpened();
         h.menuClosed(on);
       }},
  };
  struct Case {
    const char* name;
    bool pointerOnCompanion;
    std::function<void(HoverCoordinator&)> after;  // what the pointer does next
    bool opens;
  };
  const Case cases[] = {
      {"an entry where it rests", true, [](HoverCoordinator& h) { h.companionEntered(); }, false},
      {"leaving and coming back", true,
       [](HoverCoordinator& h) {
         h.companionLeft();
         h.companionEntered();
       },
       true},
      {"a press", true, [](HoverCoordinator& h) { h.companionPressed(); }, true},
      {"an entry from elsewhere", false, [](HoverCoordinator& h) { h.companionEntered(); }, true},
  };
  for (const auto& [by, takeOver] : takeOvers)
    for (const Case& c : cases) {
      hover.companionEntered();
      ASSERT_TRUE(hover.isOpen()) << by << ", " << c.name;
      events.clear();
      takeOver(hover, c.pointerOnCompanion);
      EXPECT_EQ(events, QStringList{"close"}) << by << ", " << c.name;
      c.after(hover);
      EXPECT_EQ(hover.isOpen(), c.opens) << by << ", " << c.name;
      hover.close();
      hover.companionLeft();
    }
}

TEST_F(Hover, WhileTheMenuShowsNothingTheCompanionReportsOpensIt) {
  hover.menuOpened();
  hover.companionEntered();
  hover.companionLeft();
  hover.companionEntered();
  hover.companionPressed();
  scheduler.advance(1);
  EXPECT_TRUE(events.isEmpty());
  EXPECT_EQ(scheduler.pendingCount(), 0u);
  // Chosen from the menu, Open Shortcuts runs once the menu has closed.
  hover.menuClosed(true);
  hover.openUntilVisited();
  EXPECT_TRUE(hover.isOpen());
}

TEST(DockGeometry, TheDesktopPanelIsTheStripBelowTheVisibleArea) {
  EXPECT_EQ(DockGeometry::frames({0, 0, 1280, 800}, {0, 40, 1280, 736}),
            (std::vector<pf::Rect>{{0, 0, 1280, 40}}));
  EXPECT_TRUE(DockGeometry::frames({0, 0, 1280, 800}, {0, 0, 1280, 776}).empty());
}

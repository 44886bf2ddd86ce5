#include "motion/HoldSet.h"

#include <gtest/gtest.h>
#include <vector>

TEST(HoldSet, RecordsReasonsInTheirOrderAndReportsOnlyChanges) {
  using Hold = PacingController::Hold;
  EXPECT_EQ(PacingController::allHolds.front(), Hold::partyFormation);
  EXPECT_EQ(PacingController::allHolds[9], Hold::menu);
  EXPECT_EQ(PacingController::allHolds.back(), Hold::fileDropTarget);
  HoldSet holds;
  int changes = 0;
  holds.onChange = [&] { ++changes; };
  EXPECT_TRUE(holds.isEmpty());
  holds.set(Hold::fileTransfer, true);
  holds.set(Hold::dragging, true);
  holds.set(Hold::dragging, true);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(holds.active(), (std::vector<Hold>{Hold::dragging, Hold::fileTransfer}));
  holds.set(Hold::dragging, false);
  holds.set(Hold::reminders, false);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(holds.contains(Hold::fileTransfer));
  EXPECT_FALSE(holds.contains(Hold::dragging));
}

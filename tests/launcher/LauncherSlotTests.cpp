#include "launcher/LauncherSlot.h"

#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QString keyOf(const QString& text) {
  const auto slot = LauncherSlot::fromKey(text);
  return slot ? slot->key() : QStringLiteral("none");
}

}  // namespace

TEST(LauncherSlot, KeysReadAndWriteInTheirCanonicalForm) {
  EXPECT_EQ((LauncherSlot{0, false, 0, 0}).key(), "0:s:0:0");
  EXPECT_EQ((LauncherSlot{2, true, 1, 1}).key(), "2:w:1:1");
  EXPECT_EQ(LauncherSlot::fromKey("2:w:1:1"), (LauncherSlot{2, true, 1, 1}));
  EXPECT_EQ(keyOf("127:s:127:127"), "127:s:127:127");
  // Empty pieces are dropped, signs and leading zeros accepted.
  EXPECT_EQ(keyOf("0::s:0:1"), "0:s:0:1");
  EXPECT_EQ(keyOf("0:s:0:1:"), "0:s:0:1");
  EXPECT_EQ(keyOf(":0:s:0:1"), "0:s:0:1");
  EXPECT_EQ(keyOf("+1:s:0:0"), "1:s:0:0");
  EXPECT_EQ(keyOf("-0:w:+1:007"), "0:w:1:7");
}

TEST(LauncherSlot, OtherTextsAreNoKeys) {
  for (const char* text : {"1:w:2:0", "1:x:0:0", "1:s:0", "128:s:0:0", "0:s:0:128", "0:s:128:0", "-1:s:0:0",
                           "0:s:0:0:0", "", ":::", "0:S:0:0", "0:s:0: 1", "0:s:0:1a", "0:s:+:1", "0:s:++1:1",
                           "0:s:0:99999999999999999999999", "0:ss:0:0", "٣:s:0:0"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(LauncherSlot::fromKey(QString::fromUtf8(text)));
  }
}

TEST(LauncherSlot, VisibleSlotsFollowTheButtonIndices) {
  const LauncherGrid grid{2, 1, 1.0};
  const std::vector<LauncherSlot> page = LauncherSlot::visible(3, grid);
  ASSERT_EQ(qint64(page.size()), grid.capacity());
  EXPECT_EQ(page[0], (LauncherSlot{3, false, 0, 0}));
  EXPECT_EQ(page[3], (LauncherSlot{3, false, 0, 3}));
  EXPECT_EQ(page[4], (LauncherSlot{3, true, 0, 0}));
  EXPECT_EQ(page[7], (LauncherSlot{3, true, 1, 1}));
  for (qint64 i = 0; i < grid.capacity(); ++i) EXPECT_EQ(page[size_t(i)].wide, grid.isWide(i));

  const std::vector<LauncherSlot> twoRows = LauncherSlot::visible(0, {2, 2, 1.0});
  EXPECT_EQ(twoRows[4], (LauncherSlot{0, false, 1, 0}));
  EXPECT_EQ(LauncherSlot::visible(0, {2, 0, 1.0}).front(), (LauncherSlot{0, true, 0, 0}));
}

TEST(LauncherSlot, OrderedByPageThenSmallBeforeWideThenRowThenColumn) {
  std::vector<LauncherSlot> order = {
      {1, false, 0, 0}, {0, true, 0, 0}, {0, false, 1, 0}, {0, false, 0, 3}, {0, true, 1, 0}, {0, false, 0, 1},
  };
  std::stable_sort(order.begin(), order.end(), LauncherSlot::ordered);
  const std::vector<LauncherSlot> expected = {
      {0, false, 0, 1}, {0, false, 0, 3}, {0, false, 1, 0}, {0, true, 0, 0}, {0, true, 1, 0}, {1, false, 0, 0},
  };
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(LauncherSlot::ordered(order[0], order[0]));
  EXPECT_EQ(QSet<LauncherSlot>(order.begin(), order.end()).size(), 6);
}

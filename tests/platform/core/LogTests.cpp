#include "platform/core/Log.h"

#include "support/HelperProcess.h"

#include <QProcess>
#include <gtest/gtest.h>

WENDLE_TEST_HELPER(log_line) {
  pf::log("Wendle shortcut catalog: %@", args.value(0));
  return 0;
}

TEST(Log, ReplacesEachPlaceholderInTurn) {
  EXPECT_EQ(pf::formatted("Quib pacing: %@", {"resting"}), "Quib pacing: resting");
  EXPECT_EQ(pf::formatted("%@ and %@.", {"a", "b"}), "a and b.");
  EXPECT_EQ(pf::formatted("%@ then %@", {"50%@"}), "50%@ then %@");
  EXPECT_EQ(pf::formatted("no placeholder", {"x"}), "no placeholder");
  EXPECT_EQ(pf::formatted("100% %d", {}), "100% %d");
}

TEST(Log, CopiesEveryLineToStandardError) {
  QProcess helper;
  helper.start(test::testExecutable(), test::helperArguments("log_line", {"3 shortcuts, 1 recovered"}));
  ASSERT_TRUE(helper.waitForFinished(10000));
  EXPECT_EQ(helper.exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(helper.readAllStandardError()),
            "org.wendle.Wendle: Wendle shortcut catalog: 3 shortcuts, 1 recovered\n");
}

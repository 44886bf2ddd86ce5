#include "shortcuts/DanceTiming.h"
#include "shortcuts/GifSupport.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using test::gif;

TEST(DanceTimingTest, ReadsEachFramesStatedDelay) {
  const auto delays = DanceTiming::statedDelays(gif({0, 1, 5, -1, 300}));
  ASSERT_EQ(delays.size(), 5u);
  EXPECT_EQ(delays[0], 0.0);
  EXPECT_EQ(delays[1], 0.01);
  EXPECT_EQ(delays[2], 0.05);
  EXPECT_EQ(delays[3], std::nullopt);
  EXPECT_EQ(delays[4], 3.0);

  // Only a graphic control block states a delay: a comment before a frame does not.
  QByteArray commented = gif({-1});
  commented.insert(19, QByteArray("\x21\xfe\x04\x05\x06\x07\x08\x00", 8));
  EXPECT_EQ(DanceTiming::statedDelays(commented), std::vector<std::optional<double>>{std::nullopt});
}

TEST(DanceTimingTest, StopsAtDamageAndRefusesOtherFiles) {
  QByteArray cut = gif({5, 5});
  cut.chop(8);
  EXPECT_EQ(DanceTiming::statedDelays(cut).size(), 1u);
  EXPECT_TRUE(DanceTiming::statedDelays("\x89PNG\r\n").empty());
  EXPECT_TRUE(DanceTiming::statedDelays("GIF89a\x01").empty());
}

TEST(DanceTimingTest, DurationKeepsAMinimumAndADefault) {
  const struct {
    std::optional<double> stated;
    double expected;
  } cases[] = {{0.0, 0.02}, {0.01, 0.02}, {0.02, 0.02}, {0.05, 0.05}, {std::nullopt, 0.1},
               {std::numeric_limits<double>::quiet_NaN(), 0.02}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(DanceTiming::duration(c.stated), c.expected);
}

TEST(DanceTimingTest, APlayReachesTheFrameItsTimeSaysButNeverPassesItsLast) {
  const std::vector<double> frames{0.05, 0.05, 0.6};
  const struct {
    std::vector<double> durations;
    size_t frame;
    double elapsed;
    size_t reachedFrame;
    double shown;
    double remaining;
  } cases[] = {
      {frames, 0, 0.04, 0, 0.04, 0.7},  {frames, 0, 0.05, 1, 0, 0.7},  {frames, 0, 0.13, 2, 0.03, 0.7},
      {frames, 1, 0.01, 1, 0.01, 0.65}, {frames, 2, 5.0, 2, 5.0, 0.6}, {frames, 0, 5.0, 2, 4.9, 0.7},
      {frames, 3, 1.0, 3, 1.0, 0.02},   {{}, 0, 1.0, 0, 1.0, 0.02},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "from frame " << c.frame << " after " << c.elapsed << " s of "
                                      << c.durations.size() << " frames");
    const DanceTiming::Position reached = DanceTiming::reached(c.durations, c.frame, c.elapsed);
    EXPECT_EQ(reached.frame, c.reachedFrame);
    EXPECT_NEAR(reached.shown, c.shown, 1e-9);
    EXPECT_NEAR(DanceTiming::remaining(c.durations, c.frame), c.remaining, 1e-9);
  }
}

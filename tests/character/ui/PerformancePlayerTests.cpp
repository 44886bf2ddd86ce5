#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "character/ui/RobotView.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/Accessibility.h"
#include "support/ManualScheduler.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

/// A shown companion whose performances run on a hand-driven clock.
class Performance : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::Accessibility::overrideReduceMotion(false);
    panel.setCompanionHeight(180);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    player.onActivity = [this](bool on) { activity.push_back(on); };
  }
  void TearDown() override { pf::Accessibility::overrideReduceMotion(std::nullopt); }

  CompanionPanel panel{QStringLiteral(WENDLE_ASSETS)};
  test::ManualScheduler scheduler;
  PerformancePlayer player{panel.robotView(), scheduler};
  std::vector<bool> activity;
};

}  // namespace

TEST_F(Performance, AReactionHandsTheFigureToAnAnimatedLayerForAboutASecond) {
  player.playReaction(QStringLiteral("action-browser"));
  ASSERT_TRUE(player.isPlaying());
  const auto& layer = player.layer();
  EXPECT_EQ(layer->name(), PerformancePlayer::layerName);
  EXPECT_EQ(layer->animations().size(), 2u);
  EXPECT_FALSE(layer->contents().isNull());
  EXPECT_TRUE(panel.robotView()->isFigureHidden());
  EXPECT_EQ(layer->superlayer(), pf::ViewLayer::of(panel.robotView()).get());
  scheduler.advance(0.85);
  EXPECT_TRUE(player.isPlaying());
  scheduler.advance(0.1);
  EXPECT_FALSE(player.isPlaying());
  EXPECT_FALSE(panel.robotView()->isFigureHidden());
  for (const auto& sublayer : pf::ViewLayer::of(panel.robotView())->sublayers())
    EXPECT_NE(sublayer->name(), PerformancePlayer::layerName);
  EXPECT_EQ(activity, (std::vector<bool>{true, false}));
}

TEST_F(Performance, ANewPerformanceReplacesTheRunningOneAndReducedMotionPlaysNothing) {
  player.playReaction(QStringLiteral("action-app"));
  const auto first = player.layer();
  player.play(QuibAction::dance);
  EXPECT_NE(player.layer(), first);
  EXPECT_EQ(first->superlayer(), nullptr);
  scheduler.advance(1.0);
  EXPECT_TRUE(player.isPlaying());
  scheduler.advance(0.3);
  EXPECT_FALSE(player.isPlaying());
  EXPECT_EQ(activity, (std::vector<bool>{true, false}));

  pf::Accessibility::overrideReduceMotion(true);
  player.play(QuibAction::dj);
  EXPECT_FALSE(player.isPlaying());
  EXPECT_EQ(activity.size(), 2u);
}

#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "character/ui/RobotView.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "support/ManualScheduler.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

/// A shown companion whose performances run on a hand-driven clock.
class Performance : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::Accessibility::overrideReduceMotion(false);
    pf::Compositor::overrideActive(true);
    companion = std::make_unique<CompanionPanel>(QStringLiteral(WENDLE_ASSETS));
    companion->setCompanionHeight(180);
    companion->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(companion.get()));
    player = std::make_unique<PerformancePlayer>(companion->robotView(), scheduler);
    player->onActivity = [this](bool on) { activity.push_back(on); };
  }
  void TearDown() override {
    player.reset();
    companion.reset();
    pf::Compositor::overrideActive(std::nullopt);
    pf::Accessibility::overrideReduceMotion(std::nullopt);
  }

  test::ManualScheduler scheduler;
  std::unique_ptr<CompanionPanel> companion;
  std::unique_ptr<PerformancePlayer> player;
  std::vector<bool> activity;
};

}  // namespace

TEST_F(Performance, AReactionHandsTheFigureToAnAnimatedLayerForAboutASecond) {
  player->playReaction(QStringLiteral("action-browser"));
  ASSERT_TRUE(player->isPlaying());
  const auto& layer = player->layer();
  EXPECT_EQ(layer->name(), PerformancePlayer::layerName);
  EXPECT_EQ(layer->animations().size(), 2u);
  EXPECT_FALSE(layer->contents().isNull());
  EXPECT_TRUE(companion->robotView()->isFigureHidden());
  // The figure moves beyond its resting outline, so the window's shape opens up meanwhile.
  EXPECT_TRUE(companion->mask().isEmpty());
  EXPECT_EQ(layer->superlayer(), pf::ViewLayer::of(companion->robotView()).get());
  scheduler.advance(0.85);
  EXPECT_TRUE(player->isPlaying());
  scheduler.advance(0.1);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_FALSE(companion->robotView()->isFigureHidden());
  EXPECT_FALSE(companion->mask().isEmpty());
  for (const auto& sublayer : pf::ViewLayer::of(companion->robotView())->sublayers())
    EXPECT_NE(sublayer->name(), PerformancePlayer::layerName);
  EXPECT_EQ(activity, (std::vector<bool>{true, false}));
}

TEST_F(Performance, ANewPerformanceReplacesTheRunningOneAndReducedMotionPlaysNothing) {
  player->playReaction(QStringLiteral("action-app"));
  const auto first = player->layer();
  player->play(QuibAction::dance);
  EXPECT_NE(player->layer(), first);
  EXPECT_EQ(first->superlayer(), nullptr);
  scheduler.advance(1.0);
  EXPECT_TRUE(player->isPlaying());
  scheduler.advance(0.3);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_EQ(activity, (std::vector<bool>{true, false}));

  pf::Accessibility::overrideReduceMotion(true);
  player->play(QuibAction::dj);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_EQ(activity.size(), 2u);
}

#include "desktop/DesktopTest.h"
#include "platform/core/UserDefaults.h"

namespace desk {
namespace {

const QString effectTitle = QStringLiteral("Wendle Border Effect");
const QString settingsTitle = QStringLiteral("Wendle Settings");

}  // namespace

TEST_F(DesktopTest, ABorderEffectFollowsItsWindowAcrossDesktopsAndThroughMinimising) {
  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), QStringLiteral("fire"));
  RunningWendle& wendle = start();
  const std::optional<TopWindow> settings = openFromHook(wendle, QStringLiteral("Settings…"), settingsTitle);
  ASSERT_TRUE(settings);

  // The effect shows around its window, next to it in the stacking order, wherever a person finds the window again.
  const auto decorated = [&]() -> ::testing::AssertionResult {
    const std::vector<TopWindow> shown = windows.shown();
    const auto titled = [&](const QString& title) {
      return std::find_if(shown.begin(), shown.end(), [&](const TopWindow& w) { return w.title == title; });
    };
    const auto window = titled(settingsTitle), effect = titled(effectTitle);
    if (window == shown.end() || effect == shown.end()) return ::testing::AssertionFailure() << "not both shown";
    if (std::abs(effect - window) != 1) return ::testing::AssertionFailure() << "another window came between";
    if (!effect->frameRect.contains(window->frameRect))
      return ::testing::AssertionFailure() << "the effect is elsewhere";
    return ::testing::AssertionSuccess();
  };
  const auto effectGone = [&] {
    return waitUntil([&] { return !windows.find(effectTitle) && !windows.find(settingsTitle); }, 3000);
  };
  ASSERT_TRUE(waitUntil(decorated)) << decorated().message();

  windows.switchToDesktop(2);
  EXPECT_TRUE(effectGone()) << "the effect stayed on another desktop";
  EXPECT_TRUE(windows.find(companionTitle)) << "the companion did not come along";
  shot(QStringLiteral("other-desktop"));
  windows.switchToDesktop(0);
  EXPECT_TRUE(waitUntil(decorated, 3000)) << "back on its desktop: " << decorated().message();

  windows.minimise(settings->id);
  EXPECT_TRUE(effectGone()) << "the effect stayed for a minimised window";
  shot(QStringLiteral("minimised"));
  windows.activate(settings->id);
  EXPECT_TRUE(waitUntil(decorated, 3000)) << "restored: " << decorated().message();
  shot(QStringLiteral("restored"));
}

}  // namespace desk

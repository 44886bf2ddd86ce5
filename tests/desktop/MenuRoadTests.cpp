#include "desktop/DesktopTest.h"

namespace desk {

TEST_F(DesktopTest, EveryMenuItemOpensItsWindowInFront) {
  // In the bottom right corner, where no window needs to go round it.
  placeCompanion(1140, 0);
  start();
  const std::pair<QString, QString> items[] = {
      {QStringLiteral("Clipboard…"), QStringLiteral("Clipboard — Wendle")},
      {QStringLiteral("Reminders…"), QStringLiteral("Wendle Reminders")},
      {QStringLiteral("Edit Shortcuts…"), QStringLiteral("Edit Shortcuts — Wendle")},
      {QStringLiteral("Settings…"), QStringLiteral("Wendle Settings")},
      // Last: the launcher closes once the pointer has been near it and left.
      {QStringLiteral("Open Shortcuts"), launcherTitle},
  };
  for (const auto& [item, title] : items) {
    chooseFromMenu(item);
    const std::optional<TopWindow> window = windows.waitFor(title);
    ASSERT_TRUE(window) << item.toStdString() << " opened no window";
    EXPECT_TRUE(waitUntil([&] { return inFront(*window); })) << inFront(*window).message();
  }
  shot(QStringLiteral("all-open"));
}

TEST_F(DesktopTest, TheCompanionsMenuShowsAloneAndTheLauncherWaitsUntilThePointerComesBack) {
  placeCompanion(900, 0);
  RunningWendle& wendle = start();
  const auto menuShows = [&] {
    return onScreen(wendle, [](const Seen& seen) { return seen.name == QStringLiteral("Settings…"); }).has_value();
  };
  const auto launcherShows = [&] { return windows.find(launcherTitle).has_value(); };

  // Pointing at the companion opens the launcher; a right-click there brings up the menu in its place.
  openLauncher();
  const QPoint body = companion().clientRect.center();
  input.click(body, 3);
  ASSERT_TRUE(waitUntil(menuShows, 3000)) << "a right-click on the companion showed no menu";
  EXPECT_TRUE(windows.waitGone(launcherTitle, 3000)) << "the launcher stayed open beside the menu";

  // Pointing away and back at the companion while the menu shows opens nothing.
  input.moveTo(body - QPoint(250, 250));
  input.moveTo(body);
  EXPECT_FALSE(waitUntil(launcherShows, 1000)) << "the launcher opened with the menu showing";
  EXPECT_TRUE(menuShows());
  shot(QStringLiteral("menu"));

  // Without the menu, the pointer coming back opens it again.
  input.key(QStringLiteral("Escape"));
  EXPECT_TRUE(waitUntil([&] { return !menuShows(); }, 3000));
  EXPECT_FALSE(waitUntil(launcherShows, 600)) << "the launcher opened where the menu was left";
  openLauncher();
}

}  // namespace desk

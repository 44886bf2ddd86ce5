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

}  // namespace desk

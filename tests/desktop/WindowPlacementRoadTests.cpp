#include "desktop/DesktopTest.h"
#include "support/TestFiles.h"

namespace desk {

TEST_F(DesktopTest, EveryWindowOpensWhollyOnScreenAndClearOfTheCompanion) {
  DesktopPeer fileManager({20, 20, 200, 120}, {test::writeFile(home.path(QStringLiteral("note.txt")), "n")});
  ASSERT_TRUE(fileManager.said("ready"));
  RunningWendle& wendle = start();
  // At the middle of this screen no side of the companion holds Edit Shortcuts
  // or New Reminder even at their least size; a person wanting room moves it aside.
  const TopWindow standing = companion();
  const QPoint aside(300 - standing.clientRect.center().x(), 0);
  input.drag(standing.clientRect.center(), standing.clientRect.center() + aside);
  ASSERT_TRUE(waitUntil([&] { return companion().clientRect == standing.clientRect.translated(aside); }));
  // The companion as a person sees it: its drawing, not the clear margin of its window.
  const QRect body = screen.drawnArea(companion().id);
  const QRect visible = windows.workArea();
  const auto placed = [&](const QString& title) -> ::testing::AssertionResult {
    const std::optional<TopWindow> window = windows.settled(title);
    if (!window) return ::testing::AssertionFailure() << title.toStdString() << " did not open";
    const bool onScreen = visible.contains(window->frameRect), clear = !window->frameRect.intersects(body);
    if (onScreen && clear) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << where(*window) << (onScreen ? "" : " reaches off the screen")
                                         << (clear ? "" : " lies over the companion");
  };

  for (const auto& [item, title] :
       {std::pair{QStringLiteral("Settings…"), QStringLiteral("Wendle Settings")},
        std::pair{QStringLiteral("Edit Shortcuts…"), QStringLiteral("Edit Shortcuts — Wendle")},
        std::pair{QStringLiteral("Clipboard…"), QStringLiteral("Clipboard — Wendle")},
        std::pair{QStringLiteral("Reminders…"), QStringLiteral("Wendle Reminders")}}) {
    EXPECT_EQ(wendle.ask("menu " + item.toUtf8()), "chosen " + item.toUtf8());
    EXPECT_TRUE(placed(title));
  }
  const std::pair<QString, QString> editors[] = {
      {QStringLiteral("Clipboard — Wendle"), QStringLiteral("New Clipboard Favorite")},
      {QStringLiteral("Wendle Reminders"), QStringLiteral("New Reminder")}};
  for (const auto& [title, editor] : editors) {
    const TopWindow window = windows.waitFor(title).value_or(TopWindow{});
    windows.activate(window.id);
    waitUntil([&] { return inFront(window); }, 3000);
    clickOn(wendle, window, QStringLiteral("New…"));
    EXPECT_TRUE(placed(editor));
  }
  shot(QStringLiteral("editors"));
  EXPECT_EQ(wendle.ask("menu Open Shortcuts"), "chosen Open Shortcuts");
  EXPECT_TRUE(placed(launcherTitle));
  // The other program comes to the front before its files are dragged from it.
  const TopWindow peer = windows.find(QStringLiteral("Desktop Peer")).value_or(TopWindow{});
  windows.activate(peer.id);
  EXPECT_TRUE(waitUntil([&] { return inFront(peer); }, 3000)) << inFront(peer).message();
  EXPECT_TRUE(dropOnCompanion(fileManager, {120, 80}));
  EXPECT_TRUE(placed(QStringLiteral("Move or Copy Files")));
  shot(QStringLiteral("file-drop"));
}

}  // namespace desk

#include "desktop/DesktopTest.h"

#include <QDir>

namespace desk {
namespace {

/// Side by side, touching or a few pixels apart, at overlapping heights.
::testing::AssertionResult beside(const QRect& window, const QRect& anchor) {
  const int gap = std::max(anchor.left() - window.right(), window.left() - anchor.right()) - 1;
  if (gap >= -2 && gap <= 8 && window.top() <= anchor.bottom() && anchor.top() <= window.bottom())
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the launcher at " << window.x() << ", " << window.y()
                                       << " is not beside the companion at " << anchor.x() << ", " << anchor.y();
}

}  // namespace

TEST_F(DesktopTest, TheLauncherOpensBesideTheCompanionOpensEachKindOfShortcutAndHandsOverToItsWindows) {
  const QString saved = home.path(QStringLiteral("Saved"));
  QDir().mkpath(saved);
  writeShortcuts({shortcut(QStringLiteral("Docs"), ShortcutKind::web, QStringLiteral("https://docs.example/")),
                  shortcut(QStringLiteral("Saved"), ShortcutKind::folder, saved),
                  shortcut(QStringLiteral("Notes"), ShortcutKind::application, home.applicationEntry())});
  placeCompanion(900, 0);
  RunningWendle& wendle = start();

  // Pointing at the companion opens the launcher beside it.
  TopWindow launcher = openLauncher();
  EXPECT_TRUE(beside(launcher.frameRect, companion().frameRect));
  EXPECT_TRUE(inFront(launcher));
  shot(QStringLiteral("launcher"));

  // Each kind of shortcut reaches what this desktop opens it with.
  const QString labels[] = {QStringLiteral("Docs"), QStringLiteral("Saved"), QStringLiteral("Notes")};
  for (qsizetype done = 0; done < 3; ++done) {
    clickOn(wendle, openLauncher(), labels[done]);
    EXPECT_TRUE(waitUntil([&] { return home.opened().size() > done; }))
        << labels[done].toStdString() << " reached nothing";
  }
  EXPECT_EQ(home.opened().join(u'\n').toStdString(),
            QStringLiteral("browser https://docs.example/\nfiles %1\nnotes").arg(saved).toStdString());

  // Its gear, clipboard and bell each bring their window up in front of it.
  for (const auto& [button, title] :
       {std::pair{QStringLiteral("Wendle Settings"), QStringLiteral("Wendle Settings")},
        std::pair{QStringLiteral("Clipboard"), QStringLiteral("Clipboard — Wendle")},
        std::pair{QStringLiteral("Wendle Reminders"), QStringLiteral("Wendle Reminders")}}) {
    clickOn(wendle, openLauncher(), button);
    const std::optional<TopWindow> window = windows.waitFor(title, 3000);
    if (!window) {
      ADD_FAILURE() << button.toStdString() << " opened nothing";
      continue;
    }
    EXPECT_TRUE(waitUntil([&] { return inFront(*window); }, 3000)) << inFront(*window).message();
  }
  shot(QStringLiteral("handed-over"));

  // Dragging the companion away closes it.
  launcher = openLauncher();
  const QPoint body = companion().clientRect.center();
  input.drag(body, body + QPoint(0, -250));
  EXPECT_TRUE(windows.waitGone(launcherTitle, 3000)) << "the launcher stayed open while the companion was dragged";
  shot(QStringLiteral("dragged"));

  // With nothing on this desktop to open them, an alert says so.
  chooseFromMenu(QStringLiteral("Quit Wendle"));
  ASSERT_EQ(programs.back()->exitStatus(), 0);
  home.removeHandlers();
  RunningWendle& again = start();
  for (const auto& [label, sentence] :
       {std::pair{QStringLiteral("Docs"), QStringLiteral("Your browser could not open Docs.")},
        std::pair{QStringLiteral("Saved"), QStringLiteral("The file manager could not open Saved.")}}) {
    clickOn(again, openLauncher(), label);
    const auto says = [&] { return onScreen(again, [&](const Seen& seen) { return seen.name.startsWith(sentence); }); };
    std::optional<std::pair<TopWindow, Seen>> alert;
    EXPECT_TRUE(waitUntil([&] { return (alert = says()).has_value(); }, 5000))
        << "no alert says " << sentence.toStdString();
    if (!alert) continue;
    EXPECT_TRUE(inFront(alert->first));
    shot(QStringLiteral("cannot-open-") + label);
    clickOn(again, alert->first, QStringLiteral("Open Settings"));
    EXPECT_TRUE(waitUntil([&] { return !says(); }, 3000)) << "the alert stayed open";
    const std::optional<TopWindow> settings = windows.waitFor(QStringLiteral("Wendle Settings"), 3000);
    EXPECT_TRUE(settings && waitUntil([&] { return inFront(*settings); }, 3000)) << "Open Settings showed no settings";
  }
}

TEST_F(DesktopTest, AResizedLauncherFillsItselfWithItsGridBesideTheCompanion) {
  std::vector<Shortcut> sites;
  for (int n = 1; n <= 10; ++n)
    sites.push_back(
        shortcut(QStringLiteral("Site%1").arg(n), ShortcutKind::web, QStringLiteral("https://example.org/")));
  writeShortcuts(sites);
  placeCompanion(900, 0);
  RunningWendle& wendle = start();
  const TopWindow before = openLauncher();
  EXPECT_TRUE(wendle.find(before.id, QStringLiteral("1 / 2"))) << "ten shortcuts on a launcher of eight small buttons";

  // Its top right corner, grabbed just outside it, is dragged up and right over the companion to 634 x 556.
  const QPoint grip = before.clientRect.topRight() + QPoint(4, -4);
  input.moveTo(grip);
  // The handles around it map a moment after the launcher; a person grabs what the cursor shows.
  ASSERT_TRUE(waitUntil([&] {
    const std::optional<TopWindow> under = windows.underPointer();
    return under && under->title == QStringLiteral("Wendle Resize Handle");
  })) << "no resize handle lies just outside the launcher's corner";
  input.press();
  for (int step = 1; step <= 8; ++step) input.moveTo(grip + QPoint(134, -154) * step / 8);
  EXPECT_TRUE(waitUntil(
      [&] { return windows.find(launcherTitle).value_or(TopWindow{}).clientRect.size() == QSize(634, 556); }, 3000))
      << "dragging its corner did not widen the launcher";
  input.release();

  // Let go, it fits its grid and lies beside the companion, no longer over it.
  const std::optional<TopWindow> after = windows.settled(launcherTitle);
  ASSERT_TRUE(after) << "the launcher closed after the resize";
  shot(QStringLiteral("resized"));
  const QRect body = screen.drawnArea(companion().id);
  EXPECT_TRUE(beside(after->frameRect, companion().frameRect));
  EXPECT_FALSE(after->frameRect.intersects(body)) << where(*after) << " lies over the companion";
  // Its buttons reach across it: as far from its right edge as from its left, and down to the page controls.
  QRect buttons;
  for (const Seen& seen : wendle.look(after->id))
    if (seen.name.startsWith(QStringLiteral("Site")) || seen.name == QStringLiteral("Empty") ||
        seen.name == QStringLiteral("Add shortcut…"))
      buttons |= seen.rect;
  const QRect& launcher = after->clientRect;
  EXPECT_LE(std::abs((launcher.right() - buttons.right()) - (buttons.left() - launcher.left())), 1)
      << "buttons from x " << buttons.left() << " to " << buttons.right() << " in " << where(*after);
  EXPECT_LE(launcher.bottom() - buttons.bottom(), 53) << "an empty band below the buttons in " << where(*after);
  EXPECT_TRUE(wendle.find(after->id, QStringLiteral("1 / 1"))) << "the shortcuts did not spread over the larger page";
}

}  // namespace desk

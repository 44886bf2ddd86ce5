#include "desktop/DesktopTest.h"

namespace desk {

TEST_F(DesktopTest, ABorderEffectDecoratesAWindowThatStillTakesEveryClickAndDragAndPassesTheRestThrough) {
  placeCompanion(1140, 0);
  // Another program's window under everything, to take the clicks that pass by.
  DesktopPeer beneath({0, 0, 1100, 780});
  ASSERT_TRUE(beneath.said("ready"));
  RunningWendle& wendle = start();
  std::optional<TopWindow> settings =
      openFromHook(wendle, QStringLiteral("Settings…"), QStringLiteral("Wendle Settings"));
  ASSERT_TRUE(settings);
  // Where the program puts it, once it has.
  settings = windows.settled(QStringLiteral("Wendle Settings"));

  // The effect is chosen in the window's own pop-up list.
  const std::optional<Seen> effects = wendle.labelled(settings->id, QStringLiteral("Border Effect"));
  ASSERT_TRUE(effects);
  input.click(effects->rect.center());
  clickOn(wendle, *settings, QStringLiteral("Fire"));
  const std::optional<TopWindow> effect = windows.waitFor(QStringLiteral("Wendle Border Effect"));
  ASSERT_TRUE(effect) << "no effect shows";
  shot(QStringLiteral("fire"));

  // The effect's window is decoration only: no frame, not listed, no input.
  EXPECT_FALSE(effect->managed) << "the window manager framed the effect";
  const std::vector<WindowId> listed = windows.listed();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), effect->id), 0) << "the window manager lists the effect";
  EXPECT_TRUE(windows.takesNoInput(effect->id)) << "the effect's window takes input";
  EXPECT_TRUE(effect->frameRect.contains(settings->frameRect));

  // The decorated window's own controls and title bar answer as before.
  const auto trimOnly = [&] { return wendle.labelled(settings->id, QStringLiteral("Accent on Trim Only")); };
  ASSERT_TRUE(trimOnly());
  const bool wasChecked = trimOnly()->checked;
  input.click(trimOnly()->rect.center());
  EXPECT_TRUE(waitUntil([&] { return trimOnly()->checked != wasChecked; }, 3000)) << "the check box did not toggle";
  settings = windows.find(QStringLiteral("Wendle Settings"));
  const QPoint titleBar(settings->frameRect.center().x(), (settings->frameRect.top() + settings->clientRect.top()) / 2);
  // Towards the middle of the screen, where the manager lets a window go.
  const QPoint offset(titleBar.x() < 640 ? 120 : -120, titleBar.y() < 400 ? 80 : -80);
  input.drag(titleBar, titleBar + offset);
  EXPECT_TRUE(waitUntil(
      [&] {
        const std::optional<TopWindow> moved = windows.find(QStringLiteral("Wendle Settings"));
        return moved && moved->frameRect == settings->frameRect.translated(offset);
      },
      3000))
      << "the title bar did not drag its window";
  settings = windows.find(QStringLiteral("Wendle Settings"));

  // A click beside the window, on the side with room, reaches the one beneath.
  const QRect frame = settings->frameRect;
  const QPoint beside(frame.left() >= 60 ? frame.left() - 50 : frame.right() + 50, frame.center().y());

  input.click(beside);
  EXPECT_TRUE(beneath.said(QStringLiteral("pressed %1 %2").arg(beside.x()).arg(beside.y()).toUtf8(), 3000))
      << "the click beside the decorated window did not reach the window beneath";
  shot(QStringLiteral("after-clicks"));
}

}  // namespace desk

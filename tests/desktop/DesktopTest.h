#pragma once

#include "desktop/DesktopHome.h"
#include "desktop/DesktopPeer.h"
#include "desktop/RunningWendle.h"
#include "desktop/Wait.h"
#include "desktop/XInput.h"
#include "desktop/XScreen.h"
#include "desktop/XWindows.h"

#include "shortcuts/Shortcut.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

/// Failure messages show texts as they read.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace desk {

/// One road of the desktop suite: the session's desktop, a fresh home, and
/// the real program started in it as often as the road needs.
class DesktopTest : public ::testing::Test {
 protected:
  static inline const QString companionTitle = QStringLiteral("Wendle");
  static inline const QString launcherTitle = QStringLiteral("Wendle Shortcuts");
  static inline const QString dropAreaTitle = QStringLiteral("Wendle File Drop Area");

  DesktopTest();
  void TearDown() override;

  /// Saves the companion's place (its bottom left corner, up from the screen's bottom) for the next start.
  static void placeCompanion(double x, double yUp);
  /// An active shortcut with an id made from its label.
  static Shortcut shortcut(const QString& label, ShortcutKind kind, const QString& destination);
  /// Saves a catalog of exactly `shortcuts` for the next start.
  static void writeShortcuts(const std::vector<Shortcut>& shortcuts);

  /// Starts a copy of the program and waits until it is ready and its companion shows (else
  /// throws, ending the test); it is killed after the test.
  RunningWendle& start();
  /// The companion's window, once it shows.
  TopWindow companion() const;
  /// Moves the pointer onto the companion and waits for the launcher.
  TopWindow openLauncher();
  /// Chooses a menu item through the test hook, where the menu is not what the road is about;
  /// gives the window titled `title` once it shows.
  std::optional<TopWindow> openFromHook(RunningWendle& program, const QString& item, const QString& title);
  /// Right-clicks the companion and clicks `item` in the menu that opens.
  void chooseFromMenu(const QString& item);
  /// Clicks the centre of what a screen reader finds named `name` in `window` of `program`.
  void clickOn(RunningWendle& program, const TopWindow& window, const QString& name);
  /// Drags the files `peer` offers from `from` onto the middle of the companion as a person
  /// does: presses on them, brings them near until the companion's drop area opens, carries
  /// them on into it and lets go once the pointer shows they are taken.
  ::testing::AssertionResult dropOnCompanion(DesktopPeer& peer, QPoint from);
  /// The first thing `program` shows (topmost window first) that `matches`, and its window.
  std::optional<std::pair<TopWindow, Seen>> onScreen(RunningWendle& program,
                                                     const std::function<bool(const Seen&)>& matches) const;
  /// Waits for `program` to show something named `name` anywhere (a pop-up list's item, say) and clicks it.
  void clickShown(RunningWendle& program, const QString& name);
  /// The window's title and frame, for a failure's message.
  static std::string where(const TopWindow& window);
  /// Whether the window shows whole: no other window lies over any of it.
  ::testing::AssertionResult inFront(const TopWindow& window) const;
  /// Saves a screenshot named after the test and `step`.
  void shot(const QString& step) const;

  DesktopHome home;
  XInput input;
  XWindows windows;
  XScreen screen;
  std::vector<std::unique_ptr<RunningWendle>> programs;
};

}  // namespace desk

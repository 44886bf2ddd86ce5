#include "app/AppDelegate.h"
#include "character/ui/CompanionPanel.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Screens.h"
#include "shortcuts/ShortcutStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

// A display whose size changes (a lower resolution, a projector) can leave the
// companion beyond its edges, where nothing could reach it again.
TEST(CompanionPlace, ADisplayThatChangesSizeKeepsTheCompanionWithinReach) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  AppDelegate delegate(
      std::make_shared<ShortcutStore>(defaults, pf::SystemInfo::applicationDataDirectory()),
      defaults, QString());
  delegate.applicationDidFinishLaunching();
  CompanionPanel* panel = delegate.companionPanel();
  const pf::Rect screen = pf::Screens::frame(pf::Screens::main());
  panel->setFrameOrigin({screen.maxX() + 400, 0});
  ASSERT_FALSE(pf::Screens::containing(panel->frame()));

  QScreen* display = QGuiApplication::primaryScreen();
  emit display->geometryChanged(display->geometry());
  EXPECT_TRUE(pf::Screens::containing(panel->frame()));
  EXPECT_EQ(defaults.doubleValue(AppDelegate::robotXKey), panel->frame().origin.x);
}

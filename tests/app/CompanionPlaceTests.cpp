#include "app/AppDelegate.h"
#include "character/CharacterSize.h"
#include "character/ui/CompanionPanel.h"
#include "platform/core/NotificationCenter.h"
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
  AppDelegate delegate(std::make_shared<ShortcutStore>(defaults, pf::SystemInfo::applicationDataDirectory()), defaults,
                       QString());
  delegate.applicationDidFinishLaunching();
  CompanionPanel* panel = delegate.companionPanel();
  const pf::Rect screen = pf::Screens::frame(pf::Screens::main());
  QScreen* display = QGuiApplication::primaryScreen();
  const pf::Point reachable{screen.minX() + 30, screen.minY() + 40};
  panel->setFrameOrigin(reachable);
  emit display->geometryChanged(display->geometry());
  EXPECT_EQ(panel->frame().origin, reachable);

  panel->setFrameOrigin({screen.maxX() + 400, 0});
  ASSERT_FALSE(pf::Screens::containing(panel->frame()));
  emit display->geometryChanged(display->geometry());
  EXPECT_TRUE(pf::Screens::containing(panel->frame()));
  EXPECT_EQ(defaults.doubleValue(AppDelegate::robotXKey), panel->frame().origin.x);
}

// The size is chosen in any copy's settings; the companion takes it at once,
// and a delegate that is gone hears nothing more.
TEST(CompanionPlace, ASizeChangeGivesTheCompanionItsNewHeight) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  auto& center = pf::NotificationCenter::defaultCenter();
  const std::size_t observersBefore = center.observerCount();
  {
    AppDelegate delegate(std::make_shared<ShortcutStore>(defaults, pf::SystemInfo::applicationDataDirectory()),
                         defaults, QString());
    delegate.applicationDidFinishLaunching();
    CompanionPanel* panel = delegate.companionPanel();
    const double before = panel->frame().size.height;
    CharacterSize::write(defaults, CharacterSize::maximumLevel, 1200);
    EXPECT_GT(panel->frame().size.height, before);
    CharacterSize::write(defaults, CharacterSize::minimumLevel, 1200);
    EXPECT_LT(panel->frame().size.height, before);
  }
  EXPECT_EQ(center.observerCount(), observersBefore);
  center.post(CharacterSize::changed());
}

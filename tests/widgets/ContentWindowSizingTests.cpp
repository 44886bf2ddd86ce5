#include "widgets/ContentWindowSizing.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using pf::Size;

namespace {

// A window of any kind: what holds for one holds for every window sized this way.
const QString name = QStringLiteral("notes");
const QString key = ContentWindowSizing::keyPrefix + name;
const Size minimum{360, 464};
const Size initial{412, 530};

QVariantMap sizeRecord(const QVariant& width, const QVariant& height) {
  return {{QStringLiteral("width"), width}, {QStringLiteral("height"), height}};
}

Size openedSize(pf::UserDefaults* defaults) {
  pf::Window window;
  ContentWindowSizing sizing(&window, name, defaults, minimum, initial);
  return window.contentSize();
}

// What the window system delivers when the user drags an edge.
void userResizes(pf::Window& window, QSize to) {
  const QSize from = window.size();
  window.resize(to);
  QResizeEvent event(to, from);
  QSpontaneKeyEvent::setSpontaneous(&event);
  // sendEvent would clear the spontaneous flag; the window system goes through notify.
  QCoreApplication::instance()->notify(&window, &event);
}

}  // namespace

TEST(ContentWindowSizing, RestoresOnlyAUsableRememberedSize) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  EXPECT_EQ(openedSize(&defaults), initial);

  defaults.set(key, sizeRecord(500.0, 600.0));
  EXPECT_EQ(openedSize(&defaults), (Size{500, 600}));
  EXPECT_EQ(openedSize(nullptr), initial);

  defaults.set(key, sizeRecord(std::numeric_limits<double>::infinity(), 600.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, sizeRecord(std::numeric_limits<double>::quiet_NaN(), 600.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, sizeRecord(0.0, 600.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, sizeRecord(500.0, 10001.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, sizeRecord(true, 600.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, sizeRecord(QStringLiteral("500"), 600.0));
  EXPECT_EQ(openedSize(&defaults), initial);
  defaults.set(key, QVariantMap{{QStringLiteral("width"), 500.0}});
  EXPECT_EQ(openedSize(&defaults), initial);

  // Integers count as numbers; sizes below the minimum are raised to it.
  defaults.set(key, sizeRecord(qint64(200), qint64(700)));
  EXPECT_EQ(openedSize(&defaults), (Size{minimum.width, 700}));
  // A remembered size is not limited by the screen.
  defaults.set(key, sizeRecord(10000.0, 10000.0));
  EXPECT_EQ(openedSize(&defaults), (Size{10000, 10000}));
}

TEST(ContentWindowSizing, KeepsTheInitialSizeWithinTheScreenLessSixteenPoints) {
  const pf::Rect visible = pf::Screens::visibleFrame(pf::Screens::main());
  pf::Window window;
  ContentWindowSizing sizing(&window, QStringLiteral("huge"), nullptr, minimum, {5000, 5000});
  EXPECT_EQ(window.contentSize(), (Size{visible.width() - 16, visible.height() - 16}));
  EXPECT_EQ(window.minimumSize(), QSize(int(minimum.width), int(minimum.height)));
}

TEST(ContentWindowSizing, RemembersTheUsersResizeButNotTheProgramsOwn) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  pf::Window window;
  ContentWindowSizing sizing(&window, name, &defaults, minimum, initial);
  window.show();
  window.setContentSize({420, 540});
  EXPECT_FALSE(defaults.dictionary(key).has_value());

  userResizes(window, QSize(640, 480));
  EXPECT_EQ(defaults.dictionary(key), sizeRecord(640.0, 480.0));
  EXPECT_EQ(openedSize(&defaults), (Size{640, 480}));
}

TEST(ContentWindowSizing, UseDefaultPrefersTheUsersSizeAndKeepsItOnScreen) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  pf::Window window;
  ContentWindowSizing sizing(&window, name, &defaults, minimum, initial);
  sizing.useDefault({380, 500});
  EXPECT_EQ(window.contentSize(), (Size{380, 500}));
  sizing.useDefault({100, 100});
  EXPECT_EQ(window.contentSize(), minimum);

  defaults.set(key, sizeRecord(9000.0, 520.0));
  sizing.useDefault({380, 500});
  const pf::Rect visible = pf::Screens::visibleFrame(pf::Screens::main());
  EXPECT_EQ(window.contentSize(), (Size{visible.width() - 16, 520}));
}

TEST(ContentWindowSizing, FitSizeAdjustsTheSizesItSetsAndTheOneTheUserGaveThroughTheProgram) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  pf::Window window;
  ContentWindowSizing sizing(&window, QStringLiteral("launcher"), &defaults, {100, 100}, {333, 222},
                             [](Size s) { return Size{std::floor(s.width / 100) * 100, s.height}; });
  EXPECT_EQ(window.contentSize(), (Size{300, 222}));

  window.setContentSize({456, 321});
  // The size is stored under the name the settings file has always used.
  const QString launcherKey = QStringLiteral("contentSize.launcher");
  EXPECT_FALSE(defaults.dictionary(launcherKey).has_value());
  sizing.userResized();
  EXPECT_EQ(window.contentSize(), (Size{400, 321}));
  EXPECT_EQ(defaults.dictionary(launcherKey), sizeRecord(400.0, 321.0));
}

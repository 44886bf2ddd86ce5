#include "shortcuts/GifSupport.h"
#include "shortcuts/ui/ShortcutDanceView.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

/// A folder in the test's home holding dance.gif with the given frame delays.
QString folderWith(const std::vector<int>& centiseconds) {
  const QString folder = test::home() + QStringLiteral("/dance");
  QDir().mkpath(folder);
  QFile file(folder + QStringLiteral("/dance.gif"));
  file.open(QIODevice::WriteOnly);
  file.write(test::gif(centiseconds));
  return folder;
}

}  // namespace

TEST(ShortcutDanceViewTest, PlaysEveryFrameForItsDelayThenFinishesOnce) {
  QWidget host;
  ShortcutDanceView view(folderWith({3, 0, -1}), QStringLiteral("blue"), &host);
  EXPECT_EQ(view.frames().size(), 3u);
  EXPECT_EQ(view.durations(), (std::vector<double>{0.03, 0.02, 0.1}));
  int finishes = 0;
  std::vector<int> shown;
  view.finished = [&] { ++finishes; };
  QElapsedTimer clock;
  clock.start();
  host.show();
  while (finishes == 0 && clock.elapsed() < 5000) {
    if (shown.empty() || shown.back() != view.frameIndex()) shown.push_back(view.frameIndex());
    QTest::qWait(1);
  }
  EXPECT_GE(clock.elapsed(), 140);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2}));
  QTest::qWait(50);
  EXPECT_EQ(finishes, 1);
  EXPECT_FALSE(view.isTicking());
}

TEST(ShortcutDanceViewTest, NoTimerRunsWhileHidden) {
  QWidget host;
  ShortcutDanceView view(folderWith({2}), QStringLiteral("blue"), &host);
  int finishes = 0;
  view.finished = [&] { ++finishes; };
  EXPECT_FALSE(view.isTicking());
  QTest::qWait(60);
  EXPECT_EQ(finishes, 0);
  host.show();
  EXPECT_TRUE(view.isTicking());
  host.hide();
  EXPECT_FALSE(view.isTicking());
  host.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return finishes == 1; }, 2000));
}

TEST(ShortcutDanceViewTest, ShutdownStopsWithoutFinishing) {
  QWidget host;
  auto* view = new ShortcutDanceView(folderWith({2, 2}), QStringLiteral("blue"), &host);
  int finishes = 0;
  view->finished = [&] { ++finishes; };
  host.show();
  view->shutdown();
  EXPECT_EQ(view->parent(), nullptr);
  EXPECT_TRUE(view->frames().empty());
  EXPECT_TRUE(view->durations().empty());
  EXPECT_FALSE(view->isTicking());
  QTest::qWait(80);
  EXPECT_EQ(finishes, 0);
  delete view;
}

TEST(ShortcutDanceViewTest, AMissingFileShowsNothingAndFinishesSoon) {
  QWidget host;
  ShortcutDanceView view(test::home() + QStringLiteral("/nowhere"), QStringLiteral("blue"), &host);
  EXPECT_TRUE(view.frames().empty());
  int finishes = 0;
  view.finished = [&] { ++finishes; };
  host.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return finishes == 1; }, 2000));
  EXPECT_TRUE(view.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(ShortcutDanceViewTest, TheCompanionsDanceIsShippedWithTheProgram) {
  ShortcutDanceView view(QStringLiteral(WENDLE_ASSETS), QStringLiteral("blue"));
  EXPECT_EQ(view.frames().size(), 12u);
  EXPECT_EQ(view.durations(), std::vector<double>(12, 0.08));
  EXPECT_EQ(view.frames().front().size(), QSize(128, 128));
}

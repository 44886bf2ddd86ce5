#include "shortcuts/GifSupport.h"
#include "shortcuts/ui/ShortcutDanceView.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
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

TEST(ShortcutDanceViewTest, FinishesWhenTheFramesTimeHasPassedSteppingNoFrameWhileHidden) {
  const struct {
    const char* name;
    std::optional<std::vector<int>> centiseconds;
    bool shown;
    int milliseconds;
  } cases[] = {{"three hidden frames", std::vector<int>{3, 3, 3}, false, 90},
               {"a missing file, hidden", std::nullopt, false, 20},
               {"a missing file, shown", std::nullopt, true, 20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget host;
    QElapsedTimer clock;
    clock.start();
    ShortcutDanceView view(c.centiseconds ? folderWith(*c.centiseconds) : test::home() + QStringLiteral("/nowhere"),
                           QStringLiteral("blue"), &host);
    EXPECT_TRUE(view.testAttribute(Qt::WA_TransparentForMouseEvents));
    int finishes = 0;
    view.finished = [&] { ++finishes; };
    host.setVisible(c.shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return finishes == 1; }, 2000));
    EXPECT_GE(clock.elapsed(), c.milliseconds);
    if (!c.shown) {
      EXPECT_EQ(view.frameIndex(), 0);
    }
    QTest::qWait(30);
    EXPECT_EQ(finishes, 1);
    EXPECT_FALSE(view.isTicking());
  }
}

TEST(ShortcutDanceViewTest, ShownAgainItPicksUpAtTheFrameTheTimeHasReached) {
  QWidget host;
  ShortcutDanceView view(folderWith({5, 5, 60}), QStringLiteral("blue"), &host);
  int finishes = 0;
  view.finished = [&] { ++finishes; };
  host.show();
  host.hide();
  QTest::qWait(150);
  host.show();
  EXPECT_EQ(view.frameIndex(), 2);
  EXPECT_EQ(finishes, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return finishes == 1; }, 2000));
}

TEST(ShortcutDanceViewTest, ShutdownStopsWithoutFinishingAndRemovesTheView) {
  QWidget host;
  QPointer<ShortcutDanceView> view = new ShortcutDanceView(folderWith({2, 2}), QStringLiteral("blue"), &host);
  int finishes = 0;
  view->finished = [&] { ++finishes; };
  host.show();
  view->shutdown();
  EXPECT_TRUE(view->isHidden());
  EXPECT_TRUE(view->frames().empty());
  EXPECT_TRUE(view->durations().empty());
  EXPECT_FALSE(view->isTicking());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(view.isNull());
  QTest::qWait(80);
  EXPECT_EQ(finishes, 0);
}

TEST(ShortcutDanceViewTest, TheCompanionsDanceIsShippedWithTheProgram) {
  ShortcutDanceView view(QStringLiteral(WENDLE_ASSETS), QStringLiteral("blue"));
  EXPECT_EQ(view.frames().size(), 12u);
  EXPECT_EQ(view.durations(), std::vector<double>(12, 0.08));
  EXPECT_EQ(view.frames().front().size(), QSize(128, 128));
}

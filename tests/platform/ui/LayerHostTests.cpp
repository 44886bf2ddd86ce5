#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/Transaction.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/LayerHost.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace pf;

namespace {

// Records the regions the host is asked to paint.
class PaintRecorder final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
  QRegion all() const {
    QRegion r;
    for (const auto& region : regions) r += region;
    return r;
  }
  std::vector<QRegion> regions;
};

class Host : public ::testing::Test {
 protected:
  void SetUp() override {
    AnimationClock::setTimeSource([this] { return now; });
    root = Layer::make();
    root->setFrame(Rect(0, 0, 200, 100));
    host.resize(200, 100);
    host.setRootLayer(root);
  }
  void TearDown() override { AnimationClock::setTimeSource({}); }

  void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  std::shared_ptr<Layer> dot(Rect frame) {
    auto layer = Layer::make();
    layer->setFrame(frame);
    layer->setBackgroundColor(Color::calibratedRGB(1, 0, 0, 1));
    root->addSublayer(layer);
    return layer;
  }

  static BasicAnimation fade(float repeats) {
    BasicAnimation a("opacity");
    a.fromValue = 0.0;
    a.toValue = 1.0;
    a.duration = 1;
    a.repeatCount = repeats;
    return a;
  }

  double now = 0;
  std::shared_ptr<Layer> root;
  LayerHost host;
};

}  // namespace

TEST_F(Host, ShowsTheTreeYUp) {
  dot(Rect(10, 10, 20, 20));
  host.show();
  settle();
  const QImage shot = host.grab().toImage();
  EXPECT_EQ(shot.pixelColor(20, 100 - 20), QColor(Qt::red));
  EXPECT_NE(shot.pixelColor(20, 20), QColor(Qt::red));
}

TEST_F(Host, ClockRunsOnlyWhileAShownHostAnimates) {
  auto layer = dot(Rect(10, 10, 20, 20));
  host.show();
  settle();
  EXPECT_FALSE(FrameClock::shared().isRunning());  // nothing moves: no timer

  layer->addAnimation(fade(Animation::repeatForever), "fade");
  settle();
  EXPECT_TRUE(host.isAnimating());
  EXPECT_TRUE(FrameClock::shared().isRunning());

  host.hide();
  EXPECT_FALSE(FrameClock::shared().isRunning());
  host.show();
  settle();
  EXPECT_TRUE(FrameClock::shared().isRunning());

  layer->removeAnimation("fade");
  settle();
  EXPECT_FALSE(FrameClock::shared().isRunning());
}

TEST_F(Host, AHiddenHostInAShownWindowDoesNotTick) {
  QWidget window;
  window.resize(200, 100);
  host.setParent(&window);
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));  // no early return: the window must give the host back
  host.hide();
  dot(Rect(10, 10, 20, 20))->addAnimation(fade(Animation::repeatForever));  // a change while hidden
  settle();
  EXPECT_FALSE(FrameClock::shared().isRunning());
  host.show();
  settle();
  EXPECT_TRUE(FrameClock::shared().isRunning());
  host.setParent(nullptr);
}

TEST_F(Host, ClockStopsWhenTheLastAnimationEnds) {
  dot(Rect(10, 10, 20, 20))->addAnimation(fade(1));
  host.show();
  settle();
  EXPECT_TRUE(FrameClock::shared().isRunning());
  now = 1.5;  // past its end: the next tick finds nothing running
  // A loaded machine may hold the tick back; it must come, and stop the clock.
  EXPECT_TRUE(QTest::qWaitFor([] { return !FrameClock::shared().isRunning(); }, 2000));
  EXPECT_FALSE(host.isAnimating());
}

TEST_F(Host, OneClockForEveryHost) {
  LayerHost other;
  auto otherRoot = Layer::make();
  otherRoot->setFrame(Rect(0, 0, 50, 50));
  otherRoot->setBackgroundColor(Color::calibratedRGB(0, 0, 1, 1));
  otherRoot->addAnimation(fade(Animation::repeatForever));
  other.resize(50, 50);
  other.setRootLayer(otherRoot);
  dot(Rect(10, 10, 20, 20));
  root->addAnimation(fade(Animation::repeatForever));
  host.show();
  other.show();
  settle();
  EXPECT_TRUE(host.isAnimating());
  EXPECT_TRUE(other.isAnimating());
  host.hide();
  EXPECT_TRUE(FrameClock::shared().isRunning());
  other.hide();
  EXPECT_FALSE(FrameClock::shared().isRunning());
}

TEST_F(Host, RepaintsOnlyWhatChangedOncePerTransaction) {
  dot(Rect(150, 70, 20, 20));
  auto moving = dot(Rect(10, 10, 10, 10));
  host.show();
  settle();
  PaintRecorder recorder;
  host.installEventFilter(&recorder);
  {
    Transaction batch;
    for (int x = 10; x <= 40; x += 10) moving->setPosition({x + 5.0, 15});
  }
  settle();
  ASSERT_EQ(recorder.regions.size(), 1u);
  const QRegion painted = recorder.all();
  EXPECT_TRUE(painted.contains(QPoint(12, 100 - 15)));    // where it was
  EXPECT_TRUE(painted.contains(QPoint(42, 100 - 15)));    // where it is
  EXPECT_FALSE(painted.contains(QPoint(160, 100 - 80)));  // the still dot is left alone
  host.removeEventFilter(&recorder);
}

TEST_F(Host, ReplacingTheRootLeavesTheOldTreeAlone) {
  auto old = root;
  auto fresh = Layer::make();
  host.setRootLayer(fresh);
  host.show();
  settle();
  old->addAnimation(fade(Animation::repeatForever));
  settle();
  EXPECT_FALSE(FrameClock::shared().isRunning());
  host.setRootLayer(nullptr);
  settle();
  EXPECT_FALSE(host.isAnimating());
}

TEST_F(Host, RepaintsOnlyWhatLiesOnAScreenAndTheRestOnceItComesOnto) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  auto band = dot(Rect(0, 0, 200, 100));
  band->addAnimation(fade(Animation::repeatForever), "fade");
  host.move(screen.left() - 100, screen.top() + 10);  // the left half off the screen
  host.show();
  settle();
  PaintRecorder recorder;
  host.installEventFilter(&recorder);
  for (int frame = 1; frame <= 3; ++frame) {
    now = frame * 0.1;
    QTest::qWait(2 * 1000 / FrameClock::framesPerSecond);
  }
  EXPECT_TRUE(recorder.all().contains(QPoint(150, 50)));
  EXPECT_FALSE(recorder.all().intersects(QRect(0, 0, 90, 100)));  // the window frame may shift it a little

  band->removeAnimation("fade");  // still: only the move can bring a repaint
  settle();
  recorder.regions.clear();
  host.move(screen.left() + 10, screen.top() + 10);
  QTest::qWait(50);
  settle();
  EXPECT_TRUE(recorder.all().contains(QRect(0, 0, 100, 100)));
  host.removeEventFilter(&recorder);
}

TEST(FrameClockRates, WakesForTheFastestAndTicksEachAtItsRate) {
  struct Case {
    std::vector<double> rates;
    int interval;  // ms between wake-ups
  };
  const std::vector<Case> cases = {
      {{15}, 66},         {{30, 15}, 33},  {{10}, 100},    {{15, 10}, 33},    {{12}, 66},
      {{60}, 33},         {{10, 5}, 100},  {{6, 10}, 33},  {{2.5, 10}, 100},  {{2.5, 15}, 66},
      {{30 / 29.0, 15}, 33},
  };
  FrameClock& clock = FrameClock::shared();
  int once = 0;
  clock.start(
      &once, [] {}, 1);
  EXPECT_EQ(clock.interval(), 1000);
  clock.stop(&once);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.rates));
    std::vector<int> ticks(c.rates.size());
    for (std::size_t i = 0; i < c.rates.size(); ++i)
      clock.start(
          &ticks[i], [&ticks, i] { ++ticks[i]; }, c.rates[i]);
    EXPECT_EQ(clock.interval(), c.interval);
    const auto fastest = std::max_element(c.rates.begin(), c.rates.end()) - c.rates.begin();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks[fastest] >= 6; }, 3000));
    for (std::size_t i = 0; i < c.rates.size(); ++i) {
      const double expected = 6.0 * std::min(c.rates[i], 30.0) / std::min(c.rates[fastest], 30.0);
      EXPECT_NEAR(ticks[i], expected, 1.0) << "rate " << c.rates[i];
      clock.stop(&ticks[i]);
    }
    EXPECT_FALSE(clock.isRunning());
  }
}

TEST(FrameClockRates, ASlowSubscriberKeepsTickingWhenTheFastOneLeavesOnAnOddFrame) {
  FrameClock& clock = FrameClock::shared();
  int fast = 0, slow = 0, fastAtSlow = 0;
  clock.start(&fast, [&] { ++fast; });
  clock.start(
      &slow, [&] { fastAtSlow = fast, ++slow; }, 15);
  // The fast one ticked since the slow one last did: the clock stands on an odd frame.
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow >= 1 && fast > fastAtSlow; }, 3000));
  clock.stop(&fast);
  const int before = slow;
  EXPECT_TRUE(QTest::qWaitFor([&] { return slow >= before + 2; }, 1000));
  EXPECT_EQ(clock.interval(), 66);
  clock.stop(&slow);
}

#include "platform/core/QtMainQueue.h"
#include "platform/core/QtTimer.h"
#include "support/EventLoop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <gtest/gtest.h>

using pf::QtMainQueue;
using pf::TimerAccuracy;

namespace {

void drainEvents(int msecs) {
  QDeadlineTimer deadline(msecs);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

}  // namespace

TEST(QtMainQueue, AsyncRunsAfterTheCurrentEventInOrder) {
  QObject owner;
  QStringList log;
  QtMainQueue::shared().async(&owner, [&] { log << "first"; });
  QtMainQueue::shared().async(&owner, [&] { log << "second"; });
  log << "caller";
  EXPECT_TRUE(test::processEventsUntil([&] { return log.size() == 3; }));
  EXPECT_EQ(log, (QStringList{"caller", "first", "second"}));
}

TEST(QtMainQueue, DestroyedContextDropsPendingWork) {
  int ran = 0;
  bool sentinel = false;
  auto owner = std::make_unique<QObject>();
  QtMainQueue::shared().async(owner.get(), [&] { ++ran; });
  QtMainQueue::shared().after(0.01, owner.get(), [&] { ++ran; });
  QtMainQueue::shared().after(0.05, nullptr, [&] { sentinel = true; });
  owner.reset();
  EXPECT_TRUE(test::processEventsUntil([&] { return sentinel; }));
  EXPECT_EQ(ran, 0);
}

TEST(QtMainQueue, AsyncFromAWorkerThreadRunsOnTheMainThread) {
  QObject owner;
  QThread* ranOn = nullptr;
  std::unique_ptr<QThread> worker(
      QThread::create([&] { QtMainQueue::shared().async(&owner, [&] { ranOn = QThread::currentThread(); }); }));
  worker->start();
  EXPECT_TRUE(test::processEventsUntil([&] { return ranOn != nullptr; }));
  worker->wait();
  EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
}

TEST(QtTimer, PreciseOneShotNeverFiresEarly) {
  auto timer = QtMainQueue::shared().makeTimer(TimerAccuracy::precise);
  QElapsedTimer elapsed;
  qint64 firedAfter = -1;
  elapsed.start();
  timer->start(0.05, false, [&] { firedAfter = elapsed.elapsed(); });
  EXPECT_TRUE(timer->isActive());
  EXPECT_TRUE(test::processEventsUntil([&] { return firedAfter >= 0; }));
  EXPECT_GE(firedAfter, 50);
  EXPECT_FALSE(timer->isActive());
}

TEST(QtTimer, RepeatsUntilDestroyedFromItsOwnCallback) {
  std::unique_ptr<pf::Timer> timer = QtMainQueue::shared().makeTimer();
  int fired = 0;
  timer->start(0.005, true, [&] {
    if (++fired == 3) timer.reset();
  });
  EXPECT_TRUE(test::processEventsUntil([&] { return !timer; }));
  drainEvents(30);
  EXPECT_EQ(fired, 3);
}

TEST(QtTimer, DestroyedOrStoppedTimerNeverFires) {
  int fired = 0;
  {
    pf::QtTimer timer;
    timer.start(0.001, true, [&] { ++fired; });
  }
  pf::QtTimer stopped;
  stopped.start(0.001, false, [&] { ++fired; });
  stopped.stop();
  drainEvents(30);
  EXPECT_EQ(fired, 0);
}

TEST(QtTimer, IntervalsAreClampedToWhatQtTakes) {
  EXPECT_EQ(pf::QtTimer::intervalMSecs(0.03, true), 30);
  EXPECT_EQ(pf::QtTimer::intervalMSecs(0, true), 1);
  EXPECT_EQ(pf::QtTimer::intervalMSecs(0, false), 0);
  EXPECT_EQ(pf::QtTimer::intervalMSecs(-5, false), 0);
  EXPECT_EQ(pf::QtTimer::intervalMSecs(1e12, false), std::numeric_limits<int>::max());
}

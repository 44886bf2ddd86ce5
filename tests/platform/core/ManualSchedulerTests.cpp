#include "support/ManualScheduler.h"

#include <QObject>
#include <gtest/gtest.h>

using test::ManualScheduler;

namespace {

double secondsSince(const QDateTime& start, const QDateTime& now) { return start.msecsTo(now) / 1000.0; }

}  // namespace

TEST(ManualScheduler, RunsTimersAndQueuedWorkInTimeOrder) {
  ManualScheduler scheduler;
  const QDateTime start = scheduler.now();
  QObject owner;
  QStringList log;
  const auto note = [&](const QString& what) {
    log << QString("%1@%2").arg(what).arg(secondsSince(start, scheduler.now()));
  };
  auto timer = scheduler.makeTimer();
  timer->start(2, false, [&] {
    note("timer");
    scheduler.async(&owner, [&] { note("async from timer"); });
  });
  scheduler.after(1, &owner, [&] { note("after 1"); });
  scheduler.after(2, &owner, [&] { note("after 2"); });
  scheduler.async(&owner, [&] { note("async"); });
  EXPECT_TRUE(log.isEmpty());

  scheduler.advance(0);
  EXPECT_EQ(log, QStringList{"async@0"});
  scheduler.advance(5);
  EXPECT_EQ(log, (QStringList{"async@0", "after 1@1", "timer@2", "after 2@2", "async from timer@2"}));
  EXPECT_EQ(scheduler.now(), start.addSecs(5));
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(ManualScheduler, RepeatingTimerFiresEveryIntervalUntilStopped) {
  ManualScheduler scheduler;
  const QDateTime start = scheduler.now();
  auto timer = scheduler.makeTimer();
  QList<double> fired;
  timer->start(0.03, true, [&] {
    fired << secondsSince(start, scheduler.now());
    if (fired.size() == 4) timer->stop();
  });
  scheduler.advance(0.1);
  EXPECT_EQ(fired, (QList<double>{0.03, 0.06, 0.09}));
  EXPECT_TRUE(timer->isActive());
  scheduler.advance(1);
  EXPECT_EQ(fired.size(), 4);
  EXPECT_FALSE(timer->isActive());
}

TEST(ManualScheduler, TimerRestartedFromItsOwnCallbackReplacesItsSchedule) {
  ManualScheduler scheduler;
  auto timer = scheduler.makeTimer();
  int fired = 0;
  std::function<void()> rearm = [&] {
    ++fired;
    timer->start(10, false, rearm);
  };
  timer->start(10, true, rearm);
  scheduler.advance(35);
  EXPECT_EQ(fired, 3);
  EXPECT_EQ(scheduler.pendingCount(), 1u);
}

TEST(ManualScheduler, DestroyedOwnerCancelsItsWorkAndTimers) {
  ManualScheduler scheduler;
  int ran = 0;
  auto owner = std::make_unique<QObject>();
  QObject other;
  scheduler.async(owner.get(), [&] { ran += 1; });
  scheduler.after(1, owner.get(), [&] { ran += 10; });
  scheduler.after(1, &other, [&] { ran += 100; });
  scheduler.after(1, nullptr, [&] { ran += 1000; });
  auto timer = scheduler.makeTimer();
  timer->start(0.5, true, [&] { ran += 10000; });
  owner.reset();
  timer.reset();
  scheduler.advance(2);
  EXPECT_EQ(ran, 1100);
}

TEST(ManualScheduler, TimerMayDestroyItselfAndOutliveTheScheduler) {
  std::unique_ptr<pf::Timer> survivor;
  {
    ManualScheduler scheduler;
    std::unique_ptr<pf::Timer> timer = scheduler.makeTimer();
    int fired = 0;
    timer->start(1, true, [&] {
      ++fired;
      timer.reset();
    });
    scheduler.advance(5);
    EXPECT_EQ(fired, 1);
    survivor = scheduler.makeTimer();
    survivor->start(1, true, [] {});
  }
  EXPECT_FALSE(survivor->isActive());
  survivor->start(1, false, [] {});
  survivor.reset();
}

// The check loop with a hand-moved clock: what is shown when, how long it
// sleeps, the answers, and the single runner across real processes.
#include "reminders/ReminderCoordinator.h"
#include "reminders/ReminderSupport.h"
#include "support/ChildProcess.h"
#include "support/EventLoop.h"
#include "support/HelperProcess.h"
#include "support/ManualScheduler.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QThread>
#include <csignal>

using test::journalFile;
using test::journalFolder;
using test::reminder;

namespace {

const QString alreadyChecking =
    QStringLiteral("Another Wendle is already checking reminders. This copy will not show duplicate alerts.");

QDateTime march(int day, int hour, int minute = 0, int second = 0, int msec = 0) {
  return QDateTime(QDate(2026, 3, day), QTime(hour, minute, second, msec), Qt::UTC);
}

/// A coordinator over the test folder on a hand-moved clock, recording what it asks of its owner.
struct Runner {
  test::ManualScheduler clock;
  ReminderStore store{journalFolder()};
  ReminderCoordinator coordinator{store, clock, clock};
  /// Reminder id and animation flag of every showing.
  std::vector<std::pair<QString, bool>> shown;
  int dismissed = 0;
  QStringList errors;
  bool available = true;
  int asked = 0;

  explicit Runner(const QDateTime& start = march(7, 12)) : clock(start) {
    coordinator.canPresent = [this] { return ++asked, available; };
    coordinator.onPresent = [this](const ReminderOccurrence& o, bool animate) {
      shown.emplace_back(o.reminder.id, animate);
    };
    coordinator.onDismiss = [this] { ++dismissed; };
    coordinator.onError = [this](const QString& text) { errors << text; };
  }
};

/// Saves reminders as another window or copy of the program would.
void saveElsewhere(const QuibReminder& r, const std::optional<QuibReminder>& expected = std::nullopt) {
  ReminderStore(journalFolder()).save(r, expected, march(7, 12));
}

using Shown = std::vector<std::pair<QString, bool>>;

}  // namespace

WENDLE_TEST_HELPER(runCoordinator) {
  ReminderStore store(args.value(0));
  test::ManualScheduler clock(QDateTime::fromString(args.value(1), Qt::ISODate));
  ReminderCoordinator coordinator(store, clock);
  coordinator.onPresent = [](const ReminderOccurrence& o, bool) { test::tellParent("shown " + o.reminder.id.toUtf8()); };
  coordinator.start();
  if (!coordinator.isRunning()) return 2;
  coordinator.done();
  // A program launched while the lock is held, still running after this process dies.
  qint64 child = 0;
  QProcess::startDetached("sleep", {"60"}, {}, &child);
  test::writeFile(args.value(0) + "/child.pid", QByteArray::number(child));
  test::tellParent("running");
  for (;;) QThread::sleep(60);
}

TEST(ReminderCoordinator, MissedDaysAreShownOnceAndDoneWaitsForTheNextDueTime) {
  const QuibReminder daily = reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 9, 0});
  saveElsewhere(daily);
  Runner r(march(7, 12));
  r.coordinator.start();
  ASSERT_EQ(r.shown, (Shown{{"R1", true}}));
  EXPECT_EQ(r.coordinator.active()->due, march(7, 9));

  r.coordinator.done();
  EXPECT_EQ(r.dismissed, 1);
  EXPECT_EQ(r.coordinator.active(), std::nullopt);
  EXPECT_EQ(r.store.file().occurrences[0].completedAt, march(7, 12));
  r.clock.advance(march(7, 12).secsTo(march(8, 8, 59, 59)));
  EXPECT_EQ(r.shown.size(), 1u);
  r.clock.advance(1);
  EXPECT_EQ(r.shown, (Shown{{"R1", true}, {"R1", true}}));
  EXPECT_EQ(r.coordinator.active()->due, march(8, 9));
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join(' ').toStdString();
}

TEST(ReminderCoordinator, TheTimerSleepsUntilTheNextDueTimeWithinAQuarterSecondAndThirtySeconds) {
  const struct {
    const char* what;
    QDateTime start;
    QuibReminder scheduled;
    double wait;
  } cases[] = {
      // The reminder at 12:00 is due in 10 s, in 0.1 s, or in an hour.
      {"due in 10 s", march(7, 11, 59, 50), reminder("R1", ReminderRepeat::daily, {2026, 3, 7, 12, 0}), 10},
      {"due in 0.1 s", march(7, 11, 59, 59, 900), reminder("R1", ReminderRepeat::once, {2026, 3, 7, 12, 0}),
       0.25},
      {"due in an hour", march(7, 11), reminder("R1", ReminderRepeat::once, {2026, 3, 7, 12, 0}), 30},
      {"paused", march(7, 11, 59, 50),
       [] {
         QuibReminder paused = reminder("R1", ReminderRepeat::daily, {2026, 3, 7, 12, 0});
         paused.paused = true;
         return paused;
       }(),
       30},
  };
  for (const auto& c : cases) {
    QDir(journalFolder()).removeRecursively();
    saveElsewhere(c.scheduled);
    Runner r(c.start);
    r.coordinator.start();
    ASSERT_TRUE(r.shown.empty()) << c.what;
    // Whatever the next check finds is shown by it: a reminder due by then, or
    // one that another copy adds in the meantime, already due.
    saveElsewhere(reminder("R2", ReminderRepeat::once, {2026, 3, 7, 9, 0}));
    r.clock.advance(c.wait - 0.01);
    EXPECT_TRUE(r.shown.empty()) << c.what;
    r.clock.advance(0.01);
    EXPECT_EQ(r.shown.size(), 1u) << c.what;
  }
}

TEST(ReminderCoordinator, AnOccurrenceWaitingForTheCompanionIsAskedAboutEveryFiveSeconds) {
  saveElsewhere(reminder("R1", ReminderRepeat::once, {2026, 3, 7, 9, 0}));
  Runner r;
  r.available = false;
  r.coordinator.start();
  EXPECT_EQ(r.asked, 1);
  r.clock.advance(4.99);
  EXPECT_EQ(r.asked, 1);
  r.clock.advance(0.01);
  EXPECT_EQ(r.asked, 2);
  EXPECT_TRUE(r.shown.empty());
  EXPECT_EQ(r.store.file().occurrences[0].presentedAt, std::nullopt);
  r.available = true;
  r.clock.advance(5);
  EXPECT_EQ(r.shown, (Shown{{"R1", true}}));
}

TEST(ReminderCoordinator, ASnoozedAlertReturnsWithItsAnimation) {
  saveElsewhere(reminder("R1", ReminderRepeat::once, {2026, 3, 7, 9, 0}));
  Runner r;
  r.coordinator.start();
  r.coordinator.snooze(600);
  EXPECT_EQ(r.errors, QStringList{"Choose a 5 minute, 15 minute or 1 hour snooze."});
  EXPECT_EQ(r.dismissed, 0);
  r.coordinator.snooze(300);
  EXPECT_EQ(r.dismissed, 1);
  r.clock.advance(299.99);
  EXPECT_EQ(r.shown.size(), 1u);
  r.clock.advance(0.01);
  EXPECT_EQ(r.shown, (Shown{{"R1", true}, {"R1", true}}));
}

TEST(ReminderCoordinator, AfterStopAndStartTheShownAlertReturnsWithoutItsAnimation) {
  saveElsewhere(reminder("R1", ReminderRepeat::once, {2026, 3, 7, 9, 0}));
  Runner r;
  r.coordinator.start();
  r.coordinator.stop();
  EXPECT_FALSE(r.coordinator.isRunning());
  EXPECT_EQ(r.coordinator.active(), std::nullopt);
  r.clock.advance(60);  // no timer runs while stopped
  EXPECT_EQ(r.shown.size(), 1u);
  r.coordinator.start();
  EXPECT_EQ(r.shown, (Shown{{"R1", true}, {"R1", false}}));
  ASSERT_TRUE(r.coordinator.active());

  // A restarted program shows it the same way.
  r.coordinator.stop();
  Runner restarted;
  restarted.coordinator.start();
  EXPECT_EQ(restarted.shown, (Shown{{"R1", false}}));
}

TEST(ReminderCoordinator, EditsElsewhereRefreshOrDismissTheShownAlert) {
  const QuibReminder first = reminder("R1", ReminderRepeat::once, {2026, 3, 7, 9, 0});
  saveElsewhere(first);
  saveElsewhere(reminder("R2", ReminderRepeat::once, {2026, 3, 7, 10, 0}));
  Runner r;
  r.coordinator.start();
  QuibReminder reworded = first;
  reworded.message = "New words";
  saveElsewhere(reworded, first);
  r.clock.advance(30);
  EXPECT_EQ(r.shown, (Shown{{"R1", true}, {"R1", false}}));
  EXPECT_EQ(r.coordinator.active()->reminder.message, "New words");

  ReminderStore(journalFolder()).pause("R1", true);
  r.clock.advance(30);
  EXPECT_EQ(r.dismissed, 1);
  EXPECT_EQ(r.shown, (Shown{{"R1", true}, {"R1", false}, {"R2", true}}));
  EXPECT_EQ(r.coordinator.active()->reminder.id, "R2");
}

TEST(ReminderCoordinator, AFailureIsToldOnceUntilACheckSucceeds) {
  saveElsewhere(reminder("R1", ReminderRepeat::once, {2026, 3, 9, 9, 0}));
  const QByteArray good = test::contentsOf(journalFile());
  Runner r;
  r.coordinator.start();
  test::writeFile(journalFile(), "{ damaged");
  r.clock.advance(95);
  ASSERT_EQ(r.errors.size(), 1);
  EXPECT_EQ(r.errors[0], r.store.failure());
  test::writeFile(journalFile(), good);
  r.clock.advance(30);
  test::writeFile(journalFile(), "{ damaged");
  r.clock.advance(60);
  EXPECT_EQ(r.errors.size(), 2);
  EXPECT_TRUE(r.shown.empty());
  EXPECT_TRUE(test::contentsOf(journalFile()) == "{ damaged");
}

TEST(ReminderCoordinator, AnswersWithNothingShownDoNothing) {
  Runner r;
  r.coordinator.start();
  r.coordinator.start();  // a second start is no second runner
  r.coordinator.done();
  r.coordinator.snooze(300);
  EXPECT_EQ(r.dismissed, 0);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join(' ').toStdString();
  EXPECT_TRUE(r.coordinator.isRunning());
}

TEST(ReminderCoordinatorProcesses, ARefusedCopyTakesOverTheMomentTheRunnerDies) {
  // The runner answers R1; R2 falls due after it was killed.
  saveElsewhere(reminder("R1", ReminderRepeat::once, {2026, 3, 7, 9, 0}));
  saveElsewhere(reminder("R2", ReminderRepeat::once, {2026, 3, 7, 12, 5}));
  test::ChildProcess other("runCoordinator", {journalFolder(), march(7, 12).toString(Qt::ISODate)});
  ASSERT_TRUE(other.waitForLine("running")) << other.errors().toStdString();
  EXPECT_EQ(other.lines(), (QByteArrayList{"shown R1", "running"}));

  Runner r(march(7, 12, 10));
  r.coordinator.start();
  r.coordinator.start();
  EXPECT_FALSE(r.coordinator.isRunning());
  EXPECT_TRUE(r.coordinator.isWaiting());
  EXPECT_EQ(r.errors, QStringList{alreadyChecking});
  r.clock.advance(120);
  EXPECT_FALSE(test::processEventsUntil([&] { return r.coordinator.isRunning(); }, 1));
  EXPECT_TRUE(r.shown.empty());

  // The lock dies with its process, even though a program it launched lives on.
  other.kill();
  const qint64 child = test::contentsOf(journalFolder() + "/child.pid").toLongLong();
  ASSERT_GT(child, 0);
  EXPECT_EQ(::kill(pid_t(child), 0), 0) << "the launched program should still run";
  EXPECT_TRUE(test::processEventsUntil([&] { return r.coordinator.isRunning(); }));
  ::kill(pid_t(child), SIGKILL);
  EXPECT_FALSE(r.coordinator.isWaiting());
  EXPECT_EQ(r.shown, (Shown{{"R2", true}}));

  // A waiting copy that stops lets go of its wait: it never takes the lock afterwards.
  Runner stopped;
  stopped.coordinator.start();
  ASSERT_TRUE(stopped.coordinator.isWaiting());
  stopped.coordinator.stop();
  EXPECT_FALSE(stopped.coordinator.isWaiting());
  r.coordinator.stop();
  EXPECT_FALSE(test::processEventsUntil([&] { return stopped.coordinator.isRunning(); }, 1));
  EXPECT_TRUE(pf::FileLock::tryLock(journalFolder() + "/reminders-runner.lock").has_value());
}

// Occurrences in the journal: one catch-up alert for missed repeats, days
// never collected twice, Done using up the latest due time, the queue order
// and the answers Snooze and Done.
#include "reminders/ReminderSupport.h"
#include "support/TestFiles.h"

using test::journalFile;
using test::journalFolder;
using test::messageOf;
using test::reminder;

namespace {

const pf::Calendar utcCalendar{QTimeZone::utc()};

/// A moment in March 2026 (UTC, which the tests run in).
QDateTime march(int day, int hour, int minute = 0) {
  return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::UTC);
}

/// A journal holding `reminders` and `occurrences`, and a store over it.
struct Journal {
  ReminderStore store{journalFolder()};
  int changes = 0;

  Journal(const std::vector<QuibReminder>& reminders, const std::vector<ReminderOccurrence>& occurrences = {}) {
    ReminderFile file;
    file.reminders = reminders;
    file.occurrences = occurrences;
    test::writeJournal(file);
    store.reload();
    store.onChange = [this] { ++changes; };
  }

  void collect(const QDateTime& now) { store.collect(now, utcCalendar); }

  /// The due moments of the occurrences, in stored order.
  std::vector<QDateTime> dues() const {
    std::vector<QDateTime> result;
    for (const auto& o : store.file().occurrences) result.push_back(o.due);
    return result;
  }
};

QuibReminder daily9() { return reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 9, 0}); }

ReminderOccurrence completed(const QuibReminder& r, const QDateTime& due) {
  ReminderOccurrence o = test::occurrenceOf(r, due);
  o.completedAt = due.addSecs(60);
  return o;
}

}  // namespace

TEST(ReminderOccurrences, MissedRepeatsCollapseIntoOneCatchUp) {
  const struct {
    const char* what;
    QuibReminder reminder;
    QDateTime now;
    std::vector<QDateTime> dues;
  } cases[] = {
      {"after today's time", daily9(), march(7, 10), {march(4, 9), march(7, 9)}},
      {"before today's time", daily9(), march(7, 8), {march(4, 9), march(6, 9)}},
  };
  for (const auto& c : cases) {
    Journal j({c.reminder}, {completed(c.reminder, march(4, 9))});
    j.collect(c.now);
    EXPECT_EQ(j.dues(), c.dues) << c.what;
    EXPECT_EQ(j.store.file().occurrences.back().id, ReminderSchedule::key(c.reminder, c.dues.back(), utcCalendar));
    EXPECT_TRUE(j.store.file().occurrences.back().isOpen());
  }
}

TEST(ReminderOccurrences, NewRemindersAreCollectedAtTheNextCollection) {
  Journal j({reminder("R1", ReminderRepeat::daily, {2026, 3, 7, 9, 0}),
             reminder("R2", ReminderRepeat::once, {2025, 12, 24, 18, 0}),
             reminder("R3", ReminderRepeat::once, {2026, 3, 7, 11, 0})});
  j.collect(march(7, 10));
  EXPECT_EQ(j.dues(), (std::vector{march(7, 9), QDateTime(QDate(2025, 12, 24), QTime(18, 0), Qt::UTC)}));
}

TEST(ReminderOccurrences, NothingMoreIsCollectedWhileOneIsOpen) {
  Journal j({daily9()});
  j.collect(march(7, 10));
  j.store.snooze(j.store.file().occurrences[0].id, 300, march(7, 10));
  for (int day = 8; day <= 20; ++day) j.collect(march(day, 10));
  EXPECT_EQ(j.dues(), std::vector{march(7, 9)});
}

TEST(ReminderOccurrences, DoneUsesUpTheLatestDueTime) {
  // Yesterday's alert answered today after today's time.
  Journal j({daily9()}, {test::occurrenceOf(daily9(), march(6, 9))});
  j.store.complete(j.store.file().occurrences[0].id, march(7, 10));
  ASSERT_EQ(j.store.file().occurrences.size(), 2u);
  const ReminderOccurrence& usedUp = j.store.file().occurrences[1];
  EXPECT_EQ(usedUp.due, march(7, 9));
  EXPECT_EQ(usedUp.completedAt, march(7, 10));
  EXPECT_EQ(usedUp.id, ReminderSchedule::key(daily9(), march(7, 9), utcCalendar));
  j.collect(march(7, 23, 59));
  j.collect(march(8, 8, 59));
  EXPECT_EQ(j.store.file().occurrences.size(), 2u);
  j.collect(march(8, 9));
  EXPECT_EQ(j.dues(), (std::vector{march(6, 9), march(7, 9), march(8, 9)}));

  // Today's own alert: its id is the latest key, so nothing is added.
  j.store.complete(j.store.file().occurrences[2].id, march(8, 9, 30));
  EXPECT_EQ(j.store.file().occurrences.size(), 3u);
}

TEST(ReminderOccurrences, ACollectedDayIsNeverCollectedAgain) {
  const QuibReminder once = reminder("R2", ReminderRepeat::once, {2026, 3, 7, 8, 0});
  Journal j({daily9(), once}, {completed(daily9(), march(7, 9)), completed(once, march(7, 8))});
  j.collect(march(6, 10));  // the clock set back a day
  j.collect(march(7, 12));
  EXPECT_EQ(j.store.file().occurrences.size(), 2u);
  EXPECT_EQ(j.changes, 2);

  // A new schedule is collected on its own, the same day.
  QuibReminder moved = daily9();
  moved.time.hour = 11;
  j.store.save(moved, daily9(), march(7, 12));
  j.collect(march(7, 12));
  EXPECT_EQ(j.dues(), (std::vector{march(7, 9), march(7, 8), march(7, 11)}));
}

TEST(ReminderOccurrences, PendingIsOrderedByReadinessThenID) {
  QuibReminder paused = reminder("R5");
  paused.paused = true;
  std::vector<ReminderOccurrence> occurrences = {
      test::occurrenceOf(reminder("R1"), march(7, 10, 10)),
      test::occurrenceOf(reminder("R3"), march(7, 9, 0)),
      test::occurrenceOf(reminder("R2"), march(7, 10, 0)),
      test::occurrenceOf(reminder("R4"), march(7, 10, 0)),
      test::occurrenceOf(paused, march(7, 9, 0)),
      test::occurrenceOf(reminder("gone"), march(7, 9, 0)),
      completed(reminder("R1"), march(6, 9, 0)),
      test::occurrenceOf(reminder("R6"), march(7, 9, 0)),
  };
  occurrences[1].snoozedUntil = march(7, 10, 5);
  occurrences[7].snoozedUntil = march(7, 10, 30);  // not over yet
  Journal j({reminder("R1"), reminder("R2"), reminder("R3"), reminder("R4"), paused, reminder("R6")}, occurrences);
  QStringList order;
  for (const auto& o : j.store.pending(march(7, 10, 20))) order << o.reminder.id;
  EXPECT_EQ(order, QStringList({"R2", "R4", "R3", "R1"}));
}

TEST(ReminderOccurrences, ShowingSnoozingAndDone) {
  Journal j({daily9()}, {test::occurrenceOf(daily9(), march(7, 9))});
  const QString id = j.store.file().occurrences[0].id;
  EXPECT_TRUE(j.store.markPresented(id, march(7, 9, 1)));
  EXPECT_FALSE(j.store.markPresented(id, march(7, 9, 2)));
  EXPECT_EQ(j.store.file().occurrences[0].presentedAt, march(7, 9, 1));

  EXPECT_EQ(messageOf([&] { j.store.snooze(id, 600, march(7, 9, 3)); }),
            "Choose a 5 minute, 15 minute or 1 hour snooze.");
  EXPECT_EQ(j.store.failure(), std::nullopt);
  j.store.snooze(id, 900, march(7, 9, 3));
  const ReminderOccurrence& snoozed = j.store.file().occurrences[0];
  EXPECT_EQ(snoozed.snoozedUntil, march(7, 9, 18));
  EXPECT_EQ(snoozed.due, march(7, 9));
  EXPECT_EQ(snoozed.presentedAt, std::nullopt);
  EXPECT_TRUE(j.store.markPresented(id, march(7, 9, 18)));

  j.store.complete(id, march(7, 9, 20));
  EXPECT_EQ(messageOf([&] { j.store.markPresented(id, march(7, 9, 21)); }), "This occurrence is no longer active.");
  EXPECT_EQ(messageOf([&] { j.store.markPresented("unknown", march(7, 9, 21)); }),
            "This occurrence is no longer active.");

  // Answers for an occurrence that is gone change nothing and are no error.
  const QByteArray before = test::contentsOf(journalFile());
  const int changes = j.changes;
  j.store.complete(id, march(7, 9, 22));
  j.store.snooze("unknown", 300, march(7, 9, 22));
  EXPECT_EQ(test::contentsOf(journalFile()), before);
  EXPECT_EQ(j.changes, changes + 2);
}

TEST(ReminderOccurrences, ADailyTimeSkippedByTheClockIsCollectedOnItsOwnDay) {
  const pf::Calendar berlin = test::calendarIn("Europe/Berlin");
  const QuibReminder r = reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 2, 30});
  Journal j({r});
  j.store.collect(test::at(berlin, 2026, 3, 29, 3, 0), berlin);
  ASSERT_EQ(j.store.file().occurrences.size(), 1u);
  EXPECT_EQ(j.store.file().occurrences[0].due, test::at(berlin, 2026, 3, 29, 3, 0));
  EXPECT_EQ(j.store.file().occurrences[0].id, "R1:S-R1:2026-03-29");
}

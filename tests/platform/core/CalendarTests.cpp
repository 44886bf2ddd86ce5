#include "platform/core/Calendar.h"

#include <gtest/gtest.h>
#include <limits>

using pf::Calendar;
using pf::WallTime;

namespace {

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

Calendar in(const char* zone) {
  const QTimeZone tz(zone);
  EXPECT_TRUE(tz.isValid()) << zone;
  return Calendar(tz);
}

// Every wall time resolves to an instant that reads back as the same wall
// time; an instant in the second pass of a repeated hour resolves to the first.
void expectRoundTrips(const Calendar& calendar, const QDateTime& from, const QDateTime& to, qint64 foldSeconds) {
  for (QDateTime t = from; t <= to; t = t.addSecs(7 * 60)) {
    const WallTime wall = calendar.wallTime(t);
    const auto back = calendar.date(wall);
    ASSERT_TRUE(back) << t.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(calendar.wallTime(*back), wall) << t.toString(Qt::ISODate).toStdString();
    const qint64 behind = back->secsTo(t) - t.time().second();
    EXPECT_TRUE(behind == 0 || behind == foldSeconds) << t.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(back->timeSpec(), Qt::UTC);
  }
}

}  // namespace

TEST(Calendar, NewYorkSpringForwardGivesTheMomentOfTheJump) {
  const Calendar ny = in("America/New_York");
  EXPECT_EQ(ny.date({2024, 3, 10, 1, 59}), utc(2024, 3, 10, 6, 59));
  EXPECT_EQ(ny.date({2024, 3, 10, 2, 0}), utc(2024, 3, 10, 7, 0));
  EXPECT_EQ(ny.date({2024, 3, 10, 2, 30}), utc(2024, 3, 10, 7, 0));
  EXPECT_EQ(ny.date({2024, 3, 10, 3, 0}), utc(2024, 3, 10, 7, 0));
  EXPECT_EQ(ny.date({2024, 3, 10, 3, 1}), utc(2024, 3, 10, 7, 1));
  expectRoundTrips(ny, utc(2024, 3, 9, 12, 0), utc(2024, 3, 11, 12, 0), 0);
}

TEST(Calendar, NewYorkFallBackGivesTheFirstOfTwo) {
  const Calendar ny = in("America/New_York");
  EXPECT_EQ(ny.date({2024, 11, 3, 0, 59}), utc(2024, 11, 3, 4, 59));
  EXPECT_EQ(ny.date({2024, 11, 3, 1, 0}), utc(2024, 11, 3, 5, 0));
  EXPECT_EQ(ny.date({2024, 11, 3, 1, 30}), utc(2024, 11, 3, 5, 30));
  EXPECT_EQ(ny.date({2024, 11, 3, 1, 59}), utc(2024, 11, 3, 5, 59));
  EXPECT_EQ(ny.date({2024, 11, 3, 2, 0}), utc(2024, 11, 3, 7, 0));
  // Both passes of 01:30 read back as 01:30.
  EXPECT_EQ(ny.wallTime(utc(2024, 11, 3, 5, 30)), (WallTime{2024, 11, 3, 1, 30}));
  EXPECT_EQ(ny.wallTime(utc(2024, 11, 3, 6, 30)), (WallTime{2024, 11, 3, 1, 30}));
  expectRoundTrips(ny, utc(2024, 11, 2, 12, 0), utc(2024, 11, 4, 12, 0), 3600);
}

TEST(Calendar, BerlinChangesAtThreeAndTwo) {
  const Calendar berlin = in("Europe/Berlin");
  EXPECT_EQ(berlin.date({2024, 3, 31, 2, 30}), utc(2024, 3, 31, 1, 0));
  EXPECT_EQ(berlin.date({2024, 3, 31, 1, 59}), utc(2024, 3, 31, 0, 59));
  EXPECT_EQ(berlin.date({2024, 10, 27, 2, 30}), utc(2024, 10, 27, 0, 30));
  EXPECT_EQ(berlin.date({2024, 10, 27, 3, 0}), utc(2024, 10, 27, 2, 0));
  EXPECT_EQ(berlin.wallTime(utc(2024, 10, 27, 1, 30)), (WallTime{2024, 10, 27, 2, 30}));
  expectRoundTrips(berlin, utc(2024, 3, 30, 12, 0), utc(2024, 4, 1, 12, 0), 0);
  expectRoundTrips(berlin, utc(2024, 10, 26, 12, 0), utc(2024, 10, 28, 12, 0), 3600);
}

TEST(Calendar, LordHoweMovesItsClockByHalfAnHour) {
  const Calendar lordHowe = in("Australia/Lord_Howe");
  // 02:00 +11 falls back to 01:30 +10:30: 01:45 happens twice.
  EXPECT_EQ(lordHowe.date({2024, 4, 7, 1, 45}), utc(2024, 4, 6, 14, 45));
  EXPECT_EQ(lordHowe.wallTime(utc(2024, 4, 6, 15, 15)), (WallTime{2024, 4, 7, 1, 45}));
  // 02:00 +10:30 jumps to 02:30 +11: 02:15 does not exist.
  EXPECT_EQ(lordHowe.date({2024, 10, 6, 2, 15}), utc(2024, 10, 5, 15, 30));
  EXPECT_EQ(lordHowe.date({2024, 10, 6, 2, 30}), utc(2024, 10, 5, 15, 30));
  EXPECT_EQ(lordHowe.date({2024, 10, 6, 1, 59}), utc(2024, 10, 5, 15, 29));
  expectRoundTrips(lordHowe, utc(2024, 4, 5, 12, 0), utc(2024, 4, 7, 12, 0), 1800);
  expectRoundTrips(lordHowe, utc(2024, 10, 4, 12, 0), utc(2024, 10, 6, 12, 0), 0);
}

TEST(Calendar, ApiaSkippedTheThirtiethOfDecember2011) {
  const Calendar apia = in("Pacific/Apia");
  EXPECT_EQ(apia.date(2011, 12, 30), std::nullopt);
  EXPECT_EQ(apia.date({2011, 12, 30, 12, 0}), std::nullopt);
  EXPECT_EQ(apia.date({2011, 12, 29, 23, 59}), utc(2011, 12, 30, 9, 59));
  EXPECT_EQ(apia.date(2011, 12, 31), utc(2011, 12, 30, 10, 0));
  EXPECT_EQ(apia.wallTime(utc(2011, 12, 30, 10, 0)), (WallTime{2011, 12, 31, 0, 0}));
  const QDateTime noon29 = *apia.date({2011, 12, 29, 12, 0});
  EXPECT_EQ(apia.addingDays(1, noon29), std::nullopt);
  EXPECT_EQ(apia.addingDays(2, noon29), apia.date({2011, 12, 31, 12, 0}));
  EXPECT_EQ(apia.addingDays(-2, *apia.date(2011, 12, 31)), apia.date(2011, 12, 29));
  EXPECT_EQ(apia.weekday(noon29), 5);                    // Thursday
  EXPECT_EQ(apia.weekday(*apia.date(2011, 12, 31)), 7);  // Saturday
  expectRoundTrips(apia, utc(2011, 12, 29, 0, 0), utc(2011, 12, 31, 0, 0), 0);
}

TEST(Calendar, ReadsAndResolvesDaysBefore1970) {
  // Reminders may date from 1900, where wall clocks count back from 1970.
  const Calendar berlin = in("Europe/Berlin");
  EXPECT_EQ(berlin.date({1900, 1, 1, 0, 0}), utc(1899, 12, 31, 23, 0));
  EXPECT_EQ(berlin.wallTime(utc(1969, 12, 31, 22, 59)), (WallTime{1969, 12, 31, 23, 59}));
  EXPECT_EQ(berlin.localDate(utc(1950, 6, 15, 23, 30)), QDate(1950, 6, 16));
  EXPECT_EQ(berlin.startOfDay(utc(1950, 6, 15, 23, 30)), utc(1950, 6, 15, 23, 0));
  expectRoundTrips(berlin, utc(1969, 12, 30, 12, 0), utc(1970, 1, 2, 12, 0), 0);
}

TEST(Calendar, DayStartsAtItsFirstExistingInstant) {
  // Santiago jumps from midnight to 01:00.
  const Calendar santiago = in("America/Santiago");
  EXPECT_EQ(santiago.date(2024, 9, 8), utc(2024, 9, 8, 4, 0));
  EXPECT_EQ(santiago.startOfDay(utc(2024, 9, 8, 15, 0)), utc(2024, 9, 8, 4, 0));
  EXPECT_EQ(santiago.startOfDay(utc(2024, 9, 9, 15, 0)), utc(2024, 9, 9, 3, 0));
  const Calendar ny = in("America/New_York");
  EXPECT_EQ(ny.startOfDay(utc(2024, 3, 10, 23, 0)), utc(2024, 3, 10, 5, 0));
  EXPECT_EQ(ny.startOfDay(utc(2024, 3, 10, 4, 59)), utc(2024, 3, 9, 5, 0));
}

TEST(Calendar, SettingATimeAndAddingDaysFollowTheClockChanges) {
  const Calendar berlin = in("Europe/Berlin");
  const QDateTime saturday = *berlin.date({2024, 3, 30, 2, 30});
  EXPECT_EQ(berlin.addingDays(1, saturday), utc(2024, 3, 31, 1, 0));
  EXPECT_EQ(berlin.addingDays(2, saturday), utc(2024, 4, 1, 0, 30));
  EXPECT_EQ(berlin.addingDays(-1, *berlin.date({2024, 4, 1, 9, 0})), utc(2024, 3, 31, 7, 0));
  EXPECT_EQ(berlin.settingTime(2, 30, utc(2024, 3, 31, 20, 0)), utc(2024, 3, 31, 1, 0));
  EXPECT_EQ(berlin.settingTime(2, 30, utc(2024, 10, 27, 20, 0)), utc(2024, 10, 27, 0, 30));
  EXPECT_EQ(berlin.settingTime(24, 0, saturday), std::nullopt);
  EXPECT_EQ(berlin.settingTime(9, 60, saturday), std::nullopt);
  // Seconds and milliseconds of the wall time are kept when adding days.
  EXPECT_EQ(berlin.addingDays(7, utc(2024, 3, 25, 10, 0, 42).addMSecs(5)), utc(2024, 4, 1, 9, 0, 42).addMSecs(5));
}

TEST(Calendar, RollsOverOutOfRangeDatesAndRefusesBadTimes) {
  const Calendar calendar{QTimeZone::utc()};
  EXPECT_EQ(calendar.date(2026, 2, 30), utc(2026, 3, 2, 0, 0));
  EXPECT_EQ(calendar.date(2028, 2, 30), utc(2028, 3, 1, 0, 0));
  EXPECT_EQ(calendar.date(2026, 4, 31), utc(2026, 5, 1, 0, 0));
  EXPECT_EQ(calendar.date(2026, 13, 1), utc(2027, 1, 1, 0, 0));
  EXPECT_EQ(calendar.date(2026, 3, 0), utc(2026, 2, 28, 0, 0));
  EXPECT_EQ(calendar.date({2026, 3, 7, 24, 0}), std::nullopt);
  EXPECT_EQ(calendar.date({2026, 3, 7, 23, 60}), std::nullopt);
  EXPECT_EQ(calendar.date({2026, 3, 7, -1, 0}), std::nullopt);
  EXPECT_EQ(calendar.date({2026, 3, 7, 23, 59}), utc(2026, 3, 7, 23, 59));
  // Days beyond what an instant holds have none; the furthest instants read as far years.
  const Calendar berlin = in("Europe/Berlin");
  EXPECT_EQ(berlin.date({std::numeric_limits<int>::max(), 1, 1, 12, 0}), std::nullopt);
  EXPECT_EQ(berlin.date({std::numeric_limits<int>::min() + 1, 1, 1, 12, 0}), std::nullopt);
  const auto farthest = [](qint64 msecs) { return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC); };
  EXPECT_GT(berlin.wallTime(farthest(std::numeric_limits<qint64>::max() - 1000)).year, 1'000'000);
  EXPECT_LT(berlin.wallTime(farthest(std::numeric_limits<qint64>::min() + 1000)).year, -1'000'000);
}

TEST(Calendar, NumbersWeekdaysFromSundayInTheLocalZone) {
  const Calendar utcCalendar{QTimeZone::utc()};
  EXPECT_EQ(utcCalendar.weekday(utc(2026, 3, 7, 12, 0)), 7);  // Saturday
  EXPECT_EQ(utcCalendar.weekday(utc(2026, 3, 8, 12, 0)), 1);  // Sunday
  EXPECT_EQ(utcCalendar.weekday(utc(2026, 3, 9, 12, 0)), 2);  // Monday
  EXPECT_EQ(in("America/New_York").weekday(utc(2026, 3, 8, 3, 0)), 7);
  EXPECT_EQ(in("Pacific/Auckland").weekday(utc(2026, 3, 7, 12, 0)), 1);
}

TEST(Calendar, ComparesInstantsByLocalMinute) {
  const Calendar ny = in("America/New_York");
  EXPECT_TRUE(ny.isSameMinute(utc(2024, 11, 3, 5, 30, 10), utc(2024, 11, 3, 5, 30, 59)));
  // The two passes of 01:30 are different minutes.
  EXPECT_EQ(ny.compareMinutes(utc(2024, 11, 3, 5, 30), utc(2024, 11, 3, 6, 30)), std::strong_ordering::less);
  EXPECT_EQ(ny.compareMinutes(utc(2024, 11, 3, 5, 31), utc(2024, 11, 3, 5, 30, 59)), std::strong_ordering::greater);
  // Monrovia's clock ran 44:30 behind UTC: its minutes start half-way through UTC's.
  const Calendar monrovia = in("Africa/Monrovia");
  EXPECT_FALSE(monrovia.isSameMinute(utc(1971, 6, 1, 12, 0, 20), utc(1971, 6, 1, 12, 0, 40)));
  EXPECT_TRUE(monrovia.isSameMinute(utc(1971, 6, 1, 12, 0, 35), utc(1971, 6, 1, 12, 1, 20)));
}

TEST(Calendar, DefaultCalendarFollowsTheSystemZoneAtEveryCall) {
  const QByteArray saved = qgetenv("TZ");
  const Calendar calendar;
  qputenv("TZ", "Europe/Berlin");
  const auto berlin = calendar.date({2024, 7, 1, 9, 0});
  EXPECT_EQ(calendar.timeZone().id(), "Europe/Berlin");
  qputenv("TZ", "America/New_York");
  const auto newYork = calendar.date({2024, 7, 1, 9, 0});
  qputenv("TZ", saved);
  EXPECT_EQ(berlin, utc(2024, 7, 1, 7, 0));
  EXPECT_EQ(newYork, utc(2024, 7, 1, 13, 0));
}

TEST(Calendar, AFixedZoneRemembersOffsetsWithoutChangingAnyAnswer) {
  // The system calendar looks everything up afresh; the fixed one answers
  // from the stretches of offsets it kept from earlier questions.
  setenv("TZ", "Australia/Lord_Howe", 1);
  const Calendar fresh;
  const Calendar remembering = in("Australia/Lord_Howe");
  for (QDateTime t = utc(2023, 12, 1, 0, 0); t < utc(2026, 1, 1, 0, 0); t = t.addSecs(97 * 60)) {
    const std::string at = t.toString(Qt::ISODate).toStdString();
    ASSERT_EQ(remembering.wallTime(t), fresh.wallTime(t)) << at;
    ASSERT_EQ(remembering.date(fresh.wallTime(t)), fresh.date(fresh.wallTime(t))) << at;
    ASSERT_EQ(remembering.startOfDay(t), fresh.startOfDay(t)) << at;
    ASSERT_EQ(remembering.addingDays(-3, t), fresh.addingDays(-3, t)) << at;
    ASSERT_EQ(remembering.settingTime(2, 15, t), fresh.settingTime(2, 15, t)) << at;
  }
  setenv("TZ", "UTC", 1);
}

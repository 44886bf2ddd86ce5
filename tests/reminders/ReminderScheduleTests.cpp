// When reminders fall due: the first-day and weekday rules, the eight-day
// window, and local times across clock changes and a skipped day, also
// checked over years against the zone's clock as Qt reads it.
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderSupport.h"

#include <map>

using test::at;
using test::calendarIn;
using test::reminder;

namespace {

QDateTime utc(int year, int month, int day, int hour, int minute) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

struct ScheduleCase {
  const char* what;
  const char* zone;
  QuibReminder reminder;
  QDateTime now;
  std::optional<QDateTime> latest;
  std::optional<QDateTime> next;
};

QuibReminder weeklyOn(std::vector<qint64> days, ReminderTime time) {
  QuibReminder r = reminder("R1", ReminderRepeat::weekly, time);
  r.weekdays = std::move(days);
  return r;
}

QuibReminder pausedDaily() {
  QuibReminder r = reminder();
  r.paused = true;
  return r;
}

std::vector<ScheduleCase> scheduleCases() {
  const pf::Calendar ny = calendarIn("America/New_York");
  const QuibReminder daily9 = reminder("R1", ReminderRepeat::daily, {2026, 3, 6, 9, 0});
  return {
      {"daily before today's time", "America/New_York", daily9, at(ny, 2026, 3, 7, 8, 59), at(ny, 2026, 3, 6, 9, 0),
       at(ny, 2026, 3, 7, 9, 0)},
      {"daily at today's time", "America/New_York", daily9, at(ny, 2026, 3, 7, 9, 0), at(ny, 2026, 3, 7, 9, 0),
       at(ny, 2026, 3, 8, 9, 0)},
      {"first day today, before its time", "America/New_York",
       reminder("R1", ReminderRepeat::daily, {2026, 3, 7, 10, 0}), at(ny, 2026, 3, 7, 9, 0), std::nullopt,
       at(ny, 2026, 3, 7, 10, 0)},
      {"first day next month", "America/New_York", reminder("R1", ReminderRepeat::daily, {2026, 4, 20, 10, 0}),
       at(ny, 2026, 3, 7, 9, 0), std::nullopt, at(ny, 2026, 4, 20, 10, 0)},
      {"weekly Monday seen on Sunday evening", "America/New_York", weeklyOn({2}, {2026, 2, 2, 9, 0}),
       at(ny, 2026, 3, 15, 20, 0), at(ny, 2026, 3, 9, 9, 0), at(ny, 2026, 3, 16, 9, 0)},
      {"weekly Sunday and Saturday", "America/New_York", weeklyOn({7, 1}, {2026, 3, 2, 9, 0}),
       at(ny, 2026, 3, 6, 10, 0), std::nullopt, at(ny, 2026, 3, 7, 9, 0)},
      {"missed for ten days", "America/New_York", reminder("R1", ReminderRepeat::daily, {2026, 2, 1, 9, 0}),
       at(ny, 2026, 3, 11, 8, 0), at(ny, 2026, 3, 10, 9, 0), at(ny, 2026, 3, 11, 9, 0)},
      {"weekly day older than a week", "America/New_York", weeklyOn({2}, {2026, 3, 2, 9, 0}), at(ny, 2026, 3, 16, 8, 0),
       at(ny, 2026, 3, 9, 9, 0), at(ny, 2026, 3, 16, 9, 0)},
      {"paused: latest only", "America/New_York", pausedDaily(), at(ny, 2026, 3, 8, 10, 0), at(ny, 2026, 3, 8, 9, 0),
       std::nullopt},
      {"once ahead", "America/New_York", reminder("R1", ReminderRepeat::once, {2026, 3, 7, 15, 0}),
       at(ny, 2026, 3, 7, 9, 0), std::nullopt, at(ny, 2026, 3, 7, 15, 0)},
      {"once past, whatever its first day", "America/New_York",
       reminder("R1", ReminderRepeat::once, {2025, 1, 2, 15, 0}), at(ny, 2026, 3, 7, 9, 0), at(ny, 2025, 1, 2, 15, 0),
       std::nullopt},
      // Clock changes: a skipped time gives the next existing moment, a repeated one the first.
      {"New York 02:30 on the day of the jump", "America/New_York",
       reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 2, 30}), utc(2026, 3, 8, 7, 0), utc(2026, 3, 8, 7, 0),
       utc(2026, 3, 9, 6, 30)},
      {"New York once in the gap", "America/New_York", reminder("R1", ReminderRepeat::once, {2026, 3, 8, 2, 30}),
       utc(2026, 3, 8, 5, 0), std::nullopt, utc(2026, 3, 8, 7, 0)},
      {"New York 01:30 during the second pass", "America/New_York",
       reminder("R1", ReminderRepeat::daily, {2026, 10, 1, 1, 30}), utc(2026, 11, 1, 6, 45), utc(2026, 11, 1, 5, 30),
       utc(2026, 11, 2, 6, 30)},
      {"Berlin 02:30 on the day of the jump", "Europe/Berlin",
       reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 2, 30}), utc(2026, 3, 28, 23, 0), utc(2026, 3, 28, 1, 30),
       utc(2026, 3, 29, 1, 0)},
      {"Berlin 02:30 on the day the clock falls back", "Europe/Berlin",
       reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 2, 30}), utc(2026, 10, 25, 1, 45), utc(2026, 10, 25, 0, 30),
       utc(2026, 10, 26, 1, 30)},
      {"Lord Howe 02:15 in a half-hour gap", "Australia/Lord_Howe",
       reminder("R1", ReminderRepeat::daily, {2026, 9, 1, 2, 15}), utc(2026, 10, 3, 14, 0), utc(2026, 10, 2, 15, 45),
       utc(2026, 10, 3, 15, 30)},
      {"Lord Howe 01:45 repeated for half an hour", "Australia/Lord_Howe",
       reminder("R1", ReminderRepeat::daily, {2026, 3, 1, 1, 45}), utc(2026, 4, 4, 15, 0), utc(2026, 4, 4, 14, 45),
       utc(2026, 4, 5, 15, 15)},
      // Apia skipped Friday 30 December 2011.
      {"Apia daily across the skipped day", "Pacific/Apia",
       reminder("R1", ReminderRepeat::daily, {2011, 12, 20, 12, 0}), utc(2011, 12, 30, 19, 0), utc(2011, 12, 29, 22, 0),
       utc(2011, 12, 30, 22, 0)},
      // The eight days ahead hold only the skipped Friday, so no due time is found in them.
      {"Apia weekly on the skipped Friday", "Pacific/Apia", weeklyOn({6}, {2011, 12, 1, 12, 0}),
       utc(2011, 12, 29, 23, 0), utc(2011, 12, 23, 22, 0), std::nullopt},
  };
}

/// A due time as readable text for failure messages.
std::string shown(const std::optional<QDateTime>& moment) {
  return moment ? moment->toUTC().toString(Qt::ISODate).toStdString() : "none";
}

/// The schedule rule worked out slowly and plainly from Qt's reading of the
/// zone's clock, sharing nothing with `pf::Calendar`.
class ClockReading final {
 public:
  explicit ClockReading(const char* zone) : m_zone(zone) {}

  std::optional<QDateTime> next(const QuibReminder& r, const QDateTime& after) {
    const auto first = due(firstDay(r), timeOf(r));
    if (!first) return std::nullopt;
    if (r.repeatRule == ReminderRepeat::once) return *first > after ? first : std::nullopt;
    const QDate from = dayOf(std::max(after, *first));
    for (int days = 0; days < 8; ++days) {
      const auto moment = due(from.addDays(days), timeOf(r));
      if (moment && *moment > after && allowed(r, *moment)) return moment;
    }
    return std::nullopt;
  }

  std::optional<QDateTime> latest(const QuibReminder& r, const QDateTime& now) {
    if (r.repeatRule == ReminderRepeat::once) {
      const auto first = due(firstDay(r), timeOf(r));
      return first && *first <= now ? first : std::nullopt;
    }
    for (int days = 0; days < 8; ++days) {
      const auto moment = due(dayOf(now).addDays(-days), timeOf(r));
      if (moment && *moment <= now && allowed(r, *moment)) return moment;
    }
    return std::nullopt;
  }

 private:
  static QDate firstDay(const QuibReminder& r) { return QDate(int(r.time.year), int(r.time.month), int(r.time.day)); }
  static QTime timeOf(const QuibReminder& r) { return QTime(int(r.time.hour), int(r.time.minute)); }

  QDate dayOf(const QDateTime& moment) const { return moment.toTimeZone(m_zone).date(); }

  bool allowed(const QuibReminder& r, const QDateTime& moment) const {
    const QDate day = dayOf(moment);
    return day >= firstDay(r) &&
           (r.repeatRule != ReminderRepeat::weekly || std::ranges::count(r.weekdays, day.dayOfWeek() % 7 + 1) > 0);
  }

  /// The first moment the clock shows `time` on `day` or, when it skips that
  /// reading, the next minute of the day it shows; none when it shows none.
  std::optional<QDateTime> due(QDate day, QTime time) {
    const auto key = std::pair(day.toJulianDay(), time.msecsSinceStartOfDay());
    if (const auto known = m_due.find(key); known != m_due.end()) return known->second;
    std::optional<QDateTime>& found = m_due[key];
    for (int minute = time.msecsSinceStartOfDay() / 60'000; minute < 24 * 60 && !found; ++minute) {
      // Qt leaves a reading the clock skips invalid.
      const QDateTime moment(day, QTime(minute / 60, minute % 60), m_zone);
      if (moment.isValid()) found = earliest(moment);
    }
    return found;
  }

  /// Qt gives the later of two moments showing one reading; these clocks go
  /// back by whole half hours, at most two hours at a time.
  QDateTime earliest(const QDateTime& moment) const {
    QDateTime first = moment;
    for (qint64 halfHours = 1; halfHours <= 4; ++halfHours) {
      const QDateTime before =
          QDateTime::fromMSecsSinceEpoch(moment.toMSecsSinceEpoch() - halfHours * 1800'000, m_zone);
      if (before.date() == moment.date() && before.time() == moment.time()) first = before;
    }
    return first.toUTC();
  }

  QTimeZone m_zone;
  std::map<std::pair<qint64, int>, std::optional<QDateTime>> m_due;
};

}  // namespace

TEST(ReminderSchedule, DueTimesMatchAPlainReadingOfTheClockOverYears) {
  struct Span {
    const char* zone;
    QDate from;
    QDate to;
  };
  // Times of day in and around the skipped and repeated hours and half hours.
  const QTime times[] = {QTime(0, 0),  QTime(1, 30), QTime(1, 45), QTime(2, 0),
                         QTime(2, 15), QTime(2, 30), QTime(3, 0),  QTime(23, 59)};
  const std::vector<qint64> weekdays[] = {{}, {}, {2, 4, 6}, {6}};
  for (const Span& span :
       {Span{"America/New_York", {2024, 1, 1}, {2027, 1, 1}}, Span{"Europe/Berlin", {2024, 1, 1}, {2027, 1, 1}},
        Span{"Australia/Lord_Howe", {2024, 1, 1}, {2027, 1, 1}}, Span{"Pacific/Apia", {2010, 6, 1}, {2013, 6, 1}}}) {
    // One calendar throughout, so what it keeps between questions is tested too.
    const pf::Calendar calendar = calendarIn(span.zone);
    ClockReading clock(span.zone);
    std::vector<QuibReminder> reminders;
    for (const QTime& time : times) {
      for (std::size_t rule = 0; rule < std::size(weekdays); ++rule) {
        // First days spread over the span, so questions jump between years.
        const QDate first = span.from.addDays(qint64(reminders.size()) * 97 % span.from.daysTo(span.to));
        QuibReminder r = reminder("R1", ReminderRepeat::allCases()[std::min<std::size_t>(rule, 2)],
                                  {first.year(), first.month(), first.day(), time.hour(), time.minute()});
        r.weekdays = weekdays[rule];
        reminders.push_back(r);
      }
    }
    const QDateTime end(span.to, QTime(0, 0), Qt::UTC);
    // Every 2 days, 7 hours and 13 minutes, so the moments asked about drift through the day.
    for (QDateTime now(span.from, QTime(0, 0), Qt::UTC); now < end; now = now.addSecs((55 * 60 + 13) * 60)) {
      for (const QuibReminder& r : reminders) {
        const auto what = [&] {
          return std::string(span.zone) + " at " + now.toString(Qt::ISODate).toStdString() + ", " +
                 r.repeatRule.rawValue().toStdString() + " from " + r.time.dateKey().toStdString() + " at " +
                 QTime(int(r.time.hour), int(r.time.minute)).toString().toStdString();
        };
        ASSERT_EQ(shown(ReminderSchedule::next(r, now, calendar)), shown(clock.next(r, now))) << what();
        ASSERT_EQ(shown(ReminderSchedule::latest(r, now, calendar)), shown(clock.latest(r, now))) << what();
      }
    }
  }
}

TEST(ReminderSchedule, LatestAndNextDueTimes) {
  for (const ScheduleCase& c : scheduleCases()) {
    const pf::Calendar calendar = calendarIn(c.zone);
    EXPECT_EQ(ReminderSchedule::latest(c.reminder, c.now, calendar), c.latest) << c.what;
    EXPECT_EQ(ReminderSchedule::next(c.reminder, c.now, calendar), c.next) << c.what;
  }
}

TEST(ReminderSchedule, ADayTheZoneSkippedHasNoDueTime) {
  const pf::Calendar apia = calendarIn("Pacific/Apia");
  const QuibReminder once = reminder("R1", ReminderRepeat::once, {2011, 12, 30, 12, 0});
  EXPECT_EQ(once.time.date(apia), std::nullopt);
  EXPECT_EQ(ReminderSchedule::next(once, utc(2011, 12, 1, 0, 0), apia), std::nullopt);
  EXPECT_EQ(ReminderSchedule::latest(once, utc(2012, 1, 1, 0, 0), apia), std::nullopt);
}

TEST(ReminderSchedule, OutOfRangeTimesGiveNoDateInsteadOfOverflowing) {
  const pf::Calendar ny = calendarIn("America/New_York");
  EXPECT_EQ(ReminderTime(2026, 2, 30, 9, 0).date(ny), at(ny, 2026, 3, 2, 9, 0));  // rolls over
  for (const ReminderTime& time : {ReminderTime(std::numeric_limits<qint64>::max(), 1, 1, 9, 0),
                                   ReminderTime(2026, 1, std::numeric_limits<qint64>::min(), 9, 0),
                                   ReminderTime(2026, 1, 1, 1LL << 40, 0), ReminderTime(2026, 0, 1, 9, 0)}) {
    EXPECT_EQ(time.date(ny), std::nullopt);
    QuibReminder r = reminder("R1", ReminderRepeat::daily, time);
    EXPECT_EQ(ReminderSchedule::next(r, utc(2026, 3, 7, 12, 0), ny), std::nullopt);
    EXPECT_EQ(ReminderSchedule::latest(r, utc(2026, 3, 7, 12, 0), ny), std::nullopt);
  }
}

TEST(ReminderSchedule, KeysNameTheLocalDueDay) {
  QuibReminder r = reminder();
  r.scheduleID = "S1";
  const pf::Calendar ny = calendarIn("America/New_York");
  EXPECT_EQ(ReminderSchedule::key(r, at(ny, 2026, 3, 7, 9, 0), ny), "R1:S1:2026-03-07");
  // 23:30 in New York is already the next day in UTC.
  EXPECT_EQ(ReminderSchedule::key(r, at(ny, 2026, 3, 7, 23, 30), ny), "R1:S1:2026-03-07");
  EXPECT_EQ(ReminderSchedule::key(r, at(ny, 2026, 3, 7, 23, 30), calendarIn("UTC")), "R1:S1:2026-03-08");
}

TEST(ReminderSchedule, TheCalendarFollowsTheCurrentZone) {
  test::ZoneScope berlin("Europe/Berlin");
  EXPECT_EQ(ReminderSchedule::calendar().timeZone().id(), "Europe/Berlin");
  test::ZoneScope apia("Pacific/Apia");
  EXPECT_EQ(ReminderSchedule::calendar().timeZone().id(), "Pacific/Apia");
}

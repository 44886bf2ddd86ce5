#include "reminders/ReminderSchedule.h"

#include <algorithm>
#include <tuple>

namespace {

// Daily and weekly reminders look at most a week back or ahead: every weekday
// comes round within eight days.
constexpr int searchedDays = 8;

}  // namespace

pf::Calendar ReminderSchedule::calendar() {
  // Fixed at the call, so one computation never sees two zones.
  return pf::Calendar(pf::Calendar().timeZone());
}

std::optional<QDateTime> ReminderSchedule::candidate(const QDateTime& day, const QuibReminder& reminder,
                                                     const pf::Calendar& calendar) {
  if (!reminder.time.isInRange()) return std::nullopt;
  return calendar.settingTime(int(reminder.time.hour), int(reminder.time.minute), day);
}

bool ReminderSchedule::allowed(const QDateTime& moment, const QuibReminder& reminder, const pf::Calendar& calendar) {
  // Day keys sort as dates; comparing the numbers spares formatting them.
  const pf::WallTime wall = calendar.wallTime(moment);
  const auto& first = reminder.time;
  if (std::tuple<qint64, qint64, qint64>(wall.year, wall.month, wall.day) <
      std::tuple(first.year, first.month, first.day))
    return false;
  if (reminder.repeatRule != ReminderRepeat::weekly) return true;
  return std::ranges::find(reminder.weekdays, calendar.weekday(moment)) != reminder.weekdays.end();
}

std::optional<QDateTime> ReminderSchedule::latest(const QuibReminder& reminder, const QDateTime& now,
                                                  const pf::Calendar& calendar) {
  if (reminder.repeatRule == ReminderRepeat::once) {
    const auto due = reminder.time.date(calendar);
    return due && *due <= now ? due : std::nullopt;
  }
  const QDateTime today = calendar.startOfDay(now);
  for (int offset = 0; offset > -searchedDays; --offset) {
    const auto day = calendar.addingDays(offset, today);
    if (!day) continue;
    const auto due = candidate(*day, reminder, calendar);
    if (due && *due <= now && allowed(*due, reminder, calendar)) return due;
  }
  return std::nullopt;
}

std::optional<QDateTime> ReminderSchedule::next(const QuibReminder& reminder, const QDateTime& after,
                                                const pf::Calendar& calendar) {
  if (reminder.paused) return std::nullopt;
  const auto first = reminder.time.date(calendar);
  if (reminder.repeatRule == ReminderRepeat::once) return first && *first > after ? first : std::nullopt;
  if (!first) return std::nullopt;
  const QDateTime start = calendar.startOfDay(std::max(after, *first));
  for (int offset = 0; offset < searchedDays; ++offset) {
    const auto day = calendar.addingDays(offset, start);
    if (!day) continue;
    const auto due = candidate(*day, reminder, calendar);
    if (due && *due > after && allowed(*due, reminder, calendar)) return due;
  }
  return std::nullopt;
}

QString ReminderSchedule::key(const QuibReminder& reminder, const QDateTime& date, const pf::Calendar& calendar) {
  return reminder.id + u':' + reminder.scheduleID + u':' + ReminderTime(date, calendar).dateKey();
}

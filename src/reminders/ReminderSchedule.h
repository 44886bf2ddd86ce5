#pragma once

#include "platform/core/Calendar.h"
#include "reminders/QuibReminder.h"

#include <QDateTime>
#include <QString>
#include <optional>

/// The schedule rule: when a reminder falls due. Times are local wall-clock
/// times in the given calendar; a day the zone skipped has no due time.
class ReminderSchedule final {
 public:
  ReminderSchedule() = delete;

  /// The Gregorian calendar of the system's time zone at the time of the call.
  static pf::Calendar calendar();

  /// The reminder's time of day on the local day of `day`; none when the
  /// reminder's hour or minute is out of range.
  static std::optional<QDateTime> candidate(const QDateTime& day, const QuibReminder& reminder,
                                            const pf::Calendar& calendar);

  /// Whether `moment` lies on a day the reminder may fall due: not before its
  /// first day and, for weekly reminders, on one of its weekdays.
  static bool allowed(const QDateTime& moment, const QuibReminder& reminder, const pf::Calendar& calendar);

  /// The most recent due time not after `now`, looking back over today and
  /// the seven days before; the paused flag is not consulted.
  static std::optional<QDateTime> latest(const QuibReminder& reminder, const QDateTime& now,
                                         const pf::Calendar& calendar);

  /// The first due time strictly after `after`; none for a paused reminder.
  static std::optional<QDateTime> next(const QuibReminder& reminder, const QDateTime& after,
                                       const pf::Calendar& calendar);

  /// The id of the reminder's occurrence due at `date`: id, schedule id and
  /// the due day, so a schedule has at most one occurrence a day.
  static QString key(const QuibReminder& reminder, const QDateTime& date, const pf::Calendar& calendar);
};

#include "reminders/ReminderStep.h"

#include <QDate>
#include <QTimeZone>

std::optional<ReminderTime> ReminderStep::applied(const ReminderTime& from, const pf::Calendar& local) const {
  return unit == Unit::days ? days(from) : minutes(from, local);
}

std::optional<ReminderTime> ReminderStep::days(const ReminderTime& from) const {
  const QDate date = QDate(int(from.year), int(from.month), int(from.day)).addDays(count);
  if (!date.isValid()) return std::nullopt;
  return ReminderTime(date.year(), date.month(), date.day(), from.hour, from.minute);
}

std::optional<ReminderTime> ReminderStep::minutes(const ReminderTime& from, const pf::Calendar& local) const {
  // UTC has no clock changes, so a step there is a step on the wall clock.
  const pf::Calendar floating(QTimeZone::utc());
  const std::optional<QDateTime> floatingDate = from.date(floating);
  if (!floatingDate) return std::nullopt;
  const ReminderTime target(floatingDate->addSecs(qint64(count) * 60), floating);
  std::optional<QDateTime> result = target.date(local);
  if (!result) return std::nullopt;
  // Stepping back onto an hour the clock skipped would land after the
  // starting time.
  if (count < 0 && ReminderTime(*result, local) != target)
    if (const auto start = from.date(local)) result = start->addSecs(qint64(count) * 60);
  return ReminderTime(*result, local);
}

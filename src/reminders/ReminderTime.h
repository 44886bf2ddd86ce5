#pragma once

#include "platform/core/Calendar.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace pf {
class JsonObjectReader;
class JsonWriter;
}  // namespace pf
namespace simdjson::dom {
class object;
}  // namespace simdjson::dom

/// A local wall-clock time without a time zone: the due time of a reminder,
/// which fires at that hour wherever the user is.
struct ReminderTime {
  qint64 year = 2001;
  qint64 month = 1;
  qint64 day = 1;
  qint64 hour = 0;
  qint64 minute = 0;

  ReminderTime() = default;
  ReminderTime(qint64 year, qint64 month, qint64 day, qint64 hour, qint64 minute)
      : year(year), month(month), day(day), hour(hour), minute(minute) {}
  /// The wall-clock time of `moment` in `calendar`.
  ReminderTime(const QDateTime& moment, const pf::Calendar& calendar);

  /// Whether every field lies in the range a valid reminder allows (the day
  /// only within 1 to 31, whatever the month). Nothing outside it is ever
  /// turned into a date, so no stored number can overflow the calendar.
  bool isInRange() const;

  /// The moment this time denotes in `calendar`: a day past the month's end
  /// rolls over into the next month; a wall time skipped by the clock gives
  /// the next existing moment and a repeated one the first. None when a field
  /// is out of range or the zone skipped the day.
  std::optional<QDateTime> date(const pf::Calendar& calendar) const;

  /// "YYYY-MM-DD"; with four-digit years these sort in date order as plain text.
  QString dateKey() const;

  /// Reads the object; all five keys are required. Throws `pf::JsonError`.
  static ReminderTime fromJson(const pf::JsonObjectReader& object);
  /// The same read straight from a `pf::JsonDocument`; throws `pf::JsonUnsure` on
  /// anything the reading above might read otherwise or refuse.
  static ReminderTime fromJson(const simdjson::dom::object& object);
  /// Writes the object, keys sorted.
  void write(pf::JsonWriter& writer) const;

  bool operator==(const ReminderTime&) const = default;
};

#pragma once

#include "reminders/QuibReminder.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace pf {
class JsonObjectReader;
class JsonWriter;
}  // namespace pf
namespace simdjson::dom {
class object;
}  // namespace simdjson::dom

/// One announcement of one due time of a reminder, compared field by field.
/// Moments are UTC; in JSON they are seconds since 2001-01-01 00:00:00 UTC.
struct ReminderOccurrence {
  /// Reminder id, schedule id and due day (see `ReminderSchedule::key`).
  QString id;
  /// The reminder as it was when the occurrence was made, kept up to date
  /// while its schedule stays the same.
  QuibReminder reminder;
  /// The scheduled moment.
  QDateTime due;
  /// When a snooze ends.
  std::optional<QDateTime> snoozedUntil;
  /// First showing since it was made or last snoozed.
  std::optional<QDateTime> presentedAt;
  /// When it was marked done or closed; none while it is open.
  std::optional<QDateTime> completedAt;

  bool isOpen() const { return !completedAt; }
  /// When it may be shown: the end of its snooze, else its due time.
  QDateTime readyAt() const { return snoozedUntil.value_or(due); }

  /// Whether every moment is one this program can represent (an unrepresentable
  /// stored number reads as an invalid moment).
  bool hasValidDates() const;

  /// Reads the object; "id", "reminder" and "due" are required. Throws `pf::JsonError`.
  static ReminderOccurrence fromJson(const pf::JsonObjectReader& object);
  /// Reads the reminder object of an occurrence in a document.
  using ReadReminder = std::function<QuibReminder(const simdjson::dom::object&)>;
  /// The same read straight from a document, the reminder by `readReminder`;
  /// throws `pf::JsonUnsure` on anything the reading above might read
  /// otherwise or refuse.
  static ReminderOccurrence fromJson(const simdjson::dom::object& object, const ReadReminder& readReminder);
  /// Writes the object, keys sorted; the three optional moments only when set.
  void write(pf::JsonWriter& writer) const;

  /// A moment as stored: seconds since 2001-01-01 00:00:00 UTC.
  static double seconds(const QDateTime& instant);
  /// The moment of a stored number; invalid when it is not finite or out of range.
  static QDateTime moment(double seconds);

  bool operator==(const ReminderOccurrence&) const = default;
};

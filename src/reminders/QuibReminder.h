#pragma once

#include "reminders/ReminderRepeat.h"
#include "reminders/ReminderTime.h"

#include <QString>
#include <optional>
#include <vector>

namespace pf {
class Calendar;
class JsonDocument;
class JsonObjectReader;
class JsonWriter;
}  // namespace pf
namespace simdjson::dom {
class object;
}  // namespace simdjson::dom

/// A named message the companion says at a local wall-clock time, once,
/// daily or weekly, compared field by field.
struct QuibReminder {
  /// Identity of the reminder; never changes.
  QString id;
  /// Identity of the current schedule; replaced whenever the schedule changes.
  QString scheduleID;
  /// Short title.
  QString name;
  /// What the companion says.
  QString message;
  /// Once: the due time. Daily and weekly: the first day and the time of every repeat.
  ReminderTime time;
  ReminderRepeat repeatRule = ReminderRepeat::once;
  /// Weekly only: the Gregorian weekdays it repeats on, 1 = Sunday to 7 = Saturday.
  std::vector<qint64> weekdays;
  /// Raw value of the action performed when it is announced.
  QString animation = QStringLiteral("dance");
  /// Id and label of a saved shortcut offered with the alert.
  std::optional<QString> actionID;
  std::optional<QString> actionLabel;
  /// A paused reminder produces no occurrences and its open ones are not shown.
  bool paused = false;

  /// Throws `QuibError` with the first rule broken, checking the date in the
  /// calendar of the current time zone.
  void validate() const;
  /// The same, checking the date in `calendar`.
  void validate(const pf::Calendar& calendar) const;

  /// Whether both fire at the same times: equal time and rule and the same set
  /// of weekdays (order and repeats ignored).
  bool sameSchedule(const QuibReminder& other) const;

  /// Reads the object; every key is required except "actionID" and
  /// "actionLabel". Throws `pf::JsonError`.
  static QuibReminder fromJson(const pf::JsonObjectReader& object);
  /// The same read straight from a document; throws `pf::JsonUnsure` on
  /// anything the reading above might read otherwise or refuse.
  static QuibReminder fromJson(pf::JsonDocument& document, const simdjson::dom::object& object);
  /// Writes the object, keys sorted; "actionID" and "actionLabel" only when present.
  void write(pf::JsonWriter& writer) const;

  bool operator==(const QuibReminder&) const = default;
};

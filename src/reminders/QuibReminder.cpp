#include "reminders/QuibReminder.h"

#include "character/QuibAction.h"
#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"
#include "platform/core/Text.h"
#include "reminders/ReminderSchedule.h"
#include "shortcuts/QuibError.h"

#include <algorithm>
#include <set>

namespace {

const QString textRule =
    QStringLiteral("Enter a reminder name (up to 100 characters) and your message (up to 4,000 characters).");
const QString scheduleRule =
    QStringLiteral("Choose a valid date, time, animation and at least one day for a weekly reminder.");

bool fits(const QString& text, int limit) {
  // Not empty once trimmed: some character that is not white space.
  if (std::ranges::all_of(text, pf::Text::isWhiteSpaceOrNewline)) return false;
  // A character is at least one UTF-16 unit, so short texts need no counting.
  return text.size() <= limit || pf::Text::characterCount(text) <= limit;
}

/// Whether the date names a day the calendar has: it neither rolls over into
/// another day (30 February) nor was skipped by the zone.
bool dayExists(const ReminderTime& time, const pf::Calendar& calendar) {
  const auto day = ReminderTime(time.year, time.month, time.day, 0, 0).date(calendar);
  if (!day) return false;
  const pf::WallTime found = calendar.wallTime(*day);
  return found.year == time.year && found.month == time.month && found.day == time.day;
}

bool hasValidWeekdays(const QuibReminder& reminder) {
  if (reminder.repeatRule != ReminderRepeat::weekly) return true;
  return !reminder.weekdays.empty() &&
         std::ranges::all_of(reminder.weekdays, [](qint64 day) { return day >= 1 && day <= 7; });
}

}  // namespace

void QuibReminder::validate() const { validate(ReminderSchedule::calendar()); }

void QuibReminder::validate(const pf::Calendar& calendar) const {
  if (!fits(name, 100) || !fits(message, 4000)) throw QuibError(textRule);
  // The ranges come first so that no out-of-range number is ever made into a date.
  const bool valid = !id.isEmpty() && !scheduleID.isEmpty() && time.isInRange() &&
                     QuibAction::fromRawValue(animation) && dayExists(time, calendar) &&
                     hasValidWeekdays(*this);
  if (!valid) throw QuibError(scheduleRule);
}

bool QuibReminder::sameSchedule(const QuibReminder& other) const {
  return time == other.time && repeatRule == other.repeatRule &&
         std::set(weekdays.begin(), weekdays.end()) == std::set(other.weekdays.begin(), other.weekdays.end());
}

QuibReminder QuibReminder::fromJson(const pf::JsonObjectReader& object) {
  const QString rawRule = object.string(QStringLiteral("repeatRule"));
  const auto rule = ReminderRepeat::fromRawValue(rawRule);
  if (!rule)
    throw pf::JsonError(QStringLiteral("\"%1\" is not a repeat rule.").arg(rawRule),
                        QStringLiteral("repeatRule"), object.path());
  return {object.string(QStringLiteral("id")),
          object.string(QStringLiteral("scheduleID")),
          object.string(QStringLiteral("name")),
          object.string(QStringLiteral("message")),
          ReminderTime::fromJson(object.object(QStringLiteral("time"))),
          *rule,
          object.array(QStringLiteral("weekdays")).integers(),
          object.string(QStringLiteral("animation")),
          object.optionalString(QStringLiteral("actionID"), pf::JsonNull::absent),
          object.optionalString(QStringLiteral("actionLabel"), pf::JsonNull::absent),
          object.boolean(QStringLiteral("paused"))};
}

QuibReminder QuibReminder::fromJson(pf::JsonDocument& document, const simdjson::dom::object& object) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 11> keys{
      "actionID", "actionLabel", "animation", "id",   "message", "name",
      "paused",   "repeatRule",  "scheduleID", "time", "weekdays"};
  const auto [actionID, actionLabel, animation, id, message, name, paused, repeatRule, scheduleID, time,
              weekdays] = Document::fields(object, keys);
  const auto rule = ReminderRepeat::fromRawValue(document.sharedString(repeatRule));
  if (!rule) throw pf::JsonUnsure{};
  // Null stands for a missing action.
  const auto action = [&document](const Document::Field& field) -> std::optional<QString> {
    if (!Document::isPresent(field)) return std::nullopt;
    return document.sharedString(field);
  };
  return {document.sharedString(id),
          document.sharedString(scheduleID),
          document.sharedString(name),
          document.sharedString(message),
          ReminderTime::fromJson(Document::object(time)),
          *rule,
          Document::integers(weekdays),
          document.sharedString(animation),
          action(actionID),
          action(actionLabel),
          Document::boolean(paused)};
}

void QuibReminder::write(pf::JsonWriter& writer) const {
  const auto text = [&writer](QStringView key, const QString& value) {
    writer.key(key);
    writer.string(value);
  };
  writer.beginObject();
  if (actionID) text(u"actionID", *actionID);
  if (actionLabel) text(u"actionLabel", *actionLabel);
  text(u"animation", animation);
  text(u"id", id);
  text(u"message", message);
  text(u"name", name);
  writer.key(u"paused");
  writer.boolean(paused);
  text(u"repeatRule", repeatRule.rawValue());
  text(u"scheduleID", scheduleID);
  writer.key(u"time");
  time.write(writer);
  writer.key(u"weekdays");
  writer.beginArray();
  for (qint64 day : weekdays) writer.integer(day);
  writer.endArray();
  writer.endObject();
}

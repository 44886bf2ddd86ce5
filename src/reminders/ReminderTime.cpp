#include "reminders/ReminderTime.h"

#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"

ReminderTime::ReminderTime(const QDateTime& moment, const pf::Calendar& calendar) {
  const pf::WallTime wall = calendar.wallTime(moment);
  *this = ReminderTime(wall.year, wall.month, wall.day, wall.hour, wall.minute);
}

bool ReminderTime::isInRange() const {
  return year >= 1900 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
         hour <= 23 && minute >= 0 && minute <= 59;
}

std::optional<QDateTime> ReminderTime::date(const pf::Calendar& calendar) const {
  if (!isInRange()) return std::nullopt;
  return calendar.date(pf::WallTime{int(year), int(month), int(day), int(hour), int(minute)});
}

QString ReminderTime::dateKey() const {
  return QString::asprintf("%04lld-%02lld-%02lld", static_cast<long long>(year),
                           static_cast<long long>(month), static_cast<long long>(day));
}

ReminderTime ReminderTime::fromJson(const pf::JsonObjectReader& object) {
  return {object.integer(QStringLiteral("year")), object.integer(QStringLiteral("month")),
          object.integer(QStringLiteral("day")), object.integer(QStringLiteral("hour")),
          object.integer(QStringLiteral("minute"))};
}

ReminderTime ReminderTime::fromJson(const simdjson::dom::object& object) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 5> keys{"day", "hour", "minute", "month", "year"};
  const auto [day, hour, minute, month, year] = Document::fields(object, keys);
  return {Document::integer(year), Document::integer(month), Document::integer(day), Document::integer(hour),
          Document::integer(minute)};
}

void ReminderTime::write(pf::JsonWriter& writer) const {
  writer.beginObject();
  for (const auto& [key, value] :
       {std::pair(u"day", day), std::pair(u"hour", hour), std::pair(u"minute", minute),
        std::pair(u"month", month), std::pair(u"year", year)}) {
    writer.key(key);
    writer.integer(value);
  }
  writer.endObject();
}

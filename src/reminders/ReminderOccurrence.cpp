#include "reminders/ReminderOccurrence.h"

#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"

#include <cmath>

namespace {

constexpr qint64 referenceMSecs = 978307200000;  // 2001-01-01 00:00:00 UTC
// About 30 million years either way: far inside what milliseconds in 64 bits hold.
constexpr double largestSeconds = 1e15;

std::optional<QDateTime> optionalMoment(const pf::JsonObjectReader& object, const QString& key) {
  const auto seconds = object.optionalNumber(key, pf::JsonNull::absent);
  if (!seconds) return std::nullopt;
  return ReminderOccurrence::moment(*seconds);
}

}  // namespace

bool ReminderOccurrence::hasValidDates() const {
  const auto valid = [](const std::optional<QDateTime>& moment) { return !moment || moment->isValid(); };
  return due.isValid() && valid(snoozedUntil) && valid(presentedAt) && valid(completedAt);
}

double ReminderOccurrence::seconds(const QDateTime& instant) {
  return double(instant.toMSecsSinceEpoch() - referenceMSecs) / 1000.0;
}

QDateTime ReminderOccurrence::moment(double seconds) {
  if (!std::isfinite(seconds) || std::abs(seconds) > largestSeconds) return {};
  return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0) + referenceMSecs, Qt::UTC);
}

ReminderOccurrence ReminderOccurrence::fromJson(const pf::JsonObjectReader& object) {
  return {object.string(QStringLiteral("id")),
          QuibReminder::fromJson(object.object(QStringLiteral("reminder"))),
          moment(object.number(QStringLiteral("due"))),
          optionalMoment(object, QStringLiteral("snoozedUntil")),
          optionalMoment(object, QStringLiteral("presentedAt")),
          optionalMoment(object, QStringLiteral("completedAt"))};
}

ReminderOccurrence ReminderOccurrence::fromJson(const simdjson::dom::object& object, const ReadReminder& readReminder) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 6> keys{"completedAt", "due",      "id",
                                                        "presentedAt", "reminder", "snoozedUntil"};
  const auto [completedAt, due, id, presentedAt, reminder, snoozedUntil] = Document::fields(object, keys);
  // Null stands for a moment not set.
  const auto optionalMoment = [](const Document::Field& field) -> std::optional<QDateTime> {
    if (!Document::isPresent(field)) return std::nullopt;
    return moment(Document::number(field));
  };
  return {Document::string(id),          readReminder(Document::object(reminder)),
          moment(Document::number(due)), optionalMoment(snoozedUntil),
          optionalMoment(presentedAt),   optionalMoment(completedAt)};
}

void ReminderOccurrence::write(pf::JsonWriter& writer) const {
  const auto date = [&writer](QStringView key, const std::optional<QDateTime>& moment) {
    if (!moment) return;
    writer.key(key);
    writer.number(seconds(*moment));
  };
  writer.beginObject();
  date(u"completedAt", completedAt);
  date(u"due", due);
  writer.key(u"id");
  writer.string(id);
  date(u"presentedAt", presentedAt);
  writer.key(u"reminder");
  reminder.write(writer);
  date(u"snoozedUntil", snoozedUntil);
  writer.endObject();
}

#include "reminders/ReminderOccurrence.h"

#include <cmath>

#include "platform/core/JsonReader.h"

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

QJsonValue ReminderOccurrence::moment(const QDateTime& instant) {
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

QJsonObject ReminderOccurrence::json() const {
  QJsonObject object{{QStringLiteral("id"), id},
                     {QStringLiteral("reminder"), reminder.json()},
                     {QStringLiteral("due"), moment(due)}};
  if (snoozedUntil) object.insert(QStringLiteral("snoozedUntil"), moment(*snoozedUntil));
  if (presentedAt) object.insert(QStringLiteral("presentedAt"), moment(*presentedAt));
  if (completedAt) object.insert(QStringLiteral("completedAt"), moment(*completedAt));
  return object;
}

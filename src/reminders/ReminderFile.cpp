#include "reminders/ReminderFile.h"

#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"
#include "reminders/ReminderSchedule.h"
#include "shortcuts/QuibError.h"

#include <QSet>

namespace {

const QString unreadable =
    QStringLiteral("The reminders file is unreadable or from a newer version. It has been preserved.");

template <typename Items>
bool idsDiffer(const Items& items) {
  QSet<QString> seen;
  seen.reserve(qsizetype(items.size()));
  for (const auto& item : items) {
    if (seen.contains(item.id)) return false;
    seen.insert(item.id);
  }
  return true;
}

}  // namespace

void ReminderFile::validate() const {
  if (version != currentVersion || !idsDiffer(reminders) || !idsDiffer(occurrences))
    throw QuibError(unreadable);
  const pf::Calendar calendar = ReminderSchedule::calendar();
  for (const QuibReminder& reminder : reminders) reminder.validate(calendar);
  for (const ReminderOccurrence& occurrence : occurrences) {
    occurrence.reminder.validate(calendar);
    if (!occurrence.hasValidDates()) throw QuibError(QStringLiteral("Invalid reminder date."));
  }
}

ReminderFile ReminderFile::decode(const QByteArray& bytes) {
  const pf::JsonObjectReader object = pf::JsonObjectReader::parse(bytes);
  ReminderFile file;
  file.version = object.integer(QStringLiteral("version"));
  if (file.version != currentVersion) throw QuibError(unreadable);
  for (const pf::JsonObjectReader& reminder : object.array(QStringLiteral("reminders")).objects())
    file.reminders.push_back(QuibReminder::fromJson(reminder));
  for (const pf::JsonObjectReader& occurrence : object.array(QStringLiteral("occurrences")).objects())
    file.occurrences.push_back(ReminderOccurrence::fromJson(occurrence));
  return file;
}

QByteArray ReminderFile::encoded() const {
  pf::JsonWriter writer;
  writer.beginObject();
  writer.key(u"occurrences");
  writer.beginArray();
  for (const ReminderOccurrence& occurrence : occurrences) occurrence.write(writer);
  writer.endArray();
  writer.key(u"reminders");
  writer.beginArray();
  for (const QuibReminder& reminder : reminders) reminder.write(writer);
  writer.endArray();
  writer.key(u"version");
  writer.integer(version);
  writer.endObject();
  return writer.take();
}

#include "reminders/ReminderFile.h"

#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"
#include "platform/core/TextHash.h"
#include "platform/core/TextSet.h"
#include "reminders/ReminderSchedule.h"
#include "values/QuibError.h"

#include <unordered_map>

namespace {

const QString unreadable =
    QStringLiteral("The reminders file is unreadable or from a newer version. It has been preserved.");

/// A listed reminder as written and as read.
struct ListedReminder {
  pf::JsonDocument::Object object;
  const QuibReminder* reminder = nullptr;
};
using ListedReminders = std::unordered_map<std::string_view, ListedReminder>;

std::string_view idOf(const pf::JsonDocument::Object& object) {
  std::string_view id;
  if (object.at_key("id").get(id) != simdjson::SUCCESS) return {};
  return id;
}

ListedReminders listedByID(const pf::JsonDocument::Array& objects, const std::vector<QuibReminder>& reminders) {
  ListedReminders listed;
  listed.reserve(reminders.size());
  auto reminder = reminders.begin();
  for (const pf::JsonDocument::Value object : objects) {
    const pf::JsonDocument::Object members = pf::JsonDocument::object(object);
    listed.try_emplace(idOf(members), ListedReminder{members, &*reminder++});
  }
  return listed;
}

}  // namespace

void ReminderFile::validate() const {
  using pf::TextSet;
  if (version != currentVersion || !TextSet::allDistinct(reminders, &QuibReminder::id) ||
      !TextSet::allDistinct(occurrences, &ReminderOccurrence::id)) {
    throw QuibError(unreadable);
  }
  const pf::Calendar calendar = ReminderSchedule::calendar();
  std::unordered_map<QStringView, const QuibReminder*, pf::TextHash> passed;
  passed.reserve(reminders.size());
  for (const QuibReminder& reminder : reminders) {
    reminder.validate(calendar);
    passed.emplace(reminder.id, &reminder);
  }
  for (const ReminderOccurrence& occurrence : occurrences) {
    // An occurrence mostly holds its reminder as listed, which has just passed.
    const auto listed = passed.find(occurrence.reminder.id);
    if (listed == passed.end() || !(*listed->second == occurrence.reminder)) occurrence.reminder.validate(calendar);
    if (!occurrence.hasValidDates()) throw QuibError(QStringLiteral("Invalid reminder date."));
  }
}

QString ReminderFile::tooLargeToSave() {
  return QStringLiteral("Reminders would take more than %1 MB. Delete reminders you no longer need.")
      .arg(largestFileBytes / (1024 * 1024));
}

ReminderFile ReminderFile::decode(const QByteArray& bytes) {
  if (bytes.size() <= largestFileBytes) {
    try {
      pf::JsonDocument document(bytes);
      return fromJson(document);
    } catch (const pf::JsonUnsure&) {
      // The strict reading decides, and words any refusal.
    }
  }
  return decodeStrictly(bytes);
}

ReminderFile ReminderFile::decodeStrictly(const QByteArray& bytes) {
  if (bytes.size() > largestFileBytes)
    throw QuibError(QStringLiteral("The reminders file is larger than %1 MB, more than reminders take. "
                                   "It has been preserved.")
                        .arg(largestFileBytes / (1024 * 1024)));
  const pf::JsonObjectReader object = pf::JsonObjectReader::parse(bytes);
  ReminderFile file;
  file.version = object.integer(QStringLiteral("version"));
  if (file.version != currentVersion) throw QuibError(unreadable);
  const auto reminders = object.array(QStringLiteral("reminders")).objects();
  file.reminders.reserve(reminders.size());
  for (const pf::JsonObjectReader& reminder : reminders) file.reminders.push_back(QuibReminder::fromJson(reminder));
  const auto occurrences = object.array(QStringLiteral("occurrences")).objects();
  file.occurrences.reserve(occurrences.size());
  for (const pf::JsonObjectReader& occurrence : occurrences)
    file.occurrences.push_back(ReminderOccurrence::fromJson(occurrence));
  return file;
}

ReminderFile ReminderFile::fromJson(pf::JsonDocument& document) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 3> keys{"occurrences", "reminders", "version"};
  const auto [occurrences, reminders, version] = Document::fields(document.top(), keys);
  if (Document::integer(version) != currentVersion) throw pf::JsonUnsure{};
  ReminderFile file;
  // Reminders first: their texts are the ones the occurrences' copies then share.
  file.reminders = Document::objects(
      reminders, [&document](const Document::Object& item) { return QuibReminder::fromJson(document, item); });
  const ListedReminders listed = listedByID(Document::array(reminders), file.reminders);
  const auto readReminder = [&document, &listed](const Document::Object& item) {
    // An occurrence mostly holds its reminder as listed; what holds the same reads the same.
    const auto found = listed.find(idOf(item));
    if (found != listed.end() && Document::same(found->second.object, item)) return *found->second.reminder;
    return QuibReminder::fromJson(document, item);
  };
  file.occurrences = Document::objects(occurrences, [&readReminder](const Document::Object& item) {
    return ReminderOccurrence::fromJson(item, readReminder);
  });
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

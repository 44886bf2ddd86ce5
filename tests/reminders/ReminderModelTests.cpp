// The reminder model: validation sentences word for word, strict decoding,
// the stored form and the journal's own rules.
#include "platform/core/JsonDocument.h"
#include "reminders/ReminderFile.h"
#include "reminders/ReminderSupport.h"
#include "support/RawChoiceChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

using test::messageOf;
using test::reminder;

namespace {

const QString textRule =
    QStringLiteral("Enter a reminder name (up to 100 characters) and your message (up to 4,000 characters).");
const QString scheduleRule =
    QStringLiteral("Choose a valid date, time, animation and at least one day for a weekly reminder.");
const QString unreadable =
    QStringLiteral("The reminders file is unreadable or from a newer version. It has been preserved.");

struct ValidationCase {
  const char* what;
  std::function<void(QuibReminder&)> edit;
  QString expected;  // "" when the reminder is valid
};

QString family(int count) { return QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467").repeated(count); }

const qint64 huge = std::numeric_limits<qint64>::max();

const ValidationCase validationCases[] = {
    // Name and message: trimmed emptiness, untrimmed length in user-perceived characters.
    {"name of spaces", [](QuibReminder& r) { r.name = "   \t"; }, textRule},
    {"99 letters between spaces", [](QuibReminder& r) { r.name = ' ' + QString(99, 'a') + ' '; }, textRule},
    {"100 letters", [](QuibReminder& r) { r.name = QString(100, 'a'); }, ""},
    {"100 family emoji", [](QuibReminder& r) { r.name = family(100); }, ""},
    {"101 family emoji", [](QuibReminder& r) { r.name = family(101); }, textRule},
    {"message 4000", [](QuibReminder& r) { r.message = QString(4000, 'm'); }, ""},
    {"message 4001", [](QuibReminder& r) { r.message = QString(4001, 'm'); }, textRule},
    {"message of line breaks", [](QuibReminder& r) { r.message = "\n\u2028 \r\n"; }, textRule},
    {"text rule before date rule",
     [](QuibReminder& r) {
       r.name = "";
       r.time.day = 30;
       r.time.month = 2;
     },
     textRule},
    // Dates that do not exist.
    {"30 February",
     [](QuibReminder& r) {
       r.time = {2026, 2, 30, 9, 0};
     },
     scheduleRule},
    {"31 April",
     [](QuibReminder& r) {
       r.time = {2026, 4, 31, 9, 0};
     },
     scheduleRule},
    {"29 February 2027",
     [](QuibReminder& r) {
       r.time = {2027, 2, 29, 9, 0};
     },
     scheduleRule},
    {"31 March",
     [](QuibReminder& r) {
       r.time = {2026, 3, 31, 23, 59};
     },
     ""},
    {"29 February 2028",
     [](QuibReminder& r) {
       r.time = {2028, 2, 29, 9, 0};
     },
     ""},
    // Ranges, checked before any date is made, however large the number.
    {"year 1899", [](QuibReminder& r) { r.time.year = 1899; }, scheduleRule},
    {"year 1900", [](QuibReminder& r) { r.time.year = 1900; }, ""},
    {"year 9999", [](QuibReminder& r) { r.time.year = 9999; }, ""},
    {"year 10000", [](QuibReminder& r) { r.time.year = 10000; }, scheduleRule},
    {"largest year", [](QuibReminder& r) { r.time.year = huge; }, scheduleRule},
    {"smallest day", [](QuibReminder& r) { r.time.day = -huge - 1; }, scheduleRule},
    {"month 13", [](QuibReminder& r) { r.time.month = 13; }, scheduleRule},
    {"month as large as it gets", [](QuibReminder& r) { r.time.month = huge; }, scheduleRule},
    {"hour 24", [](QuibReminder& r) { r.time.hour = 24; }, scheduleRule},
    {"minute 60", [](QuibReminder& r) { r.time.minute = 60; }, scheduleRule},
    {"minute -1", [](QuibReminder& r) { r.time.minute = -1; }, scheduleRule},
    // Identity and animation.
    {"empty id", [](QuibReminder& r) { r.id.clear(); }, scheduleRule},
    {"empty schedule id", [](QuibReminder& r) { r.scheduleID.clear(); }, scheduleRule},
    {"animation wave", [](QuibReminder& r) { r.animation = "wave"; }, scheduleRule},
    {"animation dj", [](QuibReminder& r) { r.animation = "dj"; }, ""},
    // Weekdays count for weekly reminders only.
    {"weekly without days",
     [](QuibReminder& r) {
       r.repeatRule = ReminderRepeat::weekly;
       r.weekdays = {};
     },
     scheduleRule},
    {"weekly day 0",
     [](QuibReminder& r) {
       r.repeatRule = ReminderRepeat::weekly;
       r.weekdays = {2, 0};
     },
     scheduleRule},
    {"weekly day 8",
     [](QuibReminder& r) {
       r.repeatRule = ReminderRepeat::weekly;
       r.weekdays = {8};
     },
     scheduleRule},
    {"weekly Sunday and Saturday",
     [](QuibReminder& r) {
       r.repeatRule = ReminderRepeat::weekly;
       r.weekdays = {1, 7};
     },
     ""},
    {"daily with no days", [](QuibReminder& r) { r.weekdays = {}; }, ""},
    {"daily with odd days",
     [](QuibReminder& r) {
       r.weekdays = {0, 99, -4};
     },
     ""},
};

}  // namespace

TEST(ReminderModel, ValidationRefusesWithItsSentences) {
  for (const ValidationCase& c : validationCases) {
    QuibReminder r = reminder();
    c.edit(r);
    EXPECT_EQ(messageOf([&] { r.validate(); }), c.expected) << c.what;
  }
}

TEST(ReminderModel, ADayTheCurrentZoneSkippedIsRefused) {
  QuibReminder r = reminder();
  r.time = {2011, 12, 30, 12, 0};
  EXPECT_EQ(messageOf([&] { r.validate(test::calendarIn("Pacific/Apia")); }), scheduleRule);
  EXPECT_EQ(messageOf([&] { r.validate(test::calendarIn("Europe/Berlin")); }), "");
  test::ZoneScope apia("Pacific/Apia");
  EXPECT_EQ(messageOf([&] { r.validate(); }), scheduleRule);
}

TEST(ReminderModel, SameScheduleComparesTimeRuleAndTheSetOfWeekdays) {
  QuibReminder a = reminder("R1", ReminderRepeat::weekly);
  a.weekdays = {2, 4};
  QuibReminder b = a;
  b.weekdays = {4, 2, 2};
  b.name = "Other";
  b.message = "Other words";
  b.animation = "dj";
  b.actionID = "web-1";
  b.paused = true;
  EXPECT_TRUE(a.sameSchedule(b));
  b.time.minute = 1;
  EXPECT_FALSE(a.sameSchedule(b));
  b = a;
  b.weekdays = {2};
  EXPECT_FALSE(a.sameSchedule(b));
  b = a;
  b.repeatRule = ReminderRepeat::daily;
  EXPECT_FALSE(a.sameSchedule(b));
}

TEST(ReminderModel, RepeatRulesAndDateKeys) {
  test::expectRawValuesRoundTrip<ReminderRepeat>(true);
  for (const ReminderRepeat rule : ReminderRepeat::allCases())
    EXPECT_EQ(rule.title(), rule.rawValue().left(1).toUpper() + rule.rawValue().mid(1));
  EXPECT_EQ(ReminderTime(2026, 3, 7, 9, 5).dateKey(), "2026-03-07");
  EXPECT_EQ(ReminderTime(987, 12, 1, 0, 0).dateKey(), "0987-12-01");
}

TEST(ReminderModel, TheStoredFormIsSortedPrettyJSONWithDatesSince2001) {
  ReminderFile file;
  QuibReminder r = reminder("R1", ReminderRepeat::weekly);
  r.actionID = "web-1";
  file.reminders.push_back(r);
  r.actionID.reset();
  file.occurrences.push_back({"R1:S-R1:2026-03-07",
                              r,
                              QDateTime(QDate(2026, 3, 7), QTime(14, 0), Qt::UTC),
                              QDateTime(QDate(2026, 3, 7), QTime(14, 5, 30, 500), Qt::UTC),
                              {},
                              {}});
  const QByteArray expected = R"({
    "occurrences": [
        {
            "due": 794584800,
            "id": "R1:S-R1:2026-03-07",
            "reminder": {
                "animation": "dance",
                "id": "R1",
                "message": "Stand up and stretch for a minute.",
                "name": "Stretch R1",
                "paused": false,
                "repeatRule": "weekly",
                "scheduleID": "S-R1",
                "time": {
                    "day": 7,
                    "hour": 9,
                    "minute": 0,
                    "month": 3,
                    "year": 2026
                },
                "weekdays": [
                    2,
                    4
                ]
            },
            "snoozedUntil": 794585130.5
        }
    ],
    "reminders": [
        {
            "actionID": "web-1",
            "animation": "dance",
            "id": "R1",
            "message": "Stand up and stretch for a minute.",
            "name": "Stretch R1",
            "paused": false,
            "repeatRule": "weekly",
            "scheduleID": "S-R1",
            "time": {
                "day": 7,
                "hour": 9,
                "minute": 0,
                "month": 3,
                "year": 2026
            },
            "weekdays": [
                2,
                4
            ]
        }
    ],
    "version": 1
}
)";
  EXPECT_EQ(file.encoded(), expected);
  EXPECT_EQ(ReminderFile::decode(expected), file);
  EXPECT_EQ(ReminderFile::decode(expected).occurrences[0].isOpen(), true);
  // Every journal this program writes is read straight from the document, to
  // what the strict reading gives.
  pf::JsonDocument document(expected);
  EXPECT_EQ(ReminderFile::fromJson(document), file);
  EXPECT_EQ(ReminderFile::decodeStrictly(expected), file);
}

TEST(ReminderModel, DecodingIsStrict) {
  const auto withReminder = [](const char* edit) {
    ReminderFile file;
    file.reminders = {reminder()};
    QJsonObject object = QJsonDocument::fromJson(file.encoded())["reminders"][0].toObject();
    const QJsonObject changes = QJsonDocument::fromJson(edit).object();
    for (auto it = changes.begin(); it != changes.end(); ++it)
      if (it.value().isUndefined() || it.value() == QJsonValue(QStringLiteral("<remove>")))
        object.remove(it.key());
      else
        object.insert(it.key(), it.value());
    return QJsonDocument(QJsonObject{{"version", 1}, {"reminders", QJsonArray{object}}, {"occurrences", QJsonArray{}}})
        .toJson();
  };
  // A journal as this program writes it is read straight from the document;
  // whatever that reading is unsure of, the strict reading decides and words.
  const struct {
    const char* edit;
    bool decodes;
    bool direct;
  } cases[] = {
      {R"({})", true, true},
      {R"({"paused": "<remove>"})", false, false},
      {R"({"weekdays": "<remove>"})", false, false},
      {R"({"actionID": "<remove>", "actionLabel": null})", true, true},
      {R"({"actionID": "shortcut", "actionLabel": "Open it", "paused": true})", true, true},
      {R"({"paused": 1})", false, false},
      {R"({"weekdays": [true]})", false, false},
      {R"({"weekdays": [2.5]})", false, false},
      {R"({"time": {"year": 2026.5, "month": 3, "day": 7, "hour": 9, "minute": 0}})", false, false},
      {R"({"time": {"year": 2026, "month": 3, "day": 7, "hour": 9}})", false, false},
      {R"({"time": {"year": 2026, "month": 3, "day": 7, "hour": 9, "minute": 0, "second": 0}})", true, false},
      {R"({"repeatRule": "hourly"})", false, false},
      {R"({"name": 7})", false, false},
      {R"({"name": "\ufeffStretch"})", true, false},
      {R"({"note": "kept by a later version"})", true, false},
  };
  for (const auto& c : cases) {
    const QByteArray bytes = withReminder(c.edit);
    const QString error = messageOf([&] { ReminderFile::decode(bytes); });
    EXPECT_EQ(error.isEmpty(), c.decodes) << c.edit << ": " << error.toStdString();
    EXPECT_EQ(messageOf([&] { ReminderFile::decodeStrictly(bytes); }), error) << c.edit;
    if (c.decodes) {
      EXPECT_EQ(ReminderFile::decode(bytes), ReminderFile::decodeStrictly(bytes)) << c.edit;
    }
    bool direct = true;
    try {
      pf::JsonDocument document(bytes);
      ReminderFile::fromJson(document);
    } catch (const pf::JsonUnsure&) {
      direct = false;
    }
    EXPECT_EQ(direct, c.direct) << c.edit;
  }
}

TEST(ReminderModel, AnOccurrenceHoldingItsReminderAsListedReadsAsThatReminder) {
  ReminderFile file;
  file.reminders = {reminder("R1"), reminder("R2")};
  const QDateTime due(QDate(2026, 3, 7), QTime(14, 0), Qt::UTC);
  QuibReminder edited = reminder("R1");
  edited.message = QStringLiteral("Stretch a little longer");
  QuibReminder renamed = reminder("R2");
  renamed.id = QStringLiteral("R1");
  file.occurrences = {{"O1", reminder("R1"), due, {}, {}, {}},
                      {"O2", edited, due, {}, {}, {}},
                      {"O3", renamed, due, {}, {}, {}},
                      {"O4", reminder("R3"), due, {}, {}, {}}};
  const ReminderFile decoded = ReminderFile::decode(file.encoded());
  EXPECT_EQ(decoded, file);
  EXPECT_EQ(ReminderFile::decodeStrictly(file.encoded()), file);
  EXPECT_TRUE(decoded.occurrences[0].reminder.message.isSharedWith(decoded.reminders[0].message));
  EXPECT_FALSE(decoded.occurrences[1].reminder.message.isSharedWith(decoded.reminders[0].message));
}

TEST(ReminderModel, TheJournalRefusesNewerVersionsDuplicatesAndBadDates) {
  const auto messageFor = [](const std::function<void(ReminderFile&)>& edit) {
    ReminderFile file;
    file.reminders = {reminder("R1"), reminder("R2")};
    file.occurrences.push_back(
        {"R1:S-R1:2026-03-07", reminder("R1"), QDateTime(QDate(2026, 3, 7), QTime(14, 0), Qt::UTC), {}, {}, {}});
    file.occurrences.push_back(
        {"R1:S-R1:2026-03-08", reminder("R1"), QDateTime(QDate(2026, 3, 8), QTime(14, 0), Qt::UTC), {}, {}, {}});
    edit(file);
    return messageOf([&] { file.validate(); });
  };
  EXPECT_EQ(messageFor([](ReminderFile&) {}), "");
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.version = 2; }), unreadable);
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.reminders[1].id = "R1"; }), unreadable);
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.occurrences[1].id = f.occurrences[0].id; }), unreadable);
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.reminders[1].animation = "wave"; }), scheduleRule);
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.occurrences[1].reminder.name = ""; }), textRule);
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.occurrences[1].due = ReminderOccurrence::moment(1e300); }),
            "Invalid reminder date.");
  EXPECT_EQ(messageFor([](ReminderFile& f) { f.occurrences[0].snoozedUntil = ReminderOccurrence::moment(-1e16); }),
            "Invalid reminder date.");
  // A newer journal is refused by its version alone, whatever shape the rest has.
  EXPECT_EQ(messageOf([] { ReminderFile::decode(R"({"version": 2, "entries": {}})"); }), unreadable);
  // So is a file past the size limit by its size.
  const QByteArray empty = R"({"version": 1, "reminders": [], "occurrences": []})";
  EXPECT_EQ(messageOf([&] { ReminderFile::decode(empty.leftJustified(ReminderFile::largestFileBytes)); }), "");
  EXPECT_EQ(messageOf([&] { ReminderFile::decodeStrictly(empty.leftJustified(ReminderFile::largestFileBytes)); }), "");
  EXPECT_EQ(messageOf([&] { ReminderFile::decode(empty.leftJustified(ReminderFile::largestFileBytes + 1)); }),
            "The reminders file is larger than 64 MB, more than reminders take. It has been preserved.");
  // A change whose journal would pass the limit is refused, so no journal past it is ever written.
  EXPECT_EQ(ReminderFile::tooLargeToSave(),
            "Reminders would take more than 64 MB. Delete reminders you no longer need.");
}

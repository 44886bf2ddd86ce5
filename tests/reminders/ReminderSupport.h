#pragma once

#include "platform/core/Calendar.h"
#include "platform/core/Files.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"
#include "support/TestEnvironment.h"
#include "values/ErrorSentence.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimeZone>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace test {

/// A valid daily reminder at 09:00 from 7 March 2026.
inline QuibReminder reminder(const QString& id = QStringLiteral("R1"), ReminderRepeat rule = ReminderRepeat::daily,
                             ReminderTime time = {2026, 3, 7, 9, 0}) {
  QuibReminder r;
  r.id = id;
  r.scheduleID = QStringLiteral("S-") + id;
  r.name = QStringLiteral("Stretch ") + id;
  r.message = QStringLiteral("Stand up and stretch for a minute.");
  r.time = time;
  r.repeatRule = rule;
  if (rule == ReminderRepeat::weekly) r.weekdays = {2, 4};
  return r;
}

inline pf::Calendar calendarIn(const char* zone) {
  const QTimeZone tz(zone);
  EXPECT_TRUE(tz.isValid()) << zone;
  return pf::Calendar(tz);
}

/// The instant of a wall-clock time in `calendar`.
inline QDateTime at(const pf::Calendar& calendar, int year, int month, int day, int hour, int minute) {
  const auto moment = calendar.date(pf::WallTime{year, month, day, hour, minute});
  EXPECT_TRUE(moment.has_value());
  return moment.value_or(QDateTime());
}

/// Sets the process time zone for one scope; the test main pins UTC around it.
class ZoneScope final {
 public:
  explicit ZoneScope(const char* zone) { setenv("TZ", zone, 1); }
  ~ZoneScope() { setenv("TZ", "UTC", 1); }
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;
};

/// The journal folder inside the test's home.
inline QString journalFolder() { return home() + QStringLiteral("/reminders"); }

inline QString journalFile(const QString& name = QStringLiteral("reminders.json")) {
  return journalFolder() + u'/' + name;
}

/// The names in the journal folder, sorted.
inline QStringList journalNames() {
  return QDir(journalFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

/// Writes `file` as the journal, as another copy of the program would have.
inline void writeJournal(const ReminderFile& file) {
  pf::Files::makeFolders(journalFolder());
  QFile out(journalFile());
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file.encoded()) < 0)
    ADD_FAILURE() << "cannot write the journal";
}

/// An open occurrence of `r` due at `due`, with the id the schedule gives it.
inline ReminderOccurrence occurrenceOf(const QuibReminder& r, const QDateTime& due,
                                       const pf::Calendar& calendar = pf::Calendar(QTimeZone::utc())) {
  return {ReminderSchedule::key(r, due, calendar), r, due, {}, {}, {}};
}

/// The sentence an action throws; "" when it throws nothing.
inline QString messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return errorSentence(error);
  }
  return {};
}

}  // namespace test

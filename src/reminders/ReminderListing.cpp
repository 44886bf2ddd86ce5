#include "reminders/ReminderListing.h"

#include <algorithm>

namespace {

const QString separator = QStringLiteral(" \u00B7 ");

QString shortMoment(const QDateTime& moment, const pf::Calendar& calendar, const QLocale& locale) {
  return locale.toString(moment.toTimeZone(calendar.timeZone()), QLocale::ShortFormat);
}

}  // namespace

ReminderListing ReminderListing::of(const QuibReminder& reminder, const ReminderFile& file,
                                    const pf::Calendar& calendar, const QLocale& locale, const QDateTime& now) {
  bool completed = false;
  const ReminderOccurrence* open = nullptr;
  for (const ReminderOccurrence& occurrence : file.occurrences) {
    if (occurrence.reminder.id != reminder.id) continue;
    if (occurrence.completedAt && occurrence.reminder.scheduleID == reminder.scheduleID) completed = true;
    if (!occurrence.completedAt && !open) open = &occurrence;
  }
  const bool finished = reminder.repeatRule == ReminderRepeat::once && completed;

  ReminderListing listing;
  if (reminder.paused)
    listing.detail = QStringLiteral("Paused");
  else if (open && open->snoozedUntil)
    listing.detail = QStringLiteral("Snoozed until ") + shortMoment(*open->snoozedUntil, calendar, locale);
  else if (open)
    listing.detail = QStringLiteral("Waiting for Done");
  else if (finished)
    listing.detail = QStringLiteral("Completed");
  else
    listing.detail = reminder.repeatRule.title() + separator +
                     shortMoment(reminder.time.date(calendar).value_or(now), calendar, locale);
  if (reminder.repeatRule == ReminderRepeat::weekly)
    listing.detail += separator + weekdayNames(reminder.weekdays, locale);

  listing.icon = reminder.paused ? Icon::paused : finished ? Icon::completed : Icon::scheduled;
  return listing;
}

QString ReminderListing::weekdayNames(std::vector<qint64> weekdays, const QLocale& locale) {
  std::sort(weekdays.begin(), weekdays.end());
  QStringList names;
  for (const qint64 weekday : weekdays) {
    if (weekday < 1 || weekday > 7) continue;
    // Qt counts Monday as 1 and Sunday as 7; the journal counts Sunday as 1.
    const int qtDay = weekday == 1 ? 7 : int(weekday) - 1;
    names << locale.dayName(qtDay, QLocale::ShortFormat);
  }
  return names.join(u' ');
}

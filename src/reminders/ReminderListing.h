#pragma once

#include "platform/core/Calendar.h"
#include "reminders/QuibReminder.h"
#include "reminders/ReminderFile.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

/// What the reminders list says about one reminder: its state or schedule
/// in one line, and which of three icons stands beside it.
struct ReminderListing {
  enum class Icon { paused, completed, scheduled };

  QString detail;
  Icon icon = Icon::scheduled;

  /// The listing of `reminder` against the occurrences of `file`. Moments are
  /// written in `locale`'s short date and time in `calendar`'s zone; a time
  /// that names no moment shows `now`.
  static ReminderListing of(const QuibReminder& reminder, const ReminderFile& file, const pf::Calendar& calendar,
                            const QLocale& locale, const QDateTime& now);

  /// The short names of the weekdays, 1 = Sunday, in ascending order, joined by spaces.
  static QString weekdayNames(std::vector<qint64> weekdays, const QLocale& locale);

  bool operator==(const ReminderListing&) const = default;
};

#pragma once

#include "reminders/QuibReminder.h"
#include "reminders/ReminderOccurrence.h"

#include <QByteArray>
#include <vector>

/// The whole reminders journal: every reminder and every occurrence, compared
/// field by field. The default value is the empty journal.
struct ReminderFile {
  /// The only format version this program reads and writes.
  static constexpr qint64 currentVersion = 1;

  qint64 version = currentVersion;
  /// In stored order.
  std::vector<QuibReminder> reminders;
  /// In stored order, completed ones included.
  std::vector<ReminderOccurrence> occurrences;

  /// Throws `QuibError` for the first rule broken: the version, unique ids,
  /// then every reminder and occurrence in stored order, checking dates in the
  /// calendar of the current time zone.
  void validate() const;

  /// Reads a journal without validating it. A version other than this
  /// program's is refused before the rest is read (`QuibError`); anything
  /// else that is not a journal throws `pf::JsonError`.
  static ReminderFile decode(const QByteArray& bytes);
  /// Pretty-printed with every object's keys sorted; not validated.
  QByteArray encoded() const;

  bool operator==(const ReminderFile&) const = default;
};

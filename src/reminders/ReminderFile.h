#pragma once

#include "reminders/QuibReminder.h"
#include "reminders/ReminderOccurrence.h"

#include <QByteArray>
#include <vector>

namespace pf {
class JsonDocument;
}  // namespace pf

/// The whole reminders journal: every reminder and every occurrence, compared
/// field by field. The default value is the empty journal.
struct ReminderFile {
  /// The only format version this program reads and writes.
  static constexpr qint64 currentVersion = 1;

  /// The largest journal read or written: a thousand reminders with the
  /// longest name and message (100 and 4,000 characters, of up to three bytes
  /// each) and three occurrences each take about 49 MB; a file past this is
  /// damaged or not a journal, and reading it would take seconds and gigabytes.
  static constexpr qint64 largestFileBytes = 64 * 1024 * 1024;
  /// Why a change is refused whose journal would pass `largestFileBytes`.
  static QString tooLargeToSave();

  qint64 version = currentVersion;
  /// In stored order.
  std::vector<QuibReminder> reminders;
  /// In stored order, completed ones included.
  std::vector<ReminderOccurrence> occurrences;

  /// Throws `QuibError` for the first rule broken: the version, unique ids,
  /// then every reminder and occurrence in stored order, checking dates in the
  /// calendar of the current time zone.
  void validate() const;

  /// Reads a journal without validating it. Bytes past `largestFileBytes`
  /// and a version other than this program's are refused before the rest is
  /// read (`QuibError`); anything else that is not a journal throws `pf::JsonError`.
  /// A journal as this program writes it is read straight into its values;
  /// anything else is left to `decodeStrictly`.
  static ReminderFile decode(const QByteArray& bytes);
  /// The same through the strict readers alone: slower, and the judge of
  /// every refusal and of whatever the quick reading is unsure of.
  static ReminderFile decodeStrictly(const QByteArray& bytes);
  /// The journal read straight from a document, as `decode` reads a journal
  /// of this version; throws `pf::JsonUnsure` on anything else.
  static ReminderFile fromJson(pf::JsonDocument& document);
  /// Pretty-printed with every object's keys sorted; not validated.
  QByteArray encoded() const;

  bool operator==(const ReminderFile&) const = default;
};

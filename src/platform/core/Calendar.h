#pragma once

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <compare>
#include <optional>
#include <vector>

namespace pf {

/// A local wall-clock value without a time zone: Gregorian year, month, day,
/// hour and minute.
struct WallTime {
  int year = 2001;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;

  bool operator==(const WallTime&) const = default;
};

/// The Gregorian calendar in a time zone, mapping wall-clock values to
/// instants and back with fixed rules at clock changes:
/// - a wall time skipped by a clock jumping forward gives the next existing
///   instant, which is the moment of the jump (02:30 in a 02:00 -> 03:00 jump
///   gives 03:00);
/// - a wall time that occurs twice because the clock falls back gives the
///   first, earlier instant;
/// - a day that the zone skipped entirely has no instants at all.
///
/// Instants are `QDateTime`s; every instant this class returns is in UTC
/// (`Qt::UTC`) with whole milliseconds. Instants passed in may be local, UTC
/// or at an offset, but must be valid; one more than about 73 million years
/// from 1970 is read as that far, and days further away have no instants.
class Calendar final {
 public:
  /// The calendar of the system's current time zone, looked up again at every
  /// call, so a zone change while the program runs takes effect at once.
  Calendar() = default;

  /// The calendar of a fixed zone.
  explicit Calendar(const QTimeZone& zone) : m_zone(zone) {}

  /// The zone the next call uses.
  QTimeZone timeZone() const;

  /// The wall-clock value of `instant` (seconds dropped).
  WallTime wallTime(const QDateTime& instant) const;

  /// The local date of `instant`.
  QDate localDate(const QDateTime& instant) const;

  /// The first instant of the day `year`-`month`-`day`, where an out-of-range
  /// month or day rolls over (30 February is 1 or 2 March); none when the zone
  /// skipped that day.
  std::optional<QDateTime> date(int year, int month, int day) const;

  /// The instant of `time` at second 0, its day rolled over as in `date`; none
  /// when the day was skipped or the hour or minute is out of range.
  std::optional<QDateTime> date(const WallTime& time) const;

  /// The instant of `hour`:`minute` at second 0 on the local day of `instant`;
  /// none when the hour or minute is out of range.
  std::optional<QDateTime> settingTime(int hour, int minute, const QDateTime& instant) const;

  /// The first instant of the local day of `instant`.
  QDateTime startOfDay(const QDateTime& instant) const;

  /// The instant with the wall-clock time of `instant` `days` calendar days
  /// later (earlier when negative), resolved by the rules above; none when the
  /// zone skipped that day.
  std::optional<QDateTime> addingDays(int days, const QDateTime& instant) const;

  /// The weekday of `instant`: 1 = Sunday, 2 = Monday, ... 7 = Saturday.
  int weekday(const QDateTime& instant) const;

  /// Orders two instants by the local minute they fall in.
  std::strong_ordering compareMinutes(const QDateTime& a, const QDateTime& b) const;

  /// Whether two instants fall in the same local minute.
  bool isSameMinute(const QDateTime& a, const QDateTime& b) const {
    return compareMinutes(a, b) == std::strong_ordering::equal;
  }

 private:
  /// A stretch of UTC milliseconds [from, to) over which the zone's offset is constant.
  struct OffsetSpan {
    qint64 from = 0;
    qint64 to = 0;
    qint64 offset = 0;
  };
  class Offsets;
  Offsets offsets() const;

  std::optional<QTimeZone> m_zone;
  /// A fixed zone's stretches around the instants asked about so far, in
  /// order; a hole between two is a range never read. Questions about nearby
  /// days, the same for every reminder of a check, are answered from them
  /// without Qt's zone data.
  mutable std::vector<OffsetSpan> m_spans;
};

}  // namespace pf

#include "platform/core/Calendar.h"

namespace pf {
namespace {

constexpr qint64 msPerMinute = 60 * 1000;
constexpr qint64 msPerDay = 24 * 60 * msPerMinute;

// Wall-clock values are handled as "local milliseconds": the milliseconds
// since 1970-01-01 00:00 of the wall clock, as if it were UTC. They map
// linearly to dates and times, so stepping days is plain arithmetic.
qint64 localMSecs(QDate date, QTime time) {
  return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

QDateTime utcInstant(qint64 msecs) { return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC); }

QDate dateOfLocal(qint64 local) { return utcInstant(local).date(); }

qint64 offsetMSecs(const QTimeZone& zone, qint64 instant) {
  return qint64(zone.offsetFromUtc(utcInstant(instant))) * 1000;
}

qint64 toLocal(const QTimeZone& zone, qint64 instant) {
  return instant + offsetMSecs(zone, instant);
}

// Qt makes a skipped wall time invalid and picks the later of two repeated
// ones, so the zone's transitions are read and solved here instead: each
// stretch between transitions has one offset, and a wall time belongs to a
// stretch when `local - offset` falls inside it.
qint64 toInstant(const QTimeZone& zone, qint64 local) {
  if (!zone.hasTransitions()) return local - offsetMSecs(zone, local);
  // Offsets stay within a day of UTC, so every solution lies within a day of
  // `local` read as UTC; two days either side keep the neighbouring changes.
  const qint64 from = local - 2 * msPerDay;
  const auto transitions = zone.transitions(utcInstant(from), utcInstant(local + 2 * msPerDay));
  qint64 stretchStart = from;
  qint64 offset = offsetMSecs(zone, from);
  std::optional<qint64> gapEnd;
  for (const QTimeZone::OffsetData& change : transitions) {
    const qint64 at = change.atUtc.toMSecsSinceEpoch();
    const qint64 next = qint64(change.offsetFromUtc) * 1000;
    const qint64 candidate = local - offset;
    if (candidate >= stretchStart && candidate < at) return candidate;
    // The clock jumped from at + offset to at + next, skipping `local`: the
    // first instant that exists afterwards is the jump itself.
    if (!gapEnd && local >= at + offset && local < at + next) gapEnd = at;
    stretchStart = at;
    offset = next;
  }
  const qint64 candidate = local - offset;
  if (candidate >= stretchStart) return candidate;
  return gapEnd.value_or(candidate);
}

bool dayExists(const QTimeZone& zone, QDate day) {
  const qint64 midnight = localMSecs(day, QTime(0, 0));
  return dateOfLocal(toLocal(zone, toInstant(zone, midnight))) == day;
}

qint64 msecs(const QDateTime& instant) {
  Q_ASSERT(instant.isValid());
  return instant.toMSecsSinceEpoch();
}

bool isTimeOfDay(int hour, int minute) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

}  // namespace

QTimeZone Calendar::timeZone() const {
  if (m_zone) return *m_zone;
  const QTimeZone system = QTimeZone::systemTimeZone();
  return system.isValid() ? system : QTimeZone::utc();
}

WallTime Calendar::wallTime(const QDateTime& instant) const {
  const QDateTime local = utcInstant(toLocal(timeZone(), msecs(instant)));
  return {local.date().year(), local.date().month(), local.date().day(), local.time().hour(),
          local.time().minute()};
}

QDate Calendar::localDate(const QDateTime& instant) const {
  return dateOfLocal(toLocal(timeZone(), msecs(instant)));
}

std::optional<QDateTime> Calendar::date(int year, int month, int day) const {
  return date(WallTime{year, month, day, 0, 0});
}

std::optional<QDateTime> Calendar::date(const WallTime& time) const {
  if (!isTimeOfDay(time.hour, time.minute)) return std::nullopt;
  const QDate day = QDate(time.year, 1, 1).addMonths(time.month - 1).addDays(time.day - 1);
  const QTimeZone zone = timeZone();
  if (!day.isValid() || !dayExists(zone, day)) return std::nullopt;
  return utcInstant(toInstant(zone, localMSecs(day, QTime(time.hour, time.minute))));
}

std::optional<QDateTime> Calendar::settingTime(int hour, int minute,
                                               const QDateTime& instant) const {
  if (!isTimeOfDay(hour, minute)) return std::nullopt;
  const QTimeZone zone = timeZone();
  const QDate day = dateOfLocal(toLocal(zone, msecs(instant)));
  return utcInstant(toInstant(zone, localMSecs(day, QTime(hour, minute))));
}

QDateTime Calendar::startOfDay(const QDateTime& instant) const {
  const QTimeZone zone = timeZone();
  const QDate day = dateOfLocal(toLocal(zone, msecs(instant)));
  return utcInstant(toInstant(zone, localMSecs(day, QTime(0, 0))));
}

std::optional<QDateTime> Calendar::addingDays(int days, const QDateTime& instant) const {
  const QTimeZone zone = timeZone();
  const qint64 local = toLocal(zone, msecs(instant)) + days * msPerDay;
  if (!dayExists(zone, dateOfLocal(local))) return std::nullopt;
  return utcInstant(toInstant(zone, local));
}

int Calendar::weekday(const QDateTime& instant) const {
  return localDate(instant).dayOfWeek() % 7 + 1;
}

std::strong_ordering Calendar::compareMinutes(const QDateTime& a, const QDateTime& b) const {
  // Truncate each instant to the start of its local minute; comparing the
  // instants (not the wall times) keeps the two passes of a repeated hour apart.
  const QTimeZone zone = timeZone();
  const auto minuteStart = [&zone](qint64 instant) {
    const qint64 local = toLocal(zone, instant);
    return instant - (local % msPerMinute + msPerMinute) % msPerMinute;
  };
  return minuteStart(msecs(a)) <=> minuteStart(msecs(b));
}

}  // namespace pf

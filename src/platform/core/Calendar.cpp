#include "platform/core/Calendar.h"

#include <limits>

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

qint64 msecs(const QDateTime& instant) {
  Q_ASSERT(instant.isValid());
  return instant.toMSecsSinceEpoch();
}

bool isTimeOfDay(int hour, int minute) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

}  // namespace

/// The zone's offsets and the conversions built on them, answered from the
/// calendar's cached stretch where it reaches.
class Calendar::Offsets final {
 public:
  Offsets(QTimeZone zone, std::optional<OffsetSpan>* cache) : m_zone(std::move(zone)), m_cache(cache) {}

  const QTimeZone& zone() const { return m_zone; }

  qint64 offset(qint64 instant) const {
    if (!m_cache) return slowOffset(instant);
    return span(instant).offset;
  }

  qint64 toLocal(qint64 instant) const { return instant + offset(instant); }

  // Qt makes a skipped wall time invalid and picks the later of two repeated
  // ones, so the zone's transitions are read and solved here instead: each
  // stretch between transitions has one offset, and a wall time belongs to a
  // stretch when `local - offset` falls inside it.
  qint64 toInstant(qint64 local) const {
    // Offsets stay within a day of UTC, so every solution lies within a day of
    // `local` read as UTC: one offset over that whole day either side gives
    // the only solution at once; otherwise two days either side keep the
    // neighbouring changes.
    if (m_cache) {
      const OffsetSpan& around = span(local);
      if (around.from <= local - msPerDay && local + msPerDay < around.to) return local - around.offset;
    }
    const qint64 from = local - 2 * msPerDay;
    const qint64 to = local + 2 * msPerDay;
    if (!m_zone.hasTransitions()) return local - slowOffset(local);
    const auto transitions = m_zone.transitions(utcInstant(from), utcInstant(to));
    qint64 stretchStart = from;
    qint64 offset = slowOffset(from);
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

  bool dayExists(QDate day) const {
    const qint64 midnight = localMSecs(day, QTime(0, 0));
    return dateOfLocal(toLocal(toInstant(midnight))) == day;
  }

 private:
  qint64 slowOffset(qint64 instant) const {
    return qint64(m_zone.offsetFromUtc(utcInstant(instant))) * 1000;
  }

  const OffsetSpan& span(qint64 instant) const {
    auto& cached = *m_cache;
    if (!cached || instant < cached->from || instant >= cached->to) cached = lookUpSpan(instant);
    return *cached;
  }

  OffsetSpan lookUpSpan(qint64 instant) const {
    constexpr qint64 earliest = std::numeric_limits<qint64>::min();
    constexpr qint64 latest = std::numeric_limits<qint64>::max();
    if (!m_zone.hasTransitions()) return {earliest, latest, slowOffset(instant)};
    const QDateTime at = utcInstant(instant);
    const QTimeZone::OffsetData before = m_zone.previousTransition(at.addMSecs(1));
    const QTimeZone::OffsetData after = m_zone.nextTransition(at);
    return {before.atUtc.isValid() ? before.atUtc.toMSecsSinceEpoch() : earliest,
            after.atUtc.isValid() ? after.atUtc.toMSecsSinceEpoch() : latest, slowOffset(instant)};
  }

  QTimeZone m_zone;
  std::optional<OffsetSpan>* m_cache = nullptr;
};

Calendar::Offsets Calendar::offsets() const {
  if (m_zone) return Offsets(*m_zone, &m_span);
  return Offsets(timeZone(), nullptr);
}

QTimeZone Calendar::timeZone() const {
  if (m_zone) return *m_zone;
  const QTimeZone system = QTimeZone::systemTimeZone();
  return system.isValid() ? system : QTimeZone::utc();
}

WallTime Calendar::wallTime(const QDateTime& instant) const {
  const QDateTime local = utcInstant(offsets().toLocal(msecs(instant)));
  return {local.date().year(), local.date().month(), local.date().day(), local.time().hour(),
          local.time().minute()};
}

QDate Calendar::localDate(const QDateTime& instant) const {
  return dateOfLocal(offsets().toLocal(msecs(instant)));
}

std::optional<QDateTime> Calendar::date(int year, int month, int day) const {
  return date(WallTime{year, month, day, 0, 0});
}

std::optional<QDateTime> Calendar::date(const WallTime& time) const {
  if (!isTimeOfDay(time.hour, time.minute)) return std::nullopt;
  const QDate day = QDate(time.year, 1, 1).addMonths(time.month - 1).addDays(time.day - 1);
  const Offsets zone = offsets();
  if (!day.isValid() || !zone.dayExists(day)) return std::nullopt;
  return utcInstant(zone.toInstant(localMSecs(day, QTime(time.hour, time.minute))));
}

std::optional<QDateTime> Calendar::settingTime(int hour, int minute,
                                               const QDateTime& instant) const {
  if (!isTimeOfDay(hour, minute)) return std::nullopt;
  const Offsets zone = offsets();
  const QDate day = dateOfLocal(zone.toLocal(msecs(instant)));
  return utcInstant(zone.toInstant(localMSecs(day, QTime(hour, minute))));
}

QDateTime Calendar::startOfDay(const QDateTime& instant) const {
  const Offsets zone = offsets();
  const QDate day = dateOfLocal(zone.toLocal(msecs(instant)));
  return utcInstant(zone.toInstant(localMSecs(day, QTime(0, 0))));
}

std::optional<QDateTime> Calendar::addingDays(int days, const QDateTime& instant) const {
  const Offsets zone = offsets();
  const qint64 local = zone.toLocal(msecs(instant)) + days * msPerDay;
  if (!zone.dayExists(dateOfLocal(local))) return std::nullopt;
  return utcInstant(zone.toInstant(local));
}

int Calendar::weekday(const QDateTime& instant) const {
  return localDate(instant).dayOfWeek() % 7 + 1;
}

std::strong_ordering Calendar::compareMinutes(const QDateTime& a, const QDateTime& b) const {
  // Truncate each instant to the start of its local minute; comparing the
  // instants (not the wall times) keeps the two passes of a repeated hour apart.
  const Offsets zone = offsets();
  const auto minuteStart = [&zone](qint64 instant) {
    const qint64 local = zone.toLocal(instant);
    return instant - (local % msPerMinute + msPerMinute) % msPerMinute;
  };
  return minuteStart(msecs(a)) <=> minuteStart(msecs(b));
}

}  // namespace pf

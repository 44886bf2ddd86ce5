#include "platform/core/Calendar.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <span>

namespace pf {
namespace {

constexpr qint64 msPerMinute = 60 * 1000;
constexpr qint64 msPerDay = 24 * 60 * msPerMinute;
/// A bound on the stretches a calendar keeps: a few hundred years' worth.
constexpr std::size_t maxKeptSpans = 1024;
/// Instants and wall times are held within this many milliseconds of 1970
/// (about 73 million years), so adding offsets, days and the reach of a
/// zone lookup to them never overflows.
constexpr qint64 msLimit = std::numeric_limits<qint64>::max() / 4;

// Wall-clock values are handled as "local milliseconds": the milliseconds
// since 1970-01-01 00:00 of the wall clock, as if it were UTC. They map
// linearly to dates and times, so stepping days is plain arithmetic.

/// The Julian day of 1970-01-01.
constexpr qint64 epochJulianDay = 2440588;

qint64 localMSecs(QDate date, QTime time) {
  return (date.toJulianDay() - epochJulianDay) * msPerDay + time.msecsSinceStartOfDay();
}

QDateTime utcInstant(qint64 msecs) { return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC); }

/// The days from 1970-01-01 to the day of `local`, rounded down.
qint64 dayNumber(qint64 local) { return local / msPerDay - (local % msPerDay < 0 ? 1 : 0); }

QDate dateOfLocal(qint64 local) { return QDate::fromJulianDay(dayNumber(local) + epochJulianDay); }

qint64 msecs(const QDateTime& instant) {
  Q_ASSERT(instant.isValid());
  return std::clamp(instant.toMSecsSinceEpoch(), -msLimit, msLimit);
}

bool isWithinLimit(QDate day) { return std::abs(day.toJulianDay() - epochJulianDay) <= msLimit / msPerDay; }

bool isTimeOfDay(int hour, int minute) { return hour >= 0 && hour < 24 && minute >= 0 && minute < 60; }

}  // namespace

/// The zone's offsets and the conversions built on them, answered from
/// stretches of constant offset read from Qt's zone data once per range.
class Calendar::Offsets final {
 public:
  /// Over a fixed zone, reusing `spans` and adding to them a year either side
  /// of what a question needs.
  Offsets(const QTimeZone& zone, std::vector<OffsetSpan>& spans)
      : m_zone(&zone), m_spans(&spans), m_margin(366 * msPerDay) {}
  /// Over a zone that may change by the next call, keeping nothing beyond
  /// the call; a day either side serves all of one call's questions.
  explicit Offsets(QTimeZone zone)
      : m_ownZone(std::move(zone)), m_zone(&m_ownZone), m_spans(&m_ownSpans), m_margin(msPerDay) {}
  Offsets(const Offsets&) = delete;
  Offsets& operator=(const Offsets&) = delete;

  qint64 offset(qint64 instant) const { return covering(instant, instant).front().offset; }

  qint64 toLocal(qint64 instant) const { return instant + offset(instant); }

  // Qt makes a skipped wall time invalid and picks the later of two repeated
  // ones, so the zone's transitions are read and solved here instead: each
  // stretch between transitions has one offset, and a wall time belongs to a
  // stretch when `local - offset` falls inside it.
  qint64 toInstant(qint64 local) const {
    // Offsets stay within a day of UTC, so every solution lies within a day of
    // `local` read as UTC; two days either side keep the neighbouring changes.
    std::optional<qint64> gapEnd;
    const OffsetSpan* before = nullptr;
    for (const OffsetSpan& span : covering(local - 2 * msPerDay, local + 2 * msPerDay)) {
      const qint64 candidate = local - span.offset;
      if (candidate >= span.from && candidate < span.to) return candidate;
      // The clock jumped from span.from + before->offset to span.from +
      // span.offset, skipping `local`: the first instant that exists
      // afterwards is the jump itself.
      if (before && !gapEnd && local >= span.from + before->offset && local < span.from + span.offset)
        gapEnd = span.from;
      before = &span;
    }
    return gapEnd.value_or(local - before->offset);
  }

  bool dayExists(QDate day) const {
    const qint64 midnight = localMSecs(day, QTime(0, 0));
    return dateOfLocal(toLocal(toInstant(midnight))) == day;
  }

 private:
  qint64 slowOffset(qint64 instant) const { return qint64(m_zone->offsetFromUtc(utcInstant(instant))) * 1000; }

  /// The stretches that meet [from, to], read from the zone data when the
  /// kept ones do not reach.
  std::span<const OffsetSpan> covering(qint64 from, qint64 to) const {
    if (const auto run = kept(from, to)) return *run;
    learn(lookUpSpans(from - m_margin, to + m_margin));
    return *kept(from, to);
  }

  /// The kept stretches that meet [from, to], when they cover it without a hole.
  std::optional<std::span<const OffsetSpan>> kept(qint64 from, qint64 to) const {
    const std::vector<OffsetSpan>& spans = *m_spans;
    const auto first = std::ranges::upper_bound(spans, from, {}, &OffsetSpan::to);
    if (first == spans.end() || first->from > from) return std::nullopt;
    auto last = first;
    for (; last->to <= to; ++last)
      if (last + 1 == spans.end() || (last + 1)->from != last->to) return std::nullopt;
    return std::span(first, last + 1);
  }

  /// Keeps `fresh` in place of what the kept stretches say over the same
  /// range. Stretches of distant ranges stay, so questions that alternate
  /// between years (a reminder's first day and today) read each range once.
  void learn(std::vector<OffsetSpan> fresh) const {
    std::vector<OffsetSpan>& spans = *m_spans;
    if (spans.size() + fresh.size() > maxKeptSpans) spans.clear();
    const qint64 from = fresh.front().from;
    const qint64 to = fresh.back().to;
    std::vector<OffsetSpan> merged;
    merged.reserve(spans.size() + fresh.size() + 1);
    for (const OffsetSpan& span : spans)
      if (span.from < from) merged.push_back({span.from, std::min(span.to, from), span.offset});
    merged.insert(merged.end(), fresh.begin(), fresh.end());
    for (const OffsetSpan& span : spans)
      if (span.to > to) merged.push_back({std::max(span.from, to), span.to, span.offset});
    spans = std::move(merged);
  }

  /// The stretches that together make up exactly [from, to].
  std::vector<OffsetSpan> lookUpSpans(qint64 from, qint64 to) const {
    if (!m_zone->hasTransitions()) {
      return {{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), slowOffset(from)}};
    }
    std::vector<OffsetSpan> spans;
    qint64 start = from;
    qint64 offset = slowOffset(from);
    for (const QTimeZone::OffsetData& change : m_zone->transitions(utcInstant(from), utcInstant(to))) {
      const qint64 at = change.atUtc.toMSecsSinceEpoch();
      if (at > start) spans.push_back({start, at, offset});
      start = at;
      offset = qint64(change.offsetFromUtc) * 1000;
    }
    spans.push_back({start, to + 1, offset});
    return spans;
  }

  QTimeZone m_ownZone;
  std::vector<OffsetSpan> m_ownSpans;
  const QTimeZone* m_zone = nullptr;
  std::vector<OffsetSpan>* m_spans = nullptr;
  qint64 m_margin = 0;
};

Calendar::Offsets Calendar::offsets() const {
  if (m_zone) return Offsets(*m_zone, m_spans);
  return Offsets(timeZone());
}

QTimeZone Calendar::timeZone() const {
  if (m_zone) return *m_zone;
  const QTimeZone system = QTimeZone::systemTimeZone();
  return system.isValid() ? system : QTimeZone::utc();
}

WallTime Calendar::wallTime(const QDateTime& instant) const {
  const qint64 local = offsets().toLocal(msecs(instant));
  WallTime wall;
  dateOfLocal(local).getDate(&wall.year, &wall.month, &wall.day);
  const qint64 minuteOfDay = (local - dayNumber(local) * msPerDay) / msPerMinute;
  wall.hour = int(minuteOfDay / 60);
  wall.minute = int(minuteOfDay % 60);
  return wall;
}

QDate Calendar::localDate(const QDateTime& instant) const { return dateOfLocal(offsets().toLocal(msecs(instant))); }

std::optional<QDateTime> Calendar::date(int year, int month, int day) const {
  return date(WallTime{year, month, day, 0, 0});
}

std::optional<QDateTime> Calendar::date(const WallTime& time) const {
  if (!isTimeOfDay(time.hour, time.minute)) return std::nullopt;
  const QDate day = QDate(time.year, 1, 1).addMonths(time.month - 1).addDays(time.day - 1);
  const Offsets zone = offsets();
  if (!day.isValid() || !isWithinLimit(day) || !zone.dayExists(day)) return std::nullopt;
  return utcInstant(zone.toInstant(localMSecs(day, QTime(time.hour, time.minute))));
}

std::optional<QDateTime> Calendar::settingTime(int hour, int minute, const QDateTime& instant) const {
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

int Calendar::weekday(const QDateTime& instant) const { return localDate(instant).dayOfWeek() % 7 + 1; }

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

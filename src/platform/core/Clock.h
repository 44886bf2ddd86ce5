#pragma once

#include <QDateTime>

namespace pf {

/// The source of the present moment, injected so logic can be tested at any time.
class Clock {
 public:
  virtual ~Clock() = default;

  /// The present moment, in UTC.
  virtual QDateTime now() const = 0;
};

/// The system's wall clock.
class SystemClock final : public Clock {
 public:
  /// The one instance, for owners that are given no other clock.
  static SystemClock& shared();

  QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};

}  // namespace pf

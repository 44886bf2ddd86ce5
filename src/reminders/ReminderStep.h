#pragma once

#include "reminders/ReminderTime.h"

#include <optional>

/// One press of the reminder editor's stepping buttons: whole calendar days,
/// or minutes on the wall clock.
struct ReminderStep {
  enum class Unit { days, minutes };

  Unit unit = Unit::minutes;
  /// How many, negative to go back.
  int count = 0;

  /// `from` moved by this step, read and written in `local`. A day step keeps
  /// the wall time. A minute step moves the wall clock, so "+1 hr" always
  /// moves the shown hour by one, across midnight and clock changes alike;
  /// stepping back onto a skipped hour steps back by elapsed time instead.
  /// None when `from` or the result is no time.
  std::optional<ReminderTime> applied(const ReminderTime& from, const pf::Calendar& local) const;

  bool operator==(const ReminderStep&) const = default;

 private:
  std::optional<ReminderTime> days(const ReminderTime& from) const;
  std::optional<ReminderTime> minutes(const ReminderTime& from, const pf::Calendar& local) const;
};

#pragma once

#include "values/RawChoice.h"

/// The cases of `ReminderRepeat`: the stored strings, with their titles (the
/// raw value with its first letter capitalized).
struct ReminderRepeatCases {
  enum class Value { once, daily, weekly };
  using enum Value;
  static constexpr RawChoiceTable<Value, 3> table{{{
      {once, "once", "Once"},
      {daily, "daily", "Daily"},
      {weekly, "weekly", "Weekly"},
  }}};
};

/// How a reminder repeats; stored as its raw string. Menus list the rules in table order.
class ReminderRepeat final : public RawChoice<ReminderRepeat, ReminderRepeatCases> {
 public:
  using RawChoice::RawChoice;
};

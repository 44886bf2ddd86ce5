#pragma once

#include "values/RawChoice.h"

/// The cases of `QuibAction`, stored by their names, with their menu titles.
struct QuibActionCases {
  enum class Value { dance, dj };
  using enum Value;
  static constexpr RawChoiceTable<Value, 2> table{{{
      {dance, "dance", "Dance 01"},
      {dj, "dj", "DJ Mode"},
  }}};
};

/// An action the companion performs on request or from a reminder.
class QuibAction final : public RawChoice<QuibAction, QuibActionCases> {
 public:
  using RawChoice::RawChoice;
};

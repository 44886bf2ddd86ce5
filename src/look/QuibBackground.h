#pragma once

#include "values/RawChoice.h"

/// The cases of `QuibBackground`, stored under "backgroundTheme". Two keep
/// older spellings that users' stored choices rely on: `grey` is stored as
/// "darkGrey" and `darkGrey` as "deepGrey".
struct QuibBackgroundCases {
  enum Value { navy, grey, darkGrey, deepPurple, sageGreen, custom };
  static constexpr RawChoiceTable<Value, 6> table{{{
      {navy, "navy", "Navy"},
      {grey, "darkGrey", "Grey"},
      {darkGrey, "deepGrey", "Dark Grey"},
      {deepPurple, "deepPurple", "Deep Purple"},
      {sageGreen, "sageGreen", "Sage Green"},
      {custom, "custom", "Custom Color\u2026"},
  }}};
};

/// The window background behind every panel.
class QuibBackground final : public RawChoice<QuibBackground, QuibBackgroundCases> {
 public:
  using RawChoice::RawChoice;
};

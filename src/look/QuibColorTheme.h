#pragma once

#include "values/RawChoice.h"

/// The cases of `QuibColorTheme`, stored under "colorTheme".
struct QuibColorThemeCases {
  enum Value { blue, orange, pink, green, purple, yellow, custom };
  static constexpr RawChoiceTable<Value, 7> table{{{
      {blue, "blue", "Blue"},
      {orange, "orange", "Orange"},
      {pink, "pink", "Pink"},
      {green, "green", "Green"},
      {purple, "purple", "Purple"},
      {yellow, "yellow", "Yellow"},
      {custom, "custom", "Custom Color\u2026"},
  }}};
};

/// The accent family every window draws its trim and highlights in.
class QuibColorTheme final : public RawChoice<QuibColorTheme, QuibColorThemeCases> {
 public:
  using RawChoice::RawChoice;
};

#pragma once

#include "look/LookChoice.h"

/// The cases of `QuibColorTheme`, stored under "colorTheme".
struct QuibColorThemeCases {
  enum Value { blue, orange, pink, green, purple, yellow, custom };
  static constexpr LookChoiceTable<Value, 7> table{{{
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
class QuibColorTheme final : public LookChoice<QuibColorTheme, QuibColorThemeCases> {
 public:
  using LookChoice::LookChoice;
};

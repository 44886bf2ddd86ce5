#pragma once

#include "values/RawChoice.h"

/// The cases of `QuibBorderEffect`, stored under "borderEffect" by their names.
struct QuibBorderEffectCases {
  enum Value {
    none,
    fire,
    smoke,
    lightning,
    plasma,
    frost,
    starfield,
    bubbles,
    vines,
    blossoms,
    fireflies,
    runes,
    matrix,
    snow,
    toxic,
  };
  static constexpr RawChoiceTable<Value, 15> table{{{
      {none, "none", "None"},
      {fire, "fire", "Fire"},
      {smoke, "smoke", "Smoke"},
      {lightning, "lightning", "Lightning"},
      {plasma, "plasma", "Plasma Energy"},
      {frost, "frost", "Frost / Ice"},
      {starfield, "starfield", "Starfield / Cosmic Dust"},
      {bubbles, "bubbles", "Bubbles"},
      {vines, "vines", "Leaves / Vines"},
      {blossoms, "blossoms", "Cherry Blossoms"},
      {fireflies, "fireflies", "Fireflies"},
      {runes, "runes", "Magic Runes"},
      {matrix, "matrix", "Matrix / Data Rain"},
      {snow, "snow", "Snow"},
      {toxic, "toxic", "Radioactive / Toxic"},
  }}};
};

/// The animated border effect drawn around windows; `none` draws nothing.
class QuibBorderEffect final : public RawChoice<QuibBorderEffect, QuibBorderEffectCases> {
 public:
  using RawChoice::RawChoice;

  /// The stored effect, read from the standard user defaults on every call;
  /// missing or unknown reads as `none`.
  static QuibBorderEffect current();
};

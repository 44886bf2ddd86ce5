#pragma once

#include "platform/gfx/SystemColors.h"

namespace pf {

/// How well one colour reads against another, as the WCAG 2 contrast ratio:
/// (L1 + 0.05) / (L2 + 0.05) of the two relative luminances, lighter first,
/// from 1 (the same) to 21 (black on white). Pure arithmetic on sRGB values.
class Contrast final {
 public:
  Contrast() = delete;

  /// The least ratio at which text reads.
  static constexpr double text = 4.5;
  /// The least ratio at which a control's edge, or any other shape that must
  /// be seen, stands out from what lies around it.
  static constexpr double edge = 3;

  /// The relative luminance of `color`'s red, green and blue (its alpha is
  /// not looked at), from 0 (black) to 1 (white).
  static double luminance(const Rgba& color);
  /// The contrast ratio of two opaque colours, at least 1.
  static double ratio(const Rgba& a, const Rgba& b);
  /// What a person sees where `top` is painted over `bottom` (plain
  /// source-over blending of unpremultiplied colours).
  static Rgba over(const Rgba& top, const Rgba& bottom);
  /// `face`, opaque, moved toward black by the smallest of twenty equal steps
  /// that lets `ink` (opaque) reach `minimum` on it, all the way when no step
  /// does. An ink darker than the face moves it toward white instead.
  static Rgba legibleFace(const Rgba& face, const Rgba& ink, double minimum);
};

}  // namespace pf

#pragma once

#include "platform/core/Color.h"

/// The named colours the look paints with, and the blend it mixes them with.
/// The numbers behind the names live in the platform's system-colour table.
class LookColor final {
 public:
  LookColor() = delete;

  static pf::Color white();
  static pf::Color black();
  static pf::Color cyan();
  static pf::Color darkGray();
  static pf::Color systemBlue();
  static pf::Color systemOrange();
  static pf::Color systemPurple();

  /// `color` moved `fraction` of the way toward `toward`, every component
  /// (alpha included) mixed in calibrated RGB; the result is calibrated RGB.
  static pf::Color blended(const pf::Color& color, double fraction, const pf::Color& toward);
};

#pragma once

#include <optional>

namespace pf {

/// The desktop's accessibility choices that drawing code asks about.
class Accessibility final {
 public:
  /// Whether the desktop asks for less motion: animations switched off in the
  /// desktop settings portal. Read once, then kept current by the portal's
  /// change signal; false where there is no portal.
  static bool reduceMotion();

  /// Replaces the desktop's answer until reset with none (for tests).
  static void overrideReduceMotion(std::optional<bool> value);
};

}  // namespace pf

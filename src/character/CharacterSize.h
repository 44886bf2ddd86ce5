#pragma once

#include <QString>

namespace pf {
class UserDefaults;
}

/// The companion's size: a level from 1 to 100 and the matching height on a screen.
class CharacterSize final {
 public:
  static constexpr int minimumLevel = 1;
  static constexpr int maximumLevel = 100;
  /// The height when none, or no usable one, is stored.
  static constexpr double defaultHeight = 180;
  /// The smallest height any level gives.
  static constexpr double smallestHeight = 48;
  /// Stored heights are kept up to this.
  static constexpr double largestHeight = 1000;

  static inline const QString levelKey = QStringLiteral("characterSizeLevel");
  static inline const QString heightKey = QStringLiteral("characterHeight");

  /// The application notification posted after a size change ("CompanionSizeChanged").
  static const QString& changed();

  /// The height for `level` (clamped to 1...100) on a screen `screenHeight` tall:
  /// from `smallestHeight` at level 1 up to a third of the screen at level 100,
  /// in equal steps.
  static double height(int level, double screenHeight);

  /// Stores the level and its height in `defaults`, then posts `changed()`
  /// with no object.
  static void write(pf::UserDefaults& defaults, int level, double screenHeight);

  /// The stored height, kept between `smallestHeight` and `largestHeight`;
  /// `defaultHeight` when none is stored or it is not a finite number.
  static double storedHeight(const pf::UserDefaults& defaults);
};

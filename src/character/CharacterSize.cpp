#include "character/CharacterSize.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"

#include <algorithm>
#include <cmath>

const QString& CharacterSize::changed() {
  static const QString name = QStringLiteral("CompanionSizeChanged");
  return name;
}

double CharacterSize::height(int level, double screenHeight) {
  const int clamped = std::clamp(level, minimumLevel, maximumLevel);
  const double tallest = std::max(smallestHeight, screenHeight / 3);
  const double fraction = double(clamped - minimumLevel) / (maximumLevel - minimumLevel);
  return std::round(smallestHeight + (tallest - smallestHeight) * fraction);
}

void CharacterSize::write(pf::UserDefaults& defaults, int level, double screenHeight) {
  const int clamped = std::clamp(level, minimumLevel, maximumLevel);
  defaults.set(levelKey, clamped);
  defaults.set(heightKey, height(clamped, screenHeight));
  pf::NotificationCenter::defaultCenter().post(changed());
}

double CharacterSize::storedHeight(const pf::UserDefaults& defaults) {
  if (!defaults.isNumber(heightKey)) return defaultHeight;
  const double stored = defaults.doubleValue(heightKey);
  if (!std::isfinite(stored)) return defaultHeight;
  return std::clamp(stored, smallestHeight, largestHeight);
}

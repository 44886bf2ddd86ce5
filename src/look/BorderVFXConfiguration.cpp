#include "look/BorderVFXConfiguration.h"

#include "platform/core/DefaultsCoding.h"
#include "platform/core/UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace {

double tuning(const pf::UserDefaults& defaults, const char* suffix, double fallback, double low,
              double high) {
  const std::optional<QVariant> stored =
      defaults.object(QStringLiteral("borderVFX") + QLatin1String(suffix));
  if (!stored || !pf::DefaultsCoding::isNumber(*stored)) return fallback;
  const double value = stored->toDouble();
  if (!std::isfinite(value)) return fallback;
  return std::clamp(value, low, high);
}

}  // namespace

BorderVFXConfiguration BorderVFXConfiguration::read(const pf::UserDefaults& defaults) {
  return {QuibBorderEffect::current(), tuning(defaults, "Opacity", 0.95, 0, 1),
          tuning(defaults, "Intensity", 1.35, 0, 2), tuning(defaults, "Glow", 0.8, 0, 1),
          tuning(defaults, "Speed", 1.0, 0.2, 2)};
}

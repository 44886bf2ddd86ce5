#include "look/BorderVFXConfiguration.h"

#include "platform/core/DefaultsCoding.h"
#include "platform/core/UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tuning {
  const char* suffix;
  double fallback;
  double low;
  double high;
};

constexpr Tuning opacityTuning{"Opacity", 0.95, 0, 1};
constexpr Tuning intensityTuning{"Intensity", 1.35, 0, 2};
constexpr Tuning glowTuning{"Glow", 0.8, 0, 1};
constexpr Tuning speedTuning{"Speed", 1.0, 0.2, 2};

double held(double value, const Tuning& t) {
  if (!std::isfinite(value)) return t.fallback;
  return std::clamp(value, t.low, t.high);
}

double tuning(const pf::UserDefaults& defaults, const Tuning& t) {
  const std::optional<QVariant> stored = defaults.object(QStringLiteral("borderVFX") + QLatin1String(t.suffix));
  if (!stored || !pf::DefaultsCoding::isNumber(*stored)) return t.fallback;
  return held(stored->toDouble(), t);
}

}  // namespace

BorderVFXConfiguration BorderVFXConfiguration::read(const pf::UserDefaults& defaults) {
  return {QuibBorderEffect::current(), tuning(defaults, opacityTuning), tuning(defaults, intensityTuning),
          tuning(defaults, glowTuning), tuning(defaults, speedTuning)};
}

BorderVFXConfiguration BorderVFXConfiguration::clamped() const {
  return {type, held(opacity, opacityTuning), held(intensity, intensityTuning), held(glow, glowTuning),
          held(speed, speedTuning)};
}

#include "platform/gfx/KeyframeEvaluation.h"

#include "platform/gfx/PathMeasure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace pf {

namespace {

using Mode = KeyframeAnimation::CalculationMode;

// Evenly spaced key times, made where a few fit without allocating: most
// keyframe animations have a handful of values and no key times, and are read
// on every frame.
struct EvenKeyTimes {
  std::array<double, 8> few{};
  std::vector<double> many;
};

// The animation's own key times when they fit its values, else evenly spaced
// ones made in `even`. Read every frame: the own ones are not copied.
std::span<const double> keyTimesFor(const KeyframeAnimation& a, EvenKeyTimes& even) {
  const std::size_t n = a.values.size();
  const auto& kt = a.keyTimes;
  const bool valid = kt.size() == n && std::is_sorted(kt.begin(), kt.end()) &&
                     std::all_of(kt.begin(), kt.end(), [](double t) { return std::isfinite(t); });
  if (valid) return kt;
  if (n > even.few.size()) even.many.resize(n);
  const std::span<double> times = n > even.few.size() ? std::span<double>(even.many) : std::span(even.few).first(n);
  for (std::size_t i = 0; i < n; ++i) times[i] = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0;
  return times;
}

// The segment holding `p` and the fraction within it (after its own timing function).
std::pair<std::size_t, double> segmentAt(const KeyframeAnimation& a, std::span<const double> kt, double p) {
  const std::size_t n = kt.size();
  std::size_t i = 0;
  while (i + 2 < n && p >= kt[i + 1]) ++i;
  const double span = kt[i + 1] - kt[i];
  double s = span > 0 ? std::clamp((p - kt[i]) / span, 0.0, 1.0) : (p >= kt[i + 1] ? 1.0 : 0.0);
  if (a.timingFunctions.size() + 1 >= n && i < a.timingFunctions.size()) s = a.timingFunctions[i].map(s);
  return {i, s};
}

AnimationValue discreteValue(const KeyframeAnimation& a, double p) {
  const std::size_t n = a.values.size();
  std::size_t i = 0;
  if (a.keyTimes.size() == n || a.keyTimes.size() == n + 1) {
    while (i + 1 < n && p >= a.keyTimes[i + 1]) ++i;
  } else {
    i = std::min(n - 1, static_cast<std::size_t>(std::max(0.0, std::floor(p * static_cast<double>(n)))));
  }
  return a.values[i];
}

AnimationValue pacedValue(const std::vector<AnimationValue>& values, double p) {
  std::vector<double> cumulative{0};
  for (std::size_t i = 1; i < values.size(); ++i) {
    cumulative.push_back(cumulative.back() + animation_values::distance(values[i - 1], values[i]));
  }
  const double total = cumulative.back();
  if (total <= 0) return values.front();
  const double target = p * total;
  std::size_t i = 0;
  while (i + 2 < values.size() && target > cumulative[i + 1]) ++i;
  const double len = cumulative[i + 1] - cumulative[i];
  const double s = len > 0 ? std::clamp((target - cumulative[i]) / len, 0.0, 1.0) : 1.0;
  return animation_values::interpolate(values[i], values[i + 1], s);
}

// The Hermite curve through keys i and i + 1 at fraction s, componentwise, the
// components of key k read by `comps(k)` (an array or a vector of one shape).
template <typename Comps>
auto hermite(const Comps& comps, std::span<const double> kt, std::size_t n, std::size_t i, double s) {
  const auto p0 = comps(i), p1 = comps(i + 1);
  // Tangent (value per unit of progress) at key k; the ends mirror their neighbour's spacing.
  const auto tangent = [&](std::size_t k) {
    const std::size_t lo = k > 0 ? k - 1 : k, hi = k + 1 < n ? k + 1 : k;
    double dt = kt[hi] - kt[lo];
    if (lo == k || hi == k) dt *= 2;
    auto m = p0;
    std::ranges::fill(m, 0.0);
    if (dt <= 0) return m;
    const auto a0 = comps(lo), a1 = comps(hi);
    for (std::size_t c = 0; c < m.size(); ++c) m[c] = (a1[c] - a0[c]) / dt;
    return m;
  };
  const auto m0 = tangent(i), m1 = tangent(i + 1);
  const double dt = kt[i + 1] - kt[i];
  const double s2 = s * s, s3 = s2 * s;
  const double h00 = 2 * s3 - 3 * s2 + 1, h10 = s3 - 2 * s2 + s, h01 = -2 * s3 + 3 * s2, h11 = s3 - s2;
  auto out = p0;
  for (std::size_t c = 0; c < out.size(); ++c) {
    out[c] = h00 * p0[c] + h10 * dt * m0[c] + h01 * p1[c] + h11 * dt * m1[c];
  }
  return out;
}

AnimationValue cubicValue(const KeyframeAnimation& a, std::span<const double> kt, std::size_t i, double s) {
  using namespace animation_values;
  const auto& v = a.values;
  // A number (a growing scale, a fading opacity, every frame on every such
  // layer) is worked out as one component, with no lists made for it.
  if (std::holds_alternative<double>(v[i])) {
    return hermite([&](std::size_t k) { return std::array{std::get<double>(v[k])}; }, kt, v.size(), i, s)[0];
  }
  return fromComponents(v[i], v, hermite([&](std::size_t k) { return components(v[k], v); }, kt, v.size(), i, s));
}

}  // namespace

std::optional<AnimationValue> keyframeValue(const KeyframeAnimation& a, double progress) {
  const double p = std::clamp(std::isfinite(progress) ? progress : 0.0, 0.0, 1.0);
  if (a.path && !a.path->isEmpty()) {
    const PathMeasure& measure = PathMeasure::of(*a.path);
    return measure.pointAtLength(p * measure.length());
  }
  const auto& values = a.values;
  if (values.empty()) return std::nullopt;
  if (values.size() == 1) return values.front();
  // Cubic and paced read every value as numbers of one shape; values of mixed
  // kinds cannot be. Linear, the most of them, read on every frame, need not ask.
  const auto continuous = [&] {
    return std::all_of(values.begin(), values.end(), [&](const AnimationValue& v) {
      return v.index() == values.front().index() && animation_values::isContinuous(v);
    });
  };
  if (a.calculationMode == Mode::discrete) return discreteValue(a, p);
  if (a.calculationMode == Mode::paced && continuous()) return pacedValue(values, p);
  EvenKeyTimes even;
  const std::span<const double> kt = keyTimesFor(a, even);
  const auto [i, s] = segmentAt(a, kt, p);
  if (a.calculationMode == Mode::cubic && continuous()) return cubicValue(a, kt, i, s);
  return animation_values::interpolate(values[i], values[i + 1], s);
}

}  // namespace pf

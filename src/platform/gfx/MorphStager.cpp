#include "platform/gfx/MorphStager.h"

#include "platform/gfx/Presentation.h"

#include <algorithm>
#include <cmath>

namespace pf {

const MorphStager::Staging& MorphStager::stagingFor(const TimingFunction& timing) {
  if (m_lastStaging && m_lastStaging->timing == timing) return *m_lastStaging;
  Staging staging{timing};
  staging.stages = std::clamp(static_cast<int>(std::ceil(maxStages / timing.steepestSlope())), 2, maxStages);
  for (int stage = 0; stage <= staging.stages; ++stage) {
    staging.times[static_cast<std::size_t>(stage)] = timing.timeAt(static_cast<double>(stage) / staging.stages);
  }
  return m_lastStaging.emplace(staging);
}

std::optional<MorphStager::Step> MorphStager::stepAt(const Layer& layer, double t) {
  const auto morphing = morphingOf(layer);
  return morphing ? stepAt(*morphing, t) : std::nullopt;
}

std::optional<MorphStager::Morphing> MorphStager::morphingOf(const Layer& layer) {
  const Layer::AnimationEntry* first = nullptr;
  bool alone = true;
  for (const auto& entry : layer.animations()) {
    const Animation& a = *entry.animation;
    if (a.kind() == Animation::Kind::group) {
      if (animatesContentIn(a)) return std::nullopt;
      alone = false;
      continue;
    }
    const auto& property = static_cast<const PropertyAnimation&>(a);
    if (property.keyPath != QLatin1String("path")) {
      if (isContentKeyPath(property.keyPath)) return std::nullopt;
      alone = false;
      continue;
    }
    if (!std::isinf(a.repeatCount)) return std::nullopt;
    if (!first) first = &entry;
  }
  if (!first) return std::nullopt;
  return Morphing{first, alone};
}

bool MorphStager::stagedAlike(const Morphing& a, const Morphing& b) {
  const Animation& x = *a.first->animation;
  const Animation& y = *b.first->animation;
  return a.first->addedAt == b.first->addedAt && x.duration == y.duration && x.beginTime == y.beginTime &&
         x.timeOffset == y.timeOffset && x.autoreverses == y.autoreverses && x.timingFunction == y.timingFunction;
}

std::optional<MorphStager::Step> MorphStager::stepAt(const Morphing& morphing, double t) {
  const Layer::AnimationEntry* first = morphing.first;
  const Animation& a = *first->animation;
  const double pass = a.passDuration(0);
  const double cycle = a.autoreverses ? 2 * pass : pass;
  const double local = t - first->addedAt - a.beginTime + a.timeOffset;
  if (!std::isfinite(local) || !std::isfinite(cycle) || cycle <= 0) return std::nullopt;
  double within = std::fmod(local, cycle);
  if (within < 0) within += cycle;
  // Going back through a pass draws what going forth drew.
  const bool back = within > pass;
  const double u = (back ? cycle - within : within) / pass;
  // A curve that overshoots has no one time for a progress: it is staged in time.
  const TimingFunction& timing = a.timingFunction;
  const bool byProgress = timing.rises();
  const Staging* staging = byProgress ? &stagingFor(timing) : nullptr;
  const int stages = staging ? staging->stages : maxStages;
  const auto stage = static_cast<int>(std::round((staging ? timing.map(u) : u) * stages));
  const double at = staging ? staging->times[static_cast<std::size_t>(stage)] : static_cast<double>(stage) / stages;
  const double target = back ? cycle - at * pass : at * pass;
  const double time = t + (target - within);
  // A stage that falls before the morph began shows the model's path: not the stage's picture.
  const bool begun = time - first->addedAt - a.beginTime >= 0;
  return Step{time, begun ? static_cast<quint64>(stage) + 1 : 0, morphing.alone};
}

}  // namespace pf

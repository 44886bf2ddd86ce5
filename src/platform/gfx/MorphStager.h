#pragma once

#include "platform/gfx/Layer.h"
#include "platform/gfx/TimingFunction.h"

#include <QtGlobal>
#include <array>
#include <optional>

namespace pf {

/// Moves the time at which a shape that morphs without end ("path") is drawn
/// to the nearest of a few stages of each pass, so its images are drawn once
/// per stage and reused between them instead of drawn afresh every frame.
///
/// Stages are spaced evenly in progress, not in time. An eased morph lingers
/// near its ends, where stages spaced in time redraw a shape that has barely
/// moved, and jumps furthest in its middle; spaced in progress, fewer stages
/// keep every jump within the largest that `maxStages` stages spaced in time
/// make. A linear morph keeps all of them.
class MorphStager final {
 public:
  /// Stages a shape morph is drawn at, per pass, at most.
  static constexpr int maxStages = 8;

  /// Where a morphing layer is drawn this frame.
  struct Step {
    double time = 0;     ///< when the layer's content is evaluated
    quint64 key = 0;     ///< the same for every time that draws the same content
    bool alone = false;  ///< nothing else animates the layer: all of it can be evaluated at `time`
  };

  /// How a layer whose drawn content changes only by endless "path" animations morphs.
  struct Morphing {
    const Layer::AnimationEntry* first = nullptr;  ///< the first of them, whose pass sets the stages
    bool alone = false;                            ///< nothing else animates the layer
  };

  /// For a layer whose drawn content changes only by endless "path"
  /// animations: `t` moved to the nearest stage of the first one's pass;
  /// none for any other layer.
  std::optional<Step> stepAt(const Layer& layer, double t);
  /// How `layer` morphs, the same while its animations are; none when its
  /// drawn content changes otherwise, or not at all.
  static std::optional<Morphing> morphingOf(const Layer& layer);
  /// `t` moved to the nearest stage of a layer morphing by `morphing`.
  std::optional<Step> stepAt(const Morphing& morphing, double t);
  /// Whether two layers' morphs reach the same stage at the same times, at every time.
  static bool stagedAlike(const Morphing& a, const Morphing& b);

 private:
  struct Staging {
    TimingFunction timing;
    int stages = maxStages;
    std::array<double, maxStages + 1> times{};  // the time fraction at which each stage is reached
  };

  /// Worked out for every morphing layer on every frame, from the few curves in use: the last one is kept.
  const Staging& stagingFor(const TimingFunction& timing);

  std::optional<Staging> m_lastStaging;
};

}  // namespace pf

#pragma once

#include "character/QuibAction.h"
#include "platform/gfx/Layer.h"

#include <QString>
#include <functional>
#include <memory>

class RobotView;

namespace pf {
class MainQueue;
class Timer;
}  // namespace pf

/// Plays the companion's short performances: its reaction to an opened
/// shortcut and the actions a reminder asks for. The figure is handed to a
/// layer of the companion's view and squashed and stretched about its feet
/// for about a second, never beyond its own outline (the window's shape
/// follows the figure). A new performance replaces the running one; with
/// reduced motion nothing plays.
class PerformancePlayer final {
 public:
  /// The name of the figure's layer while a performance plays.
  static inline const QString layerName = QStringLiteral("performance");

  PerformancePlayer(RobotView* view, pf::MainQueue& queue);
  ~PerformancePlayer();
  PerformancePlayer(const PerformancePlayer&) = delete;
  PerformancePlayer& operator=(const PerformancePlayer&) = delete;

  /// True while a performance plays, false once it has ended or stopped.
  std::function<void(bool)> onActivity;

  /// The reaction to an opened shortcut ("action-browser", ...).
  void playReaction(const QString& reaction);
  /// An action handed over by a reminder.
  void play(QuibAction action);
  /// Ends the running performance, if any, and shows the figure as it was.
  void stop();

  bool isPlaying() const { return m_layer != nullptr; }
  /// The figure's layer while playing.
  const std::shared_ptr<pf::Layer>& layer() const { return m_layer; }

 private:
  /// Scales along x and y through these keyframes over `duration` seconds.
  void perform(std::vector<double> scaleX, std::vector<double> scaleY, double duration);

  RobotView* m_view;
  std::unique_ptr<pf::Timer> m_end;
  std::shared_ptr<pf::Layer> m_layer;
};

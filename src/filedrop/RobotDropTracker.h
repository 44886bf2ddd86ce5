#pragma once

#include "filedrop/DragSession.h"
#include "platform/core/Geometry.h"

#include <functional>
#include <optional>

/// Follows a file drag near the companion, one step at a time: decides when a
/// drag is tracked and where the drop panel around the companion shows.
class RobotDropTracker final {
 public:
  /// How far the panel extends beyond the companion's window on every side.
  static constexpr double margin = 48;
  /// How near the panel the pointer must come for it to show.
  static constexpr double reach = 80;

  /// The companion as a step sees it: its window frame and its screen's full
  /// frame (none when it is on no screen), in y-up screen coordinates.
  struct Companion {
    pf::Rect frame;
    std::optional<pf::Rect> screen;
  };

  /// The drag under way when the tracker is made is never tracked.
  explicit RobotDropTracker(const DragSession& session);

  /// The panel frame around a companion's window: grown by `margin`, clipped to the screen.
  static pf::Rect frame(const pf::Rect& around, const pf::Rect& screen);

  /// One step with the left button's state, the pointer, and the companion
  /// (none when it is gone or hidden).
  void update(bool pressed, pf::Point pointer, const std::optional<Companion>& companion);
  /// Ends the drag being tracked (it is not tracked again) and hides the panel.
  void finish();

  /// A file drag is being tracked.
  bool isTrackingFileDrag() const { return m_isTrackingFileDrag; }
  /// Where the panel shows; none while it is hidden.
  const std::optional<pf::Rect>& panelFrame() const { return m_panelFrame; }

  /// True when tracking starts, false when it ends.
  std::function<void(bool)> onActivity;

 private:
  void placePanel(pf::Point pointer, const Companion& companion);

  const DragSession& m_session;
  long m_completedChange = 0;
  std::optional<long> m_sessionChange;
  bool m_isTrackingFileDrag = false;
  std::optional<pf::Rect> m_panelFrame;
};

#pragma once

#include "filedrop/RobotDropTracker.h"
#include "filedrop/ui/DesktopDrags.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

class RobotDropSurface;

namespace pf {
class Panel;
class Window;
}  // namespace pf

/// While a file drag is under way near the companion, shows a larger drop
/// panel around it and hands the files dropped there to the owner. Costs
/// nothing between drags: it follows the pointer only from the moment the
/// desktop reports a drag until the button is released.
class RobotDropTarget final {
 public:
  /// How often the pointer is followed during a drag, in milliseconds.
  static constexpr int pollInterval = 60;
  /// How long the panel stays, once the button is seen up with files over
  /// it, for the drop the desktop may still be delivering, in milliseconds.
  static constexpr int dropWait = 1000;

  /// Surrounds `robotWindow`, watching the desktop through `drags`.
  RobotDropTarget(pf::Window* robotWindow, std::unique_ptr<DesktopDrags> drags);
  ~RobotDropTarget();

  /// One step with the left button's state and the pointer (y-up screen coordinates).
  void update(bool pressed, pf::Point pointer);
  /// Ends watching for good.
  void stop();

  /// A file drag is being tracked; the owner ignores the companion's hover meanwhile.
  bool isTrackingFileDrag() const { return m_tracker.isTrackingFileDrag(); }
  /// Following the pointer now.
  bool isPolling() const { return m_timer.isActive(); }
  pf::Panel* panel() const { return m_panel.get(); }
  RobotDropSurface* surface() const { return m_surface; }

  /// True when tracking starts, false when it ends.
  std::function<void(bool)> onActivity;
  /// Files dropped on the panel; the answer takes or refuses the drop.
  std::function<bool(const QList<QUrl>&)> onDrop;

 private:
  void startPolling();
  void poll();
  std::optional<RobotDropTracker::Companion> companion() const;
  void showPanel();

  QPointer<pf::Window> m_robotWindow;
  std::unique_ptr<DesktopDrags> m_drags;
  RobotDropTracker m_tracker;
  std::unique_ptr<pf::Panel> m_panel;
  RobotDropSurface* m_surface = nullptr;
  QTimer m_timer;
  QTimer m_dropWait;
};

#pragma once

#include "platform/core/NotificationCenter.h"

#include <QPointer>
#include <array>
#include <memory>
#include <vector>

class LauncherResizeBorder;

namespace pf {
class Panel;
class Window;
}  // namespace pf

/// Four thin, nearly transparent handle panels around the borderless
/// launcher panel, so an edge can be grabbed from just outside it: every
/// pointer event on a handle goes to the panel's resize border. They follow
/// the panel's moves and resizes. Without a compositor they would show as
/// black bars, so they are never shown then.
class LauncherOuterResize final {
 public:
  LauncherOuterResize(pf::Window* panel, LauncherResizeBorder* border);
  ~LauncherOuterResize();
  LauncherOuterResize(const LauncherOuterResize&) = delete;
  LauncherOuterResize& operator=(const LauncherOuterResize&) = delete;

  /// The handles in the order left, right, bottom, top.
  const std::array<std::unique_ptr<pf::Panel>, 4>& handles() const { return m_handles; }

  /// Places the handles around the panel's frame.
  void layout();
  /// Places the handles and shows them above the panel.
  void show();
  /// Hides the handles.
  void hide();

 private:
  QPointer<pf::Window> m_panel;
  std::array<std::unique_ptr<pf::Panel>, 4> m_handles;
  std::vector<pf::ObserverToken> m_observations;
  bool m_showable = true;
};

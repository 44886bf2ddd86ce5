#pragma once

#include "look/BorderVFXConfiguration.h"
#include "platform/core/Geometry.h"
#include "platform/core/NotificationCenter.h"

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class SmokePanel;

namespace pf {
class Window;
}

/// Shows the border effect around one window: a click-through child panel
/// 180 points larger than the window on every side, kept on it, visible
/// exactly when the window is, and rebuilt only when its size, the
/// reduce-motion setting or the effect's configuration changed. The effect
/// can spill outside the window's frame and never touches its views.
///
/// Overlays live in a map keyed by window: one is made by the first
/// `update(window, true)`, and goes with `update(window, false)`, a change of
/// effect, or the window's destruction. Closing the window only stops it.
/// Without a compositor a transparent panel would show black, so no overlay is
/// made then. Main thread only.
class QuibSmokeOverlay final {
 public:
  ~QuibSmokeOverlay();
  QuibSmokeOverlay(const QuibSmokeOverlay&) = delete;
  QuibSmokeOverlay& operator=(const QuibSmokeOverlay&) = delete;

  /// Creates, keeps, rebuilds or removes the overlay of `window` (a top-level
  /// pf::Window). A border panel or a colour dialog never gets one; a change
  /// of effect always gets a fresh overlay and panel.
  static void update(QWidget* window, bool enabled);
  /// Turns the overlay of the view's window on or off to match the current
  /// border effect. Acts only on a window's content view that has its own layer.
  static void updateEffect(QWidget* view);
  /// The overlay of `window`, if it has one.
  static QuibSmokeOverlay* of(const QWidget* window);
  /// The soft 128 x 128 smoke puff the content smoke draws with.
  static const QImage& puff();

  /// The panel the effect is drawn in.
  SmokePanel* panel() const { return m_panel.get(); }
  /// How many times the effect's layers were built.
  int builds() const { return m_builds; }

 private:
  class ShowWatcher;

  explicit QuibSmokeOverlay(pf::Window* parent);
  /// Keeps the panel on the window and rebuilds when an input changed.
  void sync();
  /// Takes the panel off the window and empties it; the next sync rebuilds.
  void stop();

  QPointer<pf::Window> m_parent;
  std::unique_ptr<SmokePanel> m_panel;
  std::vector<pf::ObserverToken> m_observers;
  std::unique_ptr<ShowWatcher> m_showWatcher;
  QMetaObject::Connection m_parentGone;
  pf::Size m_lastSize;
  bool m_lastReduced = false;
  std::optional<BorderVFXConfiguration> m_lastConfiguration;
  int m_builds = 0;
};

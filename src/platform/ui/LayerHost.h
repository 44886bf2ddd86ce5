#pragma once

#include "platform/gfx/Layer.h"
#include "platform/gfx/LayerRenderer.h"
#include "platform/ui/FrameClock.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

namespace pf {

/// A widget that shows a layer tree, y up: the tree's origin is the widget's
/// bottom-left corner. It repaints only what changed and lies on a screen
/// (the rest once it comes onto one): after a change to the tree (once per
/// transaction) and, while animations run and the widget is shown, on every
/// tick of the shared FrameClock. Hidden, or in a window that is not mapped,
/// it costs nothing.
/// The widget paints no background of its own.
class LayerHost final : public QWidget {
  Q_OBJECT

 public:
  explicit LayerHost(QWidget* parent = nullptr);
  ~LayerHost() override;

  /// Shows `root` (none shows nothing); the host watches it for changes.
  void setRootLayer(std::shared_ptr<Layer> root);
  const std::shared_ptr<Layer>& rootLayer() const { return m_root; }

  /// True while the shown tree has running animations and the host ticks with the frame clock.
  bool isAnimating() const;

  /// False leaves the root layer's background, image and shadow to be drawn
  /// beneath the host (by the view whose own layer the root is).
  void setDrawsRootBackdrop(bool draws);

  /// Frames a second while animations run (the frame clock's full rate over a whole number).
  void setFrameRate(double rate) { m_frameRate = rate; }

  /// Called once per burst of changes to the shown tree, before they are drawn.
  std::function<void()> onTreeChange;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void scheduleRefresh();
  /// Evaluates the tree now, repaints what changed and joins or leaves the clock.
  void refresh();
  void leaveClock();
  /// Watches the window the host is in for being unmapped (by a minimise,
  /// another desktop or anyone's unmap), when nothing of it is on screen, and
  /// for moves, which may bring more of it onto a screen.
  void watchWindow();
  /// The part of the host that lies on some screen, in its own coordinates.
  QRegion onScreen() const;

  std::shared_ptr<Layer> m_root;
  LayerRenderer m_renderer;
  bool m_shown = false;
  bool m_prepared = false;
  bool m_refreshPending = false;
  bool m_treeChanged = false;
  bool m_unmapped = false;
  double m_frameRate = FrameClock::framesPerSecond;
  QRegion m_repaintedOnScreen;  // what lay on a screen when the last frame was repainted
  QPointer<QWindow> m_watchedWindow;
};

}  // namespace pf

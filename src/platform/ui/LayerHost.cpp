#include "platform/ui/LayerHost.h"

#include "platform/gfx/AnimationClock.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <utility>

namespace pf {

namespace {

QRegion scaled(const QRegion& region, double factor) {
  if (factor == 1) return region;
  QRegion out;
  for (const QRect& r : region) {
    out += QRectF(r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor).toAlignedRect();
  }
  return out;
}

}  // namespace

LayerHost::LayerHost(QWidget* parent) : QWidget(parent) {}

LayerHost::~LayerHost() {
  if (m_root) m_root->setOnChange(nullptr);
  leaveClock();
}

void LayerHost::setRootLayer(std::shared_ptr<Layer> root) {
  if (root == m_root) return;
  if (m_root) m_root->setOnChange(nullptr);
  m_root = std::move(root);
  m_renderer.reset();
  m_prepared = false;
  if (m_root) {
    // Changes arrive in bursts (a rebuilt tree); repaint once, after the burst.
    QPointer<LayerHost> self(this);
    m_root->setOnChange([self] {
      if (!self) return;
      self->m_treeChanged = true;
      self->scheduleRefresh();
    });
  }
  scheduleRefresh();
  update();
}

bool LayerHost::isAnimating() const { return FrameClock::shared().isSubscribed(this); }

void LayerHost::scheduleRefresh() {
  if (m_refreshPending) return;
  m_refreshPending = true;
  QMetaObject::invokeMethod(this, &LayerHost::refresh, Qt::QueuedConnection);
}

void LayerHost::setDrawsRootBackdrop(bool draws) {
  m_renderer.setDrawsRootBackdrop(draws);
  m_renderer.reset();
  m_prepared = false;
  scheduleRefresh();
}

void LayerHost::refresh() {
  m_refreshPending = false;
  if (std::exchange(m_treeChanged, false) && onTreeChange) onTreeChange();
  if (!m_root || !m_shown || m_unmapped) {
    leaveClock();
    return;
  }
  const double scale = devicePixelRatioF();
  const QRegion changed = m_renderer.prepare(*m_root, AnimationClock::now(), QSizeF(size()), scale);
  m_prepared = true;
  // A panel reaching past the screen's edge (an effect around a window near
  // it) would otherwise draw and flush every frame what nobody can see; what
  // comes onto a screen later is repainted then.
  const QRegion visible = onScreen();
  const QRegion dirty = (scaled(changed, 1 / scale) & visible) + (visible - m_repaintedOnScreen);
  m_repaintedOnScreen = visible;
  if (!dirty.isEmpty()) update(dirty);
  if (m_renderer.isAnimating()) {
    FrameClock::shared().start(
        this, [this] { refresh(); }, m_frameRate);
  } else {
    leaveClock();
  }
}

void LayerHost::leaveClock() { FrameClock::shared().stop(this); }

void LayerHost::paintEvent(QPaintEvent* event) {
  if (!m_root) return;
  const double scale = devicePixelRatioF();
  if (!m_prepared) {
    m_renderer.prepare(*m_root, AnimationClock::now(), QSizeF(size()), scale);
    m_prepared = true;
  }
  QPainter painter(this);
  m_renderer.paint(painter, scaled(event->region(), scale));
}

void LayerHost::watchWindow() {
  QWindow* handle = window()->windowHandle();
  if (handle == m_watchedWindow) return;
  if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
  m_watchedWindow = handle;
  if (handle) handle->installEventFilter(this);
}

QRegion LayerHost::onScreen() const {
  QRegion screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens += screen->geometry();
  return screens.translated(-mapToGlobal(QPoint(0, 0))) & rect();
}

bool LayerHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_watchedWindow && event->type() == QEvent::Move) scheduleRefresh();
  if (watched == m_watchedWindow && event->type() == QEvent::Expose) {
    // Only a window known to be unmapped stops the clock: before its first
    // exposure a window counts as shown.
    const bool unmapped = !m_watchedWindow->isExposed();
    if (unmapped != m_unmapped) {
      m_unmapped = unmapped;
      scheduleRefresh();
    }
  }
  return false;
}

void LayerHost::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  watchWindow();
  m_shown = true;
  scheduleRefresh();
}

void LayerHost::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  m_shown = false;
  m_repaintedOnScreen = QRegion();
  leaveClock();
}

void LayerHost::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_prepared = false;
  scheduleRefresh();
}

}  // namespace pf

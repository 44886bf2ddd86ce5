#include "look/ui/QuibSmokeOverlay.h"

#include "look/BorderTextures.h"
#include "look/QuibBorderVFX.h"
#include "look/ui/SmokePanel.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/DevicePixels.h"
#include "platform/gfx/Transaction.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/LayerHost.h"
#include "platform/ui/Screens.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/Window.h"

#include <QColorDialog>
#include <QEvent>
#include <cmath>
#include <unordered_map>

namespace {

/// How far the panel reaches beyond the window on every side.
constexpr double margin = 180;

using OverlayMap = std::unordered_map<const QWidget*, std::unique_ptr<QuibSmokeOverlay>>;

OverlayMap& overlays() {
  // Never destroyed: its panels are widgets, which must not outlive the
  // application object; windows take their entries with them as they go.
  static auto* map = new OverlayMap;
  return *map;
}

// The window as the user sees it, the window manager's title bar and borders
// included, so the effect surrounds them rather than burning over them.
pf::Rect outerFrame(const pf::Window& window) { return pf::Screens::toYUp(window.frameGeometry()); }

// The window's outer frame with the margin on every side, a few pixels wider
// on the right so that each row of the panel's picture is a whole number of
// 32 bytes long. Every row then starts alike and the renderer's blends run
// eight pixels at a time from one column throughout; the columns added stay clear.
pf::Rect panelFrame(const pf::Rect& outer, double scale) {
  pf::Rect frame = outer.insetBy(-margin, -margin);
  constexpr long long run = pf::devicePixels::alignedRun;
  const auto pixels = static_cast<long long>(std::ceil(frame.width() * scale - 1e-6));
  frame.size.width += static_cast<double>((run - pixels % run) % run) / scale;
  return frame;
}

// A border effect is ambient motion around the window the user works in:
// drifts of a few points a second and fades of seconds. The renderer moves
// layers by whole pixels and fades them in steps, so at half the clock's rate
// most frames look as they would at the full rate, at half the CPU here and in
// the compositor that blends the panel. Fire and smoke rise and sway slowest:
// at a third of the rate a wisp moves under half a pixel and fades about one
// step between frames, and an ember still climbs a pixel at a time.
int frameRateFor(QuibBorderEffect effect) {
  const bool slowest = effect == QuibBorderEffect::fire || effect == QuibBorderEffect::smoke;
  return pf::FrameClock::framesPerSecond / (slowest ? 3 : 2);
}

bool isColorPanel(const QWidget* window) {
  if (qobject_cast<const QColorDialog*>(window)) return true;
  const auto* w = qobject_cast<const pf::Window*>(window);
  return w && qobject_cast<const QColorDialog*>(w->contentView());
}

}  // namespace

/// Syncs when the window is shown again, so a panel made while it was hidden
/// appears with it. While the window is shown the panel itself follows it off
/// and on the screen (minimised, on another desktop).
class QuibSmokeOverlay::ShowWatcher final : public QObject {
 public:
  explicit ShowWatcher(QuibSmokeOverlay* overlay) : m_overlay(overlay) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) m_overlay->sync();
    return false;
  }

 private:
  QuibSmokeOverlay* m_overlay;
};

QuibSmokeOverlay::QuibSmokeOverlay(pf::Window* parent)
    : m_parent(parent),
      m_panel(std::make_unique<SmokePanel>(panelFrame(outerFrame(*parent), parent->devicePixelRatioF()))),
      m_showWatcher(std::make_unique<ShowWatcher>(this)) {
  parent->addChildWindow(m_panel.get());
  auto& center = pf::NotificationCenter::defaultCenter();
  for (const QString& name :
       {pf::Window::didMoveNotification, pf::Window::didResizeNotification, pf::Window::didBecomeKeyNotification}) {
    m_observers.push_back(center.addObserver(name, parent, [this](const auto&) { sync(); }));
  }
  m_observers.push_back(center.addObserver(pf::Window::willCloseNotification, parent, [this](const auto&) { stop(); }));
  parent->installEventFilter(m_showWatcher.get());
  // Sent from the window's destructor, when nothing of it may be touched any more.
  m_parentGone = QObject::connect(parent, &QObject::destroyed, [this, parent] {
    m_parent.clear();
    overlays().erase(parent);
  });
}

QuibSmokeOverlay::~QuibSmokeOverlay() {
  QObject::disconnect(m_parentGone);
  if (m_parent) {
    m_parent->removeEventFilter(m_showWatcher.get());
    m_parent->removeChildWindow(m_panel.get());
  }
}

void QuibSmokeOverlay::update(QWidget* window, bool enabled) {
  auto* parent = qobject_cast<pf::Window*>(window);
  if (!parent || qobject_cast<SmokePanel*>(parent) || isColorPanel(parent)) return;
  OverlayMap& map = overlays();
  auto it = map.find(parent);
  if (!enabled || !pf::Compositor::isActive()) {
    if (it == map.end()) return;
    it->second->stop();
    map.erase(it);
    return;
  }
  if (it != map.end() &&
      (!it->second->m_lastConfiguration || it->second->m_lastConfiguration->type != QuibBorderEffect::current())) {
    it->second->stop();
    map.erase(it);
  }
  auto& overlay = map[parent];
  if (!overlay) overlay.reset(new QuibSmokeOverlay(parent));
  overlay->sync();
}

QuibSmokeOverlay* QuibSmokeOverlay::of(const QWidget* window) {
  const auto it = overlays().find(window);
  return it == overlays().end() ? nullptr : it->second.get();
}

const QImage& QuibSmokeOverlay::puff() { return BorderTextures::puff(); }

void QuibSmokeOverlay::sync() {
  if (!m_parent) return;
  pf::Window& parent = *m_parent;
  if (!parent.childWindows().contains(m_panel.get())) parent.addChildWindow(m_panel.get());
  // A minimised window counts as visible to Qt, but nothing of it is on screen.
  if (parent.isVisible() && !parent.isMinimized() && !m_panel->isVisible()) {
    m_panel->orderFront();
  }
  const pf::Rect outer = outerFrame(parent);
  const pf::Rect target = panelFrame(outer, parent.devicePixelRatioF());
  if (m_panel->frame() != target) m_panel->setFrame(target);
  m_panel->setLevel(parent.level());

  const bool reduced = pf::Accessibility::reduceMotion();
  const auto configuration = BorderVFXConfiguration::read(pf::UserDefaults::standard());
  // A pure move costs only the frame change.
  if (m_lastSize == target.size && m_lastReduced == reduced && m_lastConfiguration == configuration) {
    return;
  }
  m_lastSize = target.size;
  m_lastReduced = reduced;
  m_lastConfiguration = configuration;
  m_panel->host()->setFrameRate(frameRateFor(configuration.type));
  pf::Transaction transaction;
  pf::Layer& root = *m_panel->contentLayer();
  root.setFrame(pf::Rect(0, 0, target.width(), target.height()));
  QuibBorderVFX::populate(root, pf::Rect(margin, margin, outer.width(), outer.height()), configuration, reduced);
  ++m_builds;
}

void QuibSmokeOverlay::stop() {
  m_lastSize = {};
  if (m_parent) m_parent->removeChildWindow(m_panel.get());
  m_panel->orderOut();
  m_panel->contentLayer()->removeAllSublayers();
}

void QuibSmokeOverlay::updateEffect(QWidget* view) {
  auto* window = view ? qobject_cast<pf::Window*>(view->window()) : nullptr;
  if (!window || window->contentView() != view || !pf::ViewLayer::of(view)) return;
  update(window, QuibBorderEffect::current() != QuibBorderEffect::none);
}

#include "filedrop/ui/RobotDropTarget.h"

#include "filedrop/ui/RobotDropSurface.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screens.h"

RobotDropTarget::RobotDropTarget(pf::Window* robotWindow, std::unique_ptr<DesktopDrags> drags)
    : m_robotWindow(robotWindow), m_drags(std::move(drags)), m_tracker(*m_drags) {
  m_panel = std::make_unique<pf::Panel>();
  m_panel->setWindowTitle(QStringLiteral("Wendle File Drop Area"));
  m_panel->setLevel(pf::WindowLevel::frontOfDock);
  m_panel->setTranslucentBackground(true);
  m_surface = new RobotDropSurface;
  m_panel->setContentView(m_surface);
  m_surface->receive = [this](const QList<QUrl>& urls) {
    const bool taken = onDrop && onDrop(urls);
    m_tracker.finish();
    return taken;
  };
  m_surface->dragEnded = [this] { showPanel(); };
  m_dropWait.setSingleShot(true);
  m_dropWait.setInterval(dropWait);
  QObject::connect(&m_dropWait, &QTimer::timeout, [this] {
    m_surface->setHovering(false);
    showPanel();
  });
  m_tracker.onActivity = [this](bool on) {
    if (onActivity) onActivity(on);
  };
  m_timer.setInterval(pollInterval);
  QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
  m_drags->onDragStarted = [this] { startPolling(); };
}

RobotDropTarget::~RobotDropTarget() {
  // The owner may be half torn down by now: it hears nothing more.
  onActivity = nullptr;
  onDrop = nullptr;
  stop();
}

void RobotDropTarget::startPolling() {
  if (m_timer.isActive()) return;
  m_timer.start();
  poll();
}

void RobotDropTarget::poll() {
  const DesktopDrags::Pointer pointer = m_drags->pointer();
  update(pointer.leftButtonDown, pointer.location);
  // The next drag announces itself; until then nothing needs to run.
  if (!pointer.leftButtonDown) m_timer.stop();
}

void RobotDropTarget::update(bool pressed, pf::Point pointer) {
  m_tracker.update(pressed, pointer, companion());
  showPanel();
}

void RobotDropTarget::stop() {
  m_timer.stop();
  m_drags->onDragStarted = nullptr;
  m_tracker.finish();
  m_surface->setHovering(false);
  showPanel();
}

std::optional<RobotDropTracker::Companion> RobotDropTarget::companion() const {
  if (!m_robotWindow || !m_robotWindow->isVisible()) return std::nullopt;
  const QScreen* screen = pf::Screens::of(m_robotWindow);
  if (!screen) screen = pf::Screens::main();
  return RobotDropTracker::Companion{m_robotWindow->frame(),
                                     screen ? std::optional<pf::Rect>(pf::Screens::frame(screen)) : std::nullopt};
}

void RobotDropTarget::showPanel() {
  const std::optional<pf::Rect>& frame = m_tracker.panelFrame();
  if (!frame) {
    // The button can be seen up before the desktop has delivered the drop:
    // hidden now, the panel would let the files fall on whatever lies beneath.
    if (m_surface->hovering() && m_panel->isVisible()) {
      if (!m_dropWait.isActive()) m_dropWait.start();
      return;
    }
    m_dropWait.stop();
    m_surface->setHovering(false);
    m_panel->orderOut();
    return;
  }
  if (m_panel->frame() != *frame) m_panel->setFrame(*frame);
  if (!m_panel->isVisible()) m_panel->orderFront();
}

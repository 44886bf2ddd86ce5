#include "motion/HoverCoordinator.h"

#include "platform/core/MainQueue.h"

HoverCoordinator::HoverCoordinator(pf::MainQueue& queue)
    : m_checkTimer(queue.makeTimer(pf::TimerAccuracy::precise)), m_graceTimer(queue.makeTimer()) {}

HoverCoordinator::~HoverCoordinator() = default;

void HoverCoordinator::companionEntered() {
  if (m_awaitingLeave) return;
  m_awaitingVisit = false;
  open();
}

void HoverCoordinator::companionLeft() { m_awaitingLeave = false; }

void HoverCoordinator::companionPressed() {
  m_awaitingLeave = false;
  companionEntered();
}

void HoverCoordinator::openUntilVisited() {
  m_awaitingVisit = true;
  open();
}

void HoverCoordinator::menuOpened() {
  m_menuShown = true;
  close();
}

void HoverCoordinator::menuClosed(bool pointerOnCompanion) {
  m_menuShown = false;
  m_awaitingLeave = pointerOnCompanion;
}

void HoverCoordinator::open() {
  if (m_menuShown) return;
  m_graceTimer->stop();
  if (!m_checkTimer->isActive()) m_checkTimer->start(checkInterval, true, [this] { check(); });
  if (m_open) return;
  m_open = true;
  if (onOpen) onOpen();
}

void HoverCoordinator::setHold(Hold hold, bool active) {
  m_holds.set(std::size_t(hold), active);
  if (m_open) check();
}

void HoverCoordinator::check() {
  const bool inside = pointerInside && pointerInside();
  if (inside) m_awaitingVisit = false;
  if (inside || m_awaitingVisit || m_holds.any()) {
    m_graceTimer->stop();
  } else if (!m_graceTimer->isActive()) {
    m_graceTimer->start(grace, false, [this] { close(); });
  }
}

void HoverCoordinator::close() {
  const bool wasOpen = m_open;
  stop();
  if (wasOpen && onClose) onClose();
}

void HoverCoordinator::handOver(bool pointerOnCompanion) {
  close();
  m_awaitingLeave = pointerOnCompanion;
}

void HoverCoordinator::stop() {
  m_checkTimer->stop();
  m_graceTimer->stop();
  m_open = false;
  m_awaitingVisit = false;
}

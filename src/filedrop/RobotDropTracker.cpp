#include "filedrop/RobotDropTracker.h"

RobotDropTracker::RobotDropTracker(const DragSession& session)
    : m_session(session), m_completedChange(session.changeCount()) {}

pf::Rect RobotDropTracker::frame(const pf::Rect& around, const pf::Rect& screen) {
  return around.insetBy(-margin, -margin).intersection(screen);
}

void RobotDropTracker::update(bool pressed, pf::Point pointer, const std::optional<Companion>& companion) {
  if (!pressed || !companion) {
    finish();
    return;
  }
  const long change = m_session.changeCount();
  if (!m_sessionChange || *m_sessionChange != change) {
    if (change == m_completedChange || m_session.fileURLs().isEmpty()) return;
    m_sessionChange = change;
    if (!m_isTrackingFileDrag) {
      m_isTrackingFileDrag = true;
      if (onActivity) onActivity(true);
    }
  }
  placePanel(pointer, *companion);
}

void RobotDropTracker::placePanel(pf::Point pointer, const Companion& companion) {
  const pf::Rect panel =
      companion.screen ? frame(companion.frame, *companion.screen) : companion.frame.insetBy(-margin, -margin);
  const bool near = !panel.isEmpty() && panel.insetBy(-reach, -reach).contains(pointer);
  m_panelFrame = near ? std::optional<pf::Rect>(panel) : std::nullopt;
}

void RobotDropTracker::finish() {
  m_completedChange = m_session.changeCount();
  m_sessionChange.reset();
  m_panelFrame.reset();
  if (m_isTrackingFileDrag) {
    m_isTrackingFileDrag = false;
    if (onActivity) onActivity(false);
  }
}

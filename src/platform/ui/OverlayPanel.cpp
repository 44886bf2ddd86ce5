#include "platform/ui/OverlayPanel.h"

#include "platform/ui/X11OverlayStacking.h"

namespace pf {

OverlayPanel::OverlayPanel() {
  setWindowFlag(Qt::NoDropShadowWindowHint);
  setIgnoresMouseEvents(true);
  if (X11OverlayStacking::applies()) setWindowFlag(Qt::X11BypassWindowManagerHint);
}

OverlayPanel::~OverlayPanel() { X11OverlayStacking::release(*this); }

void OverlayPanel::setVisible(bool visible) {
  m_wanted = visible;
  std::optional<bool> parentOnScreen;
  if (visible && parentWindow() && X11OverlayStacking::applies()) {
    parentOnScreen = X11OverlayStacking::hold(*this);
  } else {
    X11OverlayStacking::release(*this);
  }
  m_held = parentOnScreen.has_value();
  if (!m_held) m_parentAt.reset();
  Panel::setVisible(visible && parentOnScreen.value_or(true));
}

void OverlayPanel::bringToFront() {
  // A held panel stays directly above its parent, not in front of everything.
  if (!m_held) Panel::bringToFront();
}

void OverlayPanel::moveWithParent(QPoint delta) {
  // A held panel has followed its parent's frame already.
  if (!m_held) Panel::moveWithParent(delta);
}

void OverlayPanel::placeGeometry(const QRect& geometry) {
  m_placedAt = geometry.topLeft();
  m_parentWhenPlaced.reset();
  if (const Window* parent = parentWindow()) m_parentWhenPlaced = parent->geometry().topLeft();
  Panel::placeGeometry(geometry.translated(parentDisplacement()));
}

void OverlayPanel::followParentTo(QPoint parentAt) {
  // Placed before it had a parent: where it stands now is where it was put.
  if (!m_parentWhenPlaced && parentWindow()) {
    m_placedAt = pos();
    m_parentWhenPlaced = parentWindow()->geometry().topLeft();
  }
  m_parentAt = parentAt;
  const QPoint at = m_placedAt + parentDisplacement();
  if (at != pos()) move(at);
}

QPoint OverlayPanel::parentDisplacement() const {
  // During a drag the manager tells the parent where it is only at the end.
  if (!m_held || !m_parentAt || !m_parentWhenPlaced) return {};
  return *m_parentAt - *m_parentWhenPlaced;
}

void OverlayPanel::showWithParent(bool parentOnScreen) { Panel::setVisible(m_wanted && parentOnScreen); }

}  // namespace pf

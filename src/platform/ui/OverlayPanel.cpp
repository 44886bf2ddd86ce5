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
  m_parentOnScreen = parentOnScreen.value_or(true);
  Panel::setVisible(m_wanted && m_parentOnScreen);
}

void OverlayPanel::bringToFront() {
  // A held panel stays directly above its parent, not in front of everything.
  if (!m_held) Panel::bringToFront();
}

void OverlayPanel::followParent(bool parentOnScreen) {
  m_parentOnScreen = parentOnScreen;
  Panel::setVisible(m_wanted && parentOnScreen);
}

}  // namespace pf

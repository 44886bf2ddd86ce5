#include "launcher/ui/LauncherPanel.h"

#include "launcher/LauncherPlacement.h"
#include "launcher/ui/LauncherOuterResize.h"
#include "look/QuibSkin.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ViewStyle.h"

#include <QPropertyAnimation>

LauncherPanel::LauncherPanel(QWidget* content, pf::Size size, LauncherResizeBorder* resizeBorder) {
  setWindowTitle(QStringLiteral("Wendle Shortcuts"));
  pf::ViewStyle::setAppearance(this, QuibSkin::appearance());
  setTranslucentBackground(true);
  setCanBecomeKey(true);
  setLevel(pf::WindowLevel::frontOfDock);
  setContentView(content);
  setFrame(pf::Rect(0, 0, size.width, size.height));
  if (resizeBorder) m_outerResize = std::make_unique<LauncherOuterResize>(this, resizeBorder);
}

LauncherPanel::~LauncherPanel() = default;

bool LauncherPanel::containsHover(pf::Point screenPoint) const {
  return isVisible() && frame().insetBy(-hoverMargin, -hoverMargin).contains(screenPoint);
}

void LauncherPanel::reveal(const pf::Rect& anchor, const pf::Rect& screenFrame, const pf::Rect& visibleFrame,
                           const std::vector<pf::Rect>& dockFrames) {
  setLevel(pf::WindowLevel::frontOfDock);
  setFrameOrigin(LauncherPlacement::origin(anchor, frame().size, screenFrame, visibleFrame, dockFrames));
  if (isVisible()) {
    if (m_outerResize) m_outerResize->show();
    return;
  }
  const bool still = pf::Accessibility::reduceMotion();
  setWindowOpacity(still ? 1 : 0);
  orderFront();
  if (m_outerResize) m_outerResize->show();
  if (still) return;
  m_fade = new QPropertyAnimation(this, "windowOpacity", this);
  m_fade->setDuration(fadeMilliseconds);
  m_fade->setStartValue(0.0);
  m_fade->setEndValue(1.0);
  m_fade->setEasingCurve(QEasingCurve::InOutQuad);
  m_fade->start(QAbstractAnimation::DeleteWhenStopped);
}

// A fade left running would go on animating a hidden window.
void LauncherPanel::dismiss() {
  if (m_fade) m_fade->stop();
  if (m_outerResize) m_outerResize->hide();
  orderOut();
}

bool LauncherPanel::isFading() const { return m_fade && m_fade->state() == QAbstractAnimation::Running; }

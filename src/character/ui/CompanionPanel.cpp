#include "character/ui/CompanionPanel.h"

#include "character/ui/RobotView.h"

CompanionPanel::CompanionPanel(const QString& assetRoot) {
  setTranslucentBackground(true);
  setCanBecomeKey(true);
  setLevel(pf::WindowLevel::floating);
  setJoinsAllSpaces(true);
  setWindowTitle(QStringLiteral("Wendle"));
  m_view = new RobotView(assetRoot);
  setContentView(m_view);
}

void CompanionPanel::setCompanionHeight(double height) {
  const pf::Size size = m_view->sizeForHeight(height);
  setFrame(pf::Rect(frame().origin, size));
}

#include "look/ui/SmokePanel.h"

#include "platform/ui/LayerHost.h"

SmokePanel::SmokePanel(const pf::Rect& frame) {
  setWindowTitle(QStringLiteral("Wendle Border Effect"));
  setTranslucentBackground(true);
  setAttribute(Qt::WA_NoSystemBackground);
  m_host = new pf::LayerHost;
  m_host->setRootLayer(pf::Layer::make());
  setContentView(m_host);
  setFrame(frame);
}

const std::shared_ptr<pf::Layer>& SmokePanel::contentLayer() const { return m_host->rootLayer(); }

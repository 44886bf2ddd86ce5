#include "look/ui/SmokePanel.h"

#include "platform/ui/LayerHost.h"

SmokePanel::SmokePanel(const pf::Rect& frame) {
  setWindowTitle(QStringLiteral("Wendle Border Effect"));
  setWindowFlag(Qt::NoDropShadowWindowHint);
  setTranslucentBackground(true);
  setAttribute(Qt::WA_NoSystemBackground);
  setIgnoresMouseEvents(true);
  m_host = new pf::LayerHost;
  // A border effect is ambient motion around the window the user works in:
  // drifts of a few points a second and fades of seconds, which change little
  // between frames at half the clock's rate while costing half the CPU, in
  // this program and in the compositor that blends the panel.
  m_host->setFrameRate(pf::FrameClock::framesPerSecond / 2);
  m_host->setRootLayer(pf::Layer::make());
  setContentView(m_host);
  setFrame(frame);
}

const std::shared_ptr<pf::Layer>& SmokePanel::contentLayer() const { return m_host->rootLayer(); }

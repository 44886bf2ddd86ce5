#include "character/ui/PerformancePlayer.h"

#include "character/ui/RobotView.h"
#include "platform/core/MainQueue.h"
#include "platform/gfx/Animation.h"
#include "platform/gfx/Transaction.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ViewLayer.h"

namespace {

pf::KeyframeAnimation keyframes(const QString& keyPath, const std::vector<double>& values, double duration) {
  pf::KeyframeAnimation animation(keyPath);
  for (const double value : values) animation.values.emplace_back(value);
  animation.duration = duration;
  return animation;
}

}  // namespace

PerformancePlayer::PerformancePlayer(RobotView* view, pf::MainQueue& queue)
    : m_view(view), m_end(queue.makeTimer(pf::TimerAccuracy::precise)) {}

PerformancePlayer::~PerformancePlayer() {
  if (m_layer) m_layer->removeFromSuperlayer();
}

void PerformancePlayer::playReaction(const QString&) {
  // A hop: crouch, spring up, settle.
  perform({1, 1.0, 0.96, 1, 1}, {1, 0.84, 1, 0.93, 1}, 0.9);
}

void PerformancePlayer::play(QuibAction action) {
  if (action == QuibAction::dance)
    perform({1, 0.9, 1, 0.9, 1, 0.9, 1}, {1, 0.95, 1, 0.95, 1, 0.95, 1}, 1.2);
  else
    perform({1, 1, 1, 1, 1, 1, 1}, {1, 0.92, 1, 0.92, 1, 0.92, 1}, 1.2);
}

void PerformancePlayer::perform(std::vector<double> scaleX, std::vector<double> scaleY, double duration) {
  const bool wasPlaying = isPlaying();
  if (wasPlaying) m_layer->removeFromSuperlayer();
  m_layer.reset();
  if (pf::Accessibility::reduceMotion() || m_view->figure().isNull()) {
    m_end->stop();
    m_view->setFigureHidden(false);
    if (wasPlaying && onActivity) onActivity(false);
    return;
  }
  const auto root = pf::ViewLayer::ensure(m_view);
  {
    pf::Transaction transaction;
    m_layer = pf::Layer::make();
    m_layer->setName(layerName);
    m_layer->setAnchorPoint({0.5, 0});
    m_layer->setFrame(pf::Rect(0, 0, m_view->width(), m_view->height()));
    m_layer->setContents(m_view->figure());
    m_layer->addAnimation(keyframes(QStringLiteral("transform.scale.x"), scaleX, duration));
    m_layer->addAnimation(keyframes(QStringLiteral("transform.scale.y"), scaleY, duration));
    root->addSublayer(m_layer);
  }
  m_view->setFigureHidden(true);
  m_end->start(duration, false, [this] { stop(); });
  if (!wasPlaying && onActivity) onActivity(true);
}

void PerformancePlayer::stop() {
  m_end->stop();
  if (!m_layer) return;
  m_layer->removeFromSuperlayer();
  m_layer.reset();
  m_view->setFigureHidden(false);
  if (onActivity) onActivity(false);
}

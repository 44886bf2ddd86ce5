#include "look/ui/QuibContentSmoke.h"

#include "look/BorderTextures.h"
#include "look/QuibBorderEffect.h"
#include "platform/gfx/Animation.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/gfx/Transaction.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ViewLayer.h"

#include <QWidget>
#include <cmath>

namespace {

/// How far the smoke reaches outside a rectangle, and how far in its ring starts.
constexpr double outside = 8;
constexpr double ringInset = 12;
constexpr double puffSize = 36;
constexpr double puffOpacity = 0.55;

QString geometryOf(const std::vector<pf::Rect>& rects, bool reduced) {
  QString text;
  for (const pf::Rect& r : rects) {
    text += QString::asprintf("{{%g, %g}, {%g, %g}}", r.origin.x, r.origin.y, r.size.width, r.size.height);
  }
  return text + (reduced ? QStringLiteral("true") : QStringLiteral("false"));
}

std::shared_ptr<pf::Layer> ringMask(const pf::Rect& bounds) {
  auto mask = pf::ShapeLayer::make();
  pf::Path path = pf::Path::rect(bounds);
  const pf::Rect inner = bounds.insetBy(ringInset, ringInset);
  if (!inner.isNull()) path.addPath(pf::Path::roundedRect(inner, 10, 10));
  mask->setFrame(bounds);
  mask->setPath(path);
  mask->setFillRule(pf::FillRule::evenOdd);
  return mask;
}

void drift(pf::Layer& puff, pf::Point at, int i) {
  auto position = std::make_shared<pf::BasicAnimation>(QStringLiteral("position"));
  position->fromValue = at;
  position->toValue = pf::Point{at.x + 5 * std::sin(i), at.y + 7};
  auto scale = std::make_shared<pf::BasicAnimation>(QStringLiteral("transform.scale"));
  scale->fromValue = 0.7;
  scale->toValue = 1.3;
  auto opacity = std::make_shared<pf::KeyframeAnimation>(QStringLiteral("opacity"));
  opacity->values = {0.0, 0.65, 0.45, 0.0};
  opacity->keyTimes = {0, 0.25, 0.7, 1};
  pf::AnimationGroup group;
  group.animations = {position, scale, opacity};
  group.duration = 4.5 + 0.6 * (i % 4);
  group.timeOffset = 0.8 * (i % 7);
  group.repeatCount = pf::Animation::repeatForever;
  puff.addAnimation(group, QStringLiteral("drift"));
}

/// The puffs of one side: 0 bottom, 1 right, 2 top, 3 left, centred on the
/// rectangle's outline, which lies at (8, 8, w, h) in the group.
void addSide(pf::Layer& group, int side, double w, double h, bool reduced) {
  const double length = side % 2 == 0 ? w : h;
  const int n = std::max(static_cast<int>(std::trunc(length / 26)), 2);
  for (int i = 0; i < n; ++i) {
    const double t = (i + 0.5) / n;
    const pf::Point at = side == 0   ? pf::Point{outside + t * w, outside}
                         : side == 1 ? pf::Point{outside + w, outside + t * h}
                         : side == 2 ? pf::Point{outside + t * w, outside + h}
                                     : pf::Point{outside, outside + t * h};
    auto puff = pf::Layer::make();
    puff->setBounds(pf::Rect(0, 0, puffSize, puffSize));
    puff->setPosition(at);
    puff->setContents(BorderTextures::puff());
    puff->setOpacity(puffOpacity);
    if (!reduced) drift(*puff, at, i);
    group.addSublayer(puff);
  }
}

std::shared_ptr<pf::Layer> ring(const pf::Rect& r, bool reduced) {
  auto group = pf::Layer::make();
  const pf::Rect frame = r.insetBy(-outside, -outside);
  group->setFrame(frame);
  group->setMask(ringMask(pf::Rect(0, 0, frame.width(), frame.height())));
  for (int side = 0; side < 4; ++side) addSide(*group, side, r.width(), r.height(), reduced);
  return group;
}

}  // namespace

void QuibContentSmoke::update(QWidget* view, const std::vector<pf::Rect>& rects) {
  if (!view) return;
  const auto layer = pf::ViewLayer::ensure(view);
  if (!layer) return;
  update(*layer, pf::Rect(0, 0, view->width(), view->height()), rects);
}

void QuibContentSmoke::update(pf::Layer& viewLayer, const pf::Rect& bounds, const std::vector<pf::Rect>& rects) {
  const auto old = viewLayer.sublayerNamed(layerName);
  if (QuibBorderEffect::current() != QuibBorderEffect::smoke) {
    if (old) old->removeFromSuperlayer();
    return;
  }
  const bool reduced = pf::Accessibility::reduceMotion();
  const QString geometry = geometryOf(rects, reduced);
  if (old && old->value(geometryKey) == geometry) return;

  pf::Transaction transaction;
  if (old) old->removeFromSuperlayer();
  auto smoke = pf::Layer::make();
  smoke->setName(layerName);
  smoke->setFrame(bounds);
  smoke->setValue(geometryKey, geometry);
  for (const pf::Rect& r : rects) smoke->addSublayer(ring(r.standardized(), reduced));
  viewLayer.addSublayer(smoke);
}

#include "look/ui/QuibNeonBorder.h"

#include "look/ui/QuibSmokeOverlay.h"
#include "look/QuibTheme.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/gfx/Transaction.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/ViewLayer.h"

#include <QWidget>

namespace {

const QString breatheKey = QStringLiteral("breathe");
// The breath is a fade of 3.5 seconds that the renderer shows in steps of
// 1/48 of opacity: on the outline's stroke a step is about four levels of
// 8-bit blue and two of green, on its glow less than one. An open window at
// rest costs what its breath repaints: each repaint of the band around the
// window, and the X server compositing it, costs the same whatever moved, so
// the cost follows the number of repaints. At 2.5 frames a second the band is
// repainted about 2.3 times a second (at 5, 4.3; at 10, 7.1); a frame moves at
// most six steps, mid-breath where the outline brightens fastest, and near the
// ends, where a change stands out most, one or two. A frame every 12th of the
// clock's falls on those of every effect's rate (every 2nd and 3rd), so a
// window with an effect wakes no more often for the breath.
constexpr double breathFrameRate = pf::FrameClock::framesPerSecond / 12.0;

// Only a shape layer counts: a layer of another kind that happens to carry
// the name would otherwise make every call add one more outline.
std::shared_ptr<pf::ShapeLayer> outlineOf(const pf::Layer& layer) {
  for (const auto& sublayer : layer.sublayers()) {
    if (sublayer->name() == QuibNeonBorder::layerName && sublayer->kind() == pf::Layer::Kind::shape) {
      return std::static_pointer_cast<pf::ShapeLayer>(sublayer);
    }
  }
  return nullptr;
}

void draw(pf::ShapeLayer& outline, const pf::Rect& bounds) {
  const pf::Color accent = QuibTheme::accent();
  const double r = outline.cornerRadius();
  const pf::Rect inner = bounds.insetBy(3, 3);
  outline.setFrame(bounds);
  outline.setPath(inner.isNull() ? pf::Path() : pf::Path::roundedRect(inner, r, r));
  outline.setFillColor(std::nullopt);
  outline.setStrokeColor(accent);
  outline.setLineWidth(1.5);
  outline.setShadowColor(accent);
  outline.setShadowRadius(7);
  outline.setShadowOffset({0, 0});
  outline.setShadowOpacity(0.75);
  outline.setOpacity(0.55);
}

void breathe(pf::ShapeLayer& outline) {
  if (pf::Accessibility::reduceMotion()) {
    outline.removeAnimation(breatheKey);
    return;
  }
  if (outline.animation(breatheKey)) return;
  pf::BasicAnimation animation(QStringLiteral("opacity"));
  animation.fromValue = 0.25;
  animation.toValue = 0.9;
  animation.duration = 3.5;
  animation.autoreverses = true;
  animation.repeatCount = pf::Animation::repeatForever;
  animation.timingFunction = pf::TimingFunction::easeInEaseOut();
  outline.addAnimation(animation, breatheKey);
}

}  // namespace

void QuibNeonBorder::update(QWidget* view, double radius) {
  const auto layer = pf::ViewLayer::ensure(view);
  if (!layer) return;
  pf::ViewLayer::setFrameRate(view, breathFrameRate);
  QuibSmokeOverlay::updateEffect(view);
  auto outline = outlineOf(*layer);
  {
    pf::Transaction transaction;
    if (!outline) {
      outline = pf::ShapeLayer::make();
      outline->setName(layerName);
      outline->setCornerRadius(radius);
      layer->addSublayer(outline);
    }
    draw(*outline, pf::Rect(0, 0, view->width(), view->height()));
  }
  breathe(*outline);
}

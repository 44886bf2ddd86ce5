#include "widgets/GlassSurface.h"

#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibLook.h"
#include "look/ui/QuibNeonBorder.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace {

pf::Rect boundsOf(const QWidget* view) { return pf::Rect(0, 0, view->width(), view->height()); }

// The tint was made to lie over a blurred desktop. Where nothing blurs, the
// window's background stands in for the blur under it, so lines and letters
// of the windows beneath never show through.
void drawGlass(QPainter& painter, const pf::Rect& bounds, bool blurred) {
  pf::PainterCanvas canvas(painter, bounds.height());
  const pf::Rect outer = bounds.insetBy(1.5, 1.5);
  if (outer.isNull()) return;
  const pf::Path outerPath = pf::Path::roundedRect(outer, 21, 21);
  if (!blurred) canvas.fill(outerPath, QuibTheme::navy().withAlpha(1));
  canvas.fill(outerPath, QuibTheme::glass());
  const pf::Rect inner = outer.insetBy(1.1, 1.1);
  pf::Path ring = outerPath;
  if (!inner.isNull()) ring.addPath(pf::Path::roundedRect(inner, 20, 20));
  canvas.save();
  canvas.clip(ring, pf::FillRule::evenOdd);
  const pf::Color accent = QuibTheme::accent().withAlpha(0.85);
  canvas.fillLinearGradient(outerPath, {{accent, accent}, {}}, 0);
  canvas.restore();
}

void drawDecoration(QPainter& painter, const pf::Rect& bounds) {
  pf::PainterCanvas canvas(painter, bounds.height());
  const pf::Rect edge = bounds.insetBy(1, 1);
  if (edge.isNull()) return;
  const pf::Path path = pf::Path::roundedRect(edge, 21, 21);
  canvas.fill(path, QuibTheme::decoration());
  if (QuibSkin::isSpace()) {
    QuibSkin::draw(canvas, bounds, false);
    QuibSkin::drawRobotFrame(canvas, bounds);
    return;
  }
  const pf::Color accent = QuibTheme::accent();
  canvas.stroke(path, accent.withAlpha(0.7), 2);
  const pf::Rect inner = bounds.insetBy(3, 3);
  if (!inner.isNull()) canvas.stroke(pf::Path::roundedRect(inner, 19, 19), accent.withAlpha(0.25), 1);
}

}  // namespace

GlassSurface::GlassSurface(QWidget* parent) : QWidget(parent) {
  QuibLook::mark(this, QuibLook::Part::glassSurface);
  pf::ViewStyle::setAppearance(this, QuibSkin::appearance());
  const auto layer = pf::ViewLayer::ensure(this);
  layer->setCornerRadius(cornerRadius);
  layer->setMasksToBounds(true);
}

void GlassSurface::setRobotFrame(bool robotFrame) {
  m_robotFrame = robotFrame;
  update();
}

// The decoration lies in the glass's own picture, above the glass and below
// every child: the breathing outline repaints the view beneath it at each
// step of its fade, several times a second, and one copy costs half of two.
// In a window drawn opaque the picture holds the window's background too, so
// such a step copies one opaque picture and leaves the window beneath unpainted.
// The outline is refreshed whenever that picture changes, which is when the
// size, skin or palette changed.
void GlassSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QWidget* host = window();
  const QColor backdrop = m_opaque ? host->palette().brush(host->backgroundRole()).color() : QColor(Qt::transparent);
  const bool changed = m_glass.paint(
      painter, event->region(), size(), m_blurred ? 1 : 0,
      [this](QPainter& p) {
        drawGlass(p, boundsOf(this), m_blurred);
        drawDecoration(p, boundsOf(this));
      },
      backdrop);
  if (changed) QuibNeonBorder::update(this, 21);
}

void GlassSurface::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!window()->isVisible()) return;
  QuibNeonBorder::update(this, 12);
  updateBackdrop();
}

void GlassSurface::updateBackdrop() {
  auto* host = qobject_cast<pf::Window*>(window());
  const bool seeThrough = host && host->testAttribute(Qt::WA_TranslucentBackground);
  const bool blurred = seeThrough && pf::Compositor::offersBlur();
  if (seeThrough) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(mapTo(host, QPoint(0, 0)), QSizeF(size())), cornerRadius, cornerRadius);
    host->setBlurBehind(blurred ? QRegion(shape.toFillPolygon().toPolygon()) : QRegion());
  }
  // Only a window drawn opaque lies beneath as its background alone.
  const bool opaque = !window()->testAttribute(Qt::WA_TranslucentBackground) && parentWidget() == window();
  if (opaque != m_opaque) {
    m_opaque = opaque;
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    update();
  }
  if (blurred == m_blurred) return;
  m_blurred = blurred;
  update();
}

void GlassSurface::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  updateBackdrop();
  QTimer::singleShot(0, this, [this] {
    if (isVisible()) QuibNeonBorder::update(this, 12);
  });
}

void GlassSurface::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (onHover) onHover(true);
}

void GlassSurface::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (onHover) onHover(false);
}

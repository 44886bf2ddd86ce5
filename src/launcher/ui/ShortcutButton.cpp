#include "launcher/ui/ShortcutButton.h"

#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/core/QtGeometry.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/Screens.h"
#include "shortcuts/QuibIcons.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <cmath>

namespace {

/// The blend of two colours a fraction `f` of the way from `a` to `b`, in sRGB.
pf::Color blended(const pf::Color& a, const pf::Color& b, double f) {
  const pf::Rgba x = pf::resolved(a);
  const pf::Rgba y = pf::resolved(b);
  return pf::Color::sRGB(x.red + (y.red - x.red) * f, x.green + (y.green - x.green) * f, x.blue + (y.blue - x.blue) * f,
                         x.alpha + (y.alpha - x.alpha) * f);
}

pf::Path cardPath(const QWidget* button) {
  const pf::Rect card = pf::Rect(0, 0, button->width(), button->height()).insetBy(1, 1);
  return card.isNull() ? pf::Path() : pf::Path::roundedRect(card, 12, 12);
}

void drawCard(QPainter& painter, const QWidget* button, bool hovered) {
  pf::PainterCanvas canvas(painter, button->height());
  const pf::Path path = cardPath(button);
  const double blend = hovered ? 0.18 : QuibTheme::trimOnly() ? 0.0 : 0.06;
  const pf::Color card = QuibTheme::card();
  canvas.fillLinearGradient(path, {{card, blended(card, QuibTheme::accent(), blend)}, {}}, 90);
  canvas.stroke(path, hovered ? QuibTheme::highlight().withAlpha(0.9) : QuibTheme::border(), 2);
  QuibSkin::draw(canvas, pf::Rect(0, 0, button->width(), button->height()), true);
}

bool isContextClick(const QMouseEvent* event) {
  return event->button() == Qt::RightButton ||
         (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier));
}

}  // namespace

ShortcutButton::ShortcutButton(const Shortcut& item, bool wide, const ShortcutStore* store, QWidget* parent)
    : QAbstractButton(parent), m_shortcutID(item.id), m_label(item.label), m_wide(wide) {
  setText(item.label);
  setFocusPolicy(Qt::StrongFocus);
  setPicture(QuibIcons::icon(item, store), QuibIcons::color(item, store));
  setAccessibleName(item.label);
  setAccessibleDescription(item.note);
  setToolTip(item.note + QLatin1Char('\n') +
             (item.destination.isEmpty() ? QStringLiteral("Not configured") : item.destination));
}

void ShortcutButton::setPicture(std::optional<pf::Image> picture, std::optional<pf::Color> tint) {
  m_picture = std::move(picture);
  m_tint = std::move(tint);
  m_drawing.invalidate();
  update();
}

double ShortcutButton::factor() const {
  const double baseWidth = m_wide ? 224 : 110;
  const double baseHeight = m_wide ? 50 : 78;
  return std::min(height() / baseHeight, width() / baseWidth);
}

double ShortcutButton::labelFontSize() const { return labelBaseFontSize * factor(); }

pf::Rect ShortcutButton::iconRect() const {
  const double k = factor();
  const double w = width();
  const double h = height();
  if (m_wide) return {14 * k, (h - 28 * k) / 2, 28 * k, 28 * k};
  return {(w - 31 * k) / 2, 35 * k + (h - 78 * k) / 2, 31 * k, 31 * k};
}

pf::Rect ShortcutButton::labelRect() const {
  const double k = factor();
  const double w = width();
  const double h = height();
  if (m_wide) return {52 * k, (h - 20 * k) / 2, std::max(0.0, w - 62 * k), 20 * k};
  return {3, 10 * k + (h - 78 * k) / 2, w - 6, 19 * k};
}

pf::Point ShortcutButton::windowPoint(const QPointF& local) const {
  const QWidget* top = window();
  const QPointF inWindow = mapTo(top, local);
  return {inWindow.x(), top->height() - inWindow.y()};
}

bool ShortcutButton::event(QEvent* event) {
  // A disabled widget gets no mouse events, but a right-click still reaches the owner.
  if (!isEnabled() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton && onContext)
      onContext(this, pf::Screens::space().toYUp(mouse->globalPosition()));
    return true;
  }
  return QAbstractButton::event(event);
}

bool ShortcutButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void ShortcutButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  m_hovered = true;
  update();
}

void ShortcutButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  m_hovered = false;
  update();
}

void ShortcutButton::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled()) return;
  if (isContextClick(event)) {
    if (onContext) onContext(this, pf::Screens::space().toYUp(event->globalPosition()));
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  m_pressPoint = windowPoint(event->position());
  m_moved = false;
  m_arranging = false;
  setDown(true);
  if (onPress) onPress(true);
}

void ShortcutButton::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressPoint) return;
  const pf::Point now = windowPoint(event->position());
  QPointer<ShortcutButton> self(this);
  if (!m_moved && std::hypot(now.x - m_pressPoint->x, now.y - m_pressPoint->y) >= dragThreshold) {
    m_moved = true;
    setDown(false);
    const bool taken = onDragBegin && onDragBegin(this, *m_pressPoint);
    if (!self) return;
    m_arranging = taken;
  }
  if (m_arranging && onDragUpdate) onDragUpdate(now);
}

void ShortcutButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_pressPoint || event->button() != Qt::LeftButton) return;
  const bool click = !m_moved && isEnabled() && rect().contains(event->position().toPoint());
  // The owner may rebuild the launcher, and so release this button, in any callback.
  QPointer<ShortcutButton> self(this);
  if (m_arranging && onDragEnd) onDragEnd(windowPoint(event->position()));
  if (!self) return;
  m_pressPoint.reset();
  m_arranging = false;
  setDown(false);
  if (onPress) onPress(false);
  if (self && click) emit clicked();
}

void ShortcutButton::cancelPointerGesture() {
  if (!m_pressPoint) return;
  m_pressPoint.reset();
  m_moved = true;
  m_arranging = false;
  setDown(false);
  if (onPress) onPress(false);
}

// Everything but the press overlay is kept as one bitmap per hover state:
// the breathing outline above the launcher repaints every button thirty
// times a second.
void ShortcutButton::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  m_drawing.paint(painter, event->region(), size(), m_hovered ? 1 : 0, [this](QPainter& p) {
    drawCard(p, this, m_hovered);
    drawIcon(p);
    drawLabel(p);
  });
  QuibContentSmoke::update(this, {pf::Rect(0, 0, width(), height())});
  if (isDown() || (m_hovered && QuibSkin::isSpace())) {
    pf::PainterCanvas canvas(painter, height());
    canvas.fill(cardPath(this), pf::Color::calibratedWhite(1, 0.12));
  }
}

void ShortcutButton::drawIcon(QPainter& painter) const {
  if (!m_picture) return;
  const QRectF target = pf::aspectFitted(m_picture->size(), pf::childFrameToQt(iconRect(), height()));
  m_picture->draw(painter, target, m_tint);
}

void ShortcutButton::drawLabel(QPainter& painter) const {
  const double k = factor();
  if (!(k > 0)) return;
  // Qt draws a font at whole pixel sizes only: the label is set at its size
  // for k = 1 and scaled, which keeps the fraction of 13 k.
  QFont font = this->font();
  font.setPixelSize(labelBaseFontSize);
  font.setWeight(QFont::Medium);
  painter.save();
  painter.setFont(font);
  painter.setPen(pf::toQColor(QuibTheme::text()));
  const QRectF label = pf::childFrameToQt(labelRect(), height());
  painter.scale(k, k);
  const QRectF unscaled(label.topLeft() / k, label.size() / k);
  const QString text = painter.fontMetrics().elidedText(m_label, Qt::ElideRight, int(unscaled.width()));
  painter.drawText(unscaled, (m_wide ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, text);
  painter.restore();
}

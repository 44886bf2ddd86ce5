#include "reminders/ui/ReminderGlowButton.h"

#include "look/QuibTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewStyle.h"

#include <QPainter>

namespace {

using Role = pf::ViewStyle::ColorRole;

/// Room around the face for its glow to fade out in.
constexpr double glowReach = 6;

}  // namespace

ReminderGlowButton::ReminderGlowButton(const QString& title, QWidget* parent) : QAbstractButton(parent) {
  setText(title);
  setCursor(Qt::PointingHandCursor);
  setTint(QuibTheme::accent());
}

pf::Color ReminderGlowButton::tint() const {
  return pf::ViewStyle::color(this, Role::tint).value_or(QuibTheme::accent());
}

void ReminderGlowButton::setTint(const pf::Color& tint) { pf::ViewStyle::setColor(this, Role::tint, tint); }

QSize ReminderGlowButton::sizeHint() const {
  const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
  return {text.width() + 28 + int(2 * glowReach), text.height() + 12 + int(2 * glowReach)};
}

void ReminderGlowButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const pf::Rect face = pf::Rect(0, 0, width(), height()).insetBy(glowReach, glowReach);
  if (!face.isNull()) {
    const pf::Color glow = tint();
    const double radius = std::min(face.height() / 2, 10.0);
    const pf::Path path = pf::Path::roundedRect(face, radius, radius);
    pf::PainterCanvas canvas(painter, height());
    canvas.setShadow(glow.withAlpha(isDown() ? 1.0 : 0.8), glowReach);
    canvas.fill(path, glow.withAlpha(isDown() ? 0.45 : 0.28));
    canvas.clearShadow();
    canvas.stroke(path, glow, 1.5);
  }
  painter.setPen(pf::toQColor(QuibTheme::text()));
  painter.drawText(rect(), Qt::AlignCenter, text());
}

#include "reminders/ui/ReminderGlowButton.h"

#include "look/LookColor.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibLook.h"
#include "platform/gfx/Symbols.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewStyle.h"
#include "widgets/DesignFrames.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double iconSide = 17;
constexpr double iconAndGap = 23;

}  // namespace

ReminderGlowButton::ReminderGlowButton(const QString& title, QWidget* parent)
    : QPushButton(title, parent) {
  QuibLook::mark(this, QuibLook::Part::glowButton);
  setTint(QuibTheme::accent());
  pf::ViewStyle::setFontSize(this, 14, QFont::DemiBold);
  setCursor(Qt::PointingHandCursor);
}

pf::Color ReminderGlowButton::tint() const {
  return pf::ViewStyle::color(this, pf::ViewStyle::ColorRole::tint).value_or(QuibTheme::accent());
}

void ReminderGlowButton::setTint(const pf::Color& tint) {
  pf::ViewStyle::setColor(this, pf::ViewStyle::ColorRole::tint, tint);
}

QString ReminderGlowButton::shownSymbol() const {
  return text() == QStringLiteral("Resume") ? resumeSymbol : m_symbol;
}

void ReminderGlowButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF tile = QRectF(rect()).adjusted(1, 1, -1, -1);
  const pf::Color tint = this->tint();
  QPainterPath shape;
  shape.addRoundedRect(tile, 10, 10);

  // The gradient runs upward: the tint at the bottom, darker at the top.
  QLinearGradient fill(tile.bottomLeft(), tile.topLeft());
  fill.setColorAt(0, pf::toQColor(tint.withAlpha(isDown() ? 0.55 : 0.95)));
  fill.setColorAt(1, pf::toQColor(LookColor::blended(tint, 0.35, LookColor::black())));
  painter.fillPath(shape, fill);
  painter.strokePath(shape, QPen(pf::toQColor(LookColor::blended(tint, 0.35, LookColor::white())), 2));

  const double titleWidth = fontMetrics().horizontalAdvance(text());
  const double x0 = (width() - (titleWidth + iconAndGap)) / 2;
  if (const auto icon = pf::Symbols::named(shownSymbol(), iconSide))
    icon->draw(painter, QRectF(x0, (height() - iconSide) / 2, iconSide, iconSide), LookColor::white());
  painter.setPen(Qt::white);
  painter.drawText(QRectF(x0 + iconAndGap, 0, titleWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

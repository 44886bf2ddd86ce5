#include "reminders/ui/SymbolView.h"

#include "platform/gfx/Layer.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"

#include <QPainter>
#include <algorithm>

SymbolView::SymbolView(const QString& name, const pf::Color& tint, const QString& description, QWidget* parent)
    : QWidget(parent), m_name(name), m_image(pf::Symbols::named(name, 24, description)) {
  pf::ViewStyle::setColor(this, pf::ViewStyle::ColorRole::tint, tint);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAccessibleName(description);
}

pf::Color SymbolView::tint() const {
  return pf::ViewStyle::color(this, pf::ViewStyle::ColorRole::tint).value_or(pf::Color{});
}

void SymbolView::setGlow(double radius, double opacity) {
  const auto layer = pf::ViewLayer::ensure(this);
  layer->setShadowColor(tint());
  layer->setShadowRadius(radius);
  layer->setShadowOpacity(opacity);
  layer->setShadowOffset({0, 0});
}

void SymbolView::paintEvent(QPaintEvent*) {
  if (!m_image) return;
  const double side = std::min(width(), height());
  const QRectF square((width() - side) / 2, (height() - side) / 2, side, side);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  m_image->draw(painter, square, tint());
}

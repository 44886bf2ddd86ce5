#include "look/ui/QuibFramedCard.h"

#include "look/QuibSkin.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/gfx/PainterCanvas.h"

#include <QPainter>

QuibFramedCard::QuibFramedCard(QWidget* parent) : QWidget(parent) {}

void QuibFramedCard::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  const pf::Rect bounds(0, 0, width(), height());
  {
    QPainter painter(this);
    pf::PainterCanvas canvas(painter, height());
    QuibSkin::drawRobotFrame(canvas, bounds, 6);
  }
  QuibContentSmoke::update(this, {bounds});
}

#include "look/ui/QuibCardRow.h"

#include "look/QuibTheme.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/gfx/PainterCanvas.h"

#include <QPainter>

namespace {

constexpr double cornerRadius = 8;

pf::Path cardPath(const pf::Rect& bounds) {
  const pf::Rect card = QuibCardRow::cardRect(bounds);
  return card.isNull() ? pf::Path() : pf::Path::roundedRect(card, cornerRadius, cornerRadius);
}

}  // namespace

QuibCardRow::QuibCardRow(QWidget* parent) : QWidget(parent) {}

void QuibCardRow::setSelected(bool selected) {
  if (selected == m_selected) return;
  m_selected = selected;
  update();
}

pf::Rect QuibCardRow::cardRect(const pf::Rect& bounds) { return bounds.insetBy(2, 1.5); }

void QuibCardRow::drawBackground(pf::Canvas& canvas, const pf::Rect& bounds) {
  const pf::Path card = cardPath(bounds);
  canvas.fill(card, QuibTheme::card());
  canvas.stroke(card, QuibTheme::border(), 2);
}

void QuibCardRow::drawSelection(pf::Canvas& canvas, const pf::Rect& bounds) {
  const pf::Path card = cardPath(bounds);
  canvas.fill(card, QuibTheme::selection());
  canvas.stroke(card, QuibTheme::highlight(), 2.5);
}

void QuibCardRow::paintEvent(QPaintEvent*) {
  const pf::Rect bounds(0, 0, width(), height());
  {
    QPainter painter(this);
    pf::PainterCanvas canvas(painter, height());
    drawBackground(canvas, bounds);
    if (m_selected) drawSelection(canvas, bounds);
  }
  const pf::Rect card = cardRect(bounds);
  QuibContentSmoke::update(this, card.isNull() ? std::vector<pf::Rect>{} : std::vector<pf::Rect>{card});
}

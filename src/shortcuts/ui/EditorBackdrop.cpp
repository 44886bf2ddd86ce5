#include "shortcuts/ui/EditorBackdrop.h"

#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/gfx/PainterCanvas.h"

#include <QPainter>

namespace {
constexpr double designWidth = 820;
constexpr double designHeight = 640;
}  // namespace

EditorBackdrop::EditorBackdrop(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

std::array<pf::Rect, 3> EditorBackdrop::cards(pf::Size size) {
  const double s = size.width / designWidth;
  const double dy = size.height - designHeight;
  return {pf::Rect(12 * s, 300, 394 * s, 280 + dy), pf::Rect(414 * s, 300, 394 * s, 280 + dy),
          pf::Rect(10 * s, 9, 800 * s, 247)};
}

void EditorBackdrop::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  pf::PainterCanvas canvas(painter, height());
  const std::array<pf::Rect, 3> all = cards(pf::Size{double(width()), double(height())});
  QuibContentSmoke::update(this, {all.begin(), all.end()});
  for (const pf::Rect& card : all) {
    if (card.isNull()) continue;
    const pf::Path path = pf::Path::roundedRect(card, 12, 12);
    canvas.fill(path, QuibTheme::card());
    canvas.stroke(path, QuibTheme::border(), 2);
    QuibSkin::drawRobotFrame(canvas, card, 5);
  }
}

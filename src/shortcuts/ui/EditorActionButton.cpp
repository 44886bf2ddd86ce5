#include "shortcuts/ui/EditorActionButton.h"

#include "look/QuibTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "shortcuts/ui/EditorDrawing.h"

#include <QPainter>

EditorActionButton::EditorActionButton(const QString& title, QWidget* parent) : QPushButton(title, parent) {
  setAutoDefault(false);
}

double EditorActionButton::opacity() const {
  if (!isEnabled()) return 0.35;
  return isDown() ? 0.7 : 1.0;
}

bool EditorActionButton::glows() const { return isEnabled() && text() == QStringLiteral("Activate"); }

void EditorActionButton::drawFace(pf::Canvas& canvas) const {
  const pf::Rect inset = pf::Rect(0, 0, width(), height()).insetBy(3, 3);
  if (inset.isNull()) return;
  const pf::Path path = pf::Path::roundedRect(inset, 8, 8);
  const pf::Color accent = QuibTheme::accent();
  if (glows()) {
    canvas.save();
    canvas.setShadow(accent, 9);
    canvas.stroke(path, accent, 3);
    canvas.restore();
  }
  const double a = opacity();
  const pf::Color base = prominent ? accent : QuibTheme::card();
  canvas.fillLinearGradient(path, {{base.withAlpha(a), EditorDrawing::darkened(base, 0.35).withAlpha(a)}, {}}, 90);
  canvas.stroke(path, (prominent ? accent : QuibTheme::border()).withAlpha(a), 2);
}

void EditorActionButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  {
    pf::PainterCanvas canvas(painter, height());
    drawFace(canvas);
  }
  EditorDrawing::drawTitle(painter, this, text(), prominent, isEnabled());
}

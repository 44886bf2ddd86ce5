#include "shortcuts/ui/EditorAddPopup.h"

#include "look/QuibTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "shortcuts/ui/EditorDrawing.h"

#include <QMenu>
#include <QPainter>

const QString EditorAddPopup::label = QStringLiteral("\uFF0B Add\u2026 \u2304");

EditorAddPopup::EditorAddPopup(const QStringList& items, QWidget* parent)
    : QPushButton(items.value(0), parent), m_menu(new QMenu(this)) {
  setAutoDefault(false);
  for (qsizetype i = 1; i < items.size(); ++i) {
    m_menu->addAction(items[i], this, [this, i] {
      m_selectedIndex = int(i);
      if (onChoose) onChoose(int(i));
    });
  }
  connect(this, &QPushButton::clicked, this, &EditorAddPopup::pullDown);
}

void EditorAddPopup::pullDown() { m_menu->popup(mapToGlobal(QPoint(0, height()))); }

void EditorAddPopup::drawFace(pf::Canvas& canvas) const {
  const pf::Rect inset = pf::Rect(0, 0, width(), height()).insetBy(1, 1);
  if (inset.isNull()) return;
  const pf::Path path = pf::Path::roundedRect(inset, 8, 8);
  const pf::Color accent = QuibTheme::accent();
  canvas.fillLinearGradient(path, {{accent, EditorDrawing::darkened(accent, 0.35)}, {}}, 90);
  canvas.stroke(path, accent.withAlpha(isEnabled() ? 0.8 : 0.3), 2);
}

void EditorAddPopup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  {
    pf::PainterCanvas canvas(painter, height());
    drawFace(canvas);
  }
  EditorDrawing::drawTitle(painter, this, label, true, isEnabled());
}

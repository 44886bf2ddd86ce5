#include "shortcuts/ui/EditorDestinationField.h"

#include "platform/ui/ToolTip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// QLineEdit's own inner margin beside its text, which its style does not report.
constexpr int horizontalMargin = 2;

}  // namespace

EditorDestinationField::EditorDestinationField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { setToolTip(pf::plainToolTip(text)); });
}

QRect EditorDestinationField::textRect() const {
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  return style()
      ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
      .marginsRemoved(textMargins())
      .adjusted(horizontalMargin, 0, -horizontalMargin, 0);
}

QString EditorDestinationField::displayedText() const {
  if (hasFocus()) return text();
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, textRect().width());
}

void EditorDestinationField::paintEvent(QPaintEvent* event) {
  const QString shown = displayedText();
  if (shown == text()) {
    QLineEdit::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(textRect(), int(Qt::AlignLeft | Qt::AlignVCenter), shown);
}

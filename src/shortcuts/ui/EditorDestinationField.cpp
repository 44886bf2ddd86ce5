#include "shortcuts/ui/EditorDestinationField.h"

#include "platform/ui/ToolTip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace {

// QLineEdit's own inner margin beside its text, which its style does not report.
constexpr int horizontalMargin = 2;

}  // namespace

EditorDestinationField::EditorDestinationField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { setToolTip(pf::plainToolTip(text)); });
}

// Where QLineEdit itself lays out its one line, so the elided text stands
// exactly where the whole text would begin.
QRect EditorDestinationField::textRect() const {
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  const QRect contents =
      style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
  const int lineHeight = std::max(fontMetrics().boundingRect(text()).height(), fontMetrics().height());
  return {contents.x() + horizontalMargin, contents.y() + (contents.height() - lineHeight + 1) / 2,
          contents.width() - 2 * horizontalMargin, lineHeight};
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
  const QRect line = textRect();
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(QPoint(line.x(), line.y() + fontMetrics().ascent()), shown);
}

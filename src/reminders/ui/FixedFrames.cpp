#include "reminders/ui/FixedFrames.h"

#include "platform/core/QtGeometry.h"
#include "platform/ui/ViewStyle.h"

#include <QLabel>

void FixedFrames::place(QWidget* view, QWidget* parent, const pf::Rect& frame) {
  view->setParent(parent);
  view->setGeometry(pf::childFrameToQtPixels(frame, parent->height()));
}

void FixedFrames::setTextColor(QWidget* view, const pf::Color& color) {
  pf::ViewStyle::setColor(view, pf::ViewStyle::ColorRole::text, color);
}

QLabel* FixedFrames::label(QWidget* parent, const QString& text, const pf::Rect& frame, double size, bool wraps) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wraps);
  label->setAlignment(Qt::AlignLeft | (wraps ? Qt::AlignTop : Qt::AlignVCenter));
  pf::ViewStyle::setFontSize(label, size);
  place(label, parent, frame);
  return label;
}

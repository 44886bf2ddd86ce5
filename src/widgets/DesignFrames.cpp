#include "widgets/DesignFrames.h"

#include "platform/core/QtGeometry.h"
#include "platform/ui/ViewStyle.h"

#include <QLabel>
#include <QPushButton>

void DesignFrames::placeView(QWidget* view, QWidget* parent, const pf::Rect& frame) {
  if (view->parentWidget() != parent) view->setParent(parent);
  view->setGeometry(pf::childFrameToQtPixels(frame, parent->height()));
}

void DesignFrames::setTextColor(QWidget* view, const pf::Color& color) {
  pf::ViewStyle::setColor(view, pf::ViewStyle::ColorRole::text, color);
}

QLabel* DesignFrames::label(QWidget* parent, const QString& text, const pf::Rect& frame, const TextStyle& style) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(style.wraps);
  label->setAlignment(Qt::AlignLeft | (style.wraps ? Qt::AlignTop : Qt::AlignVCenter));
  pf::ViewStyle::setFontSize(label, style.pixelSize, style.weight);
  if (style.color) setTextColor(label, *style.color);
  return place(label, parent, frame);
}

QPushButton* DesignFrames::button(QWidget* parent, const QString& title, const pf::Rect& frame) {
  auto* button = new QPushButton(title, parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  return place(button, parent, frame);
}

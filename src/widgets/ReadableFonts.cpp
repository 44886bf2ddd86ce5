#include "widgets/ReadableFonts.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace {

bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w);
}

// Qt's text views scroll by themselves; one with both scroll bars off stands
// for a text view placed without a scroll view.
bool isBareTextView(const QAbstractScrollArea* area) {
  const bool textView = qobject_cast<const QTextEdit*>(area) || qobject_cast<const QPlainTextEdit*>(area);
  return textView && area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
         area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
}

// Keeps the font's unit: design sizes are pixels, but a font may come in points.
void resize(QWidget* w, double by, double atLeast) {
  QFont font = w->font();
  if (font.pixelSize() > 0)
    font.setPixelSize(int(std::max(font.pixelSize() + by, atLeast)));
  else
    font.setPointSizeF(std::max(font.pointSizeF() + by, atLeast));
  w->setFont(font);
}

}  // namespace

void ReadableFonts::enlarge(QWidget* root) {
  for (QObject* child : root->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget || widget->isWindow()) continue;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
      if (isBareTextView(area)) resize(widget, 1, 0);
    } else if (isControl(widget)) {
      resize(widget, 1, floor);
    } else {
      enlarge(widget);
    }
  }
}

bool ReadableFonts::isScrollView(const QWidget* widget) {
  const auto* area = qobject_cast<const QAbstractScrollArea*>(widget);
  return area && !isBareTextView(area);
}

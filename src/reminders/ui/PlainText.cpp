#include "reminders/ui/PlainText.h"

#include <QLabel>

QString PlainText::toolTip(const QString& text) {
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString PlainText::buttonTitle(const QString& text) {
  return QString(text).replace(u'&', QStringLiteral("&&"));
}

void PlainText::labelsIn(QWidget* view) {
  for (QLabel* label : view->findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
}

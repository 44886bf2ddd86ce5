#include "reminders/ui/PlainText.h"

QString PlainText::toolTip(const QString& text) {
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString PlainText::buttonTitle(const QString& text) {
  return QString(text).replace(u'&', QStringLiteral("&&"));
}

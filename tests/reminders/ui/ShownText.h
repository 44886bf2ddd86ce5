#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocument>

namespace test {

/// The text that `text` reads as when its widget takes markup for markup.
inline QString rendered(const QString& text, Qt::TextFormat format) {
  const bool markup = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
  if (!markup) return text;
  QTextDocument document;
  document.setHtml(text);
  return document.toPlainText();
}

/// What a widget's tool tip shows (tool tips take anything that looks like markup as markup).
inline QString shownToolTip(const QWidget* view) { return rendered(view->toolTip(), Qt::AutoText); }

/// What a label shows.
inline QString shownText(const QLabel* label) { return rendered(label->text(), label->textFormat()); }

/// What a button's title shows: a single "&" marks a keyboard mnemonic and is not shown.
inline QString shownText(const QAbstractButton* button) {
  return button->text().replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

}  // namespace test

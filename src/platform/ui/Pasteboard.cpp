#include "platform/ui/Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace pf {

Pasteboard& Pasteboard::general() {
  static Pasteboard pasteboard;
  return pasteboard;
}

bool Pasteboard::setString(const QString& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(text, QClipboard::Clipboard);
  return clipboard->text(QClipboard::Clipboard) == text;
}

QString Pasteboard::string() const { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

const QMimeData* Pasteboard::contents() const { return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard); }

}  // namespace pf

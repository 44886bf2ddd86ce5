#include "shortcuts/ui/ShortcutEditorWindow.h"

#include <QKeyEvent>

void ShortcutEditorWindow::keyPressEvent(QKeyEvent* event) {
  const bool cancel = event->key() == Qt::Key_Escape ||
                      (event->key() == Qt::Key_Period && event->modifiers().testFlag(Qt::ControlModifier));
  const bool confirm = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (confirm && defaultButton && defaultButton->isEnabled()) {
    event->accept();
    defaultButton->click();
    return;
  }
  if (!cancel) {
    pf::Window::keyPressEvent(event);
    return;
  }
  // Swallowed even without a handler, so Escape never does anything else here.
  event->accept();
  if (onEscape) onEscape();
}

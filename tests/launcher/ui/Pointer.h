#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace test {

/// Sends one mouse event straight to `widget` at a local point that may lie
/// between pixels; moves carry the left button as held.
inline void mouse(QWidget* widget, QEvent::Type type, QPointF local, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {}) {
  const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, local, widget->mapToGlobal(local), changed, held, modifiers);
  QApplication::sendEvent(widget, &event);
}

}  // namespace test

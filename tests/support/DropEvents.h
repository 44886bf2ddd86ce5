#pragma once

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace test {

/// Drags `data` over the widget's centre and drops it there, as the window
/// system would; gives whether the drop was taken.
inline bool dropOn(QWidget* widget, const QMimeData& data) {
  const QPoint at = widget->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &drop);
  return drop.isAccepted();
}

}  // namespace test

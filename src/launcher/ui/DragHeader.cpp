#include "launcher/ui/DragHeader.h"

#include "platform/ui/Screens.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <cmath>

namespace {

pf::Point screenPoint(const QMouseEvent* event) { return pf::Screens::space().toYUp(event->globalPosition()); }

}  // namespace

DragHeader::DragHeader(QWidget* parent) : QWidget(parent) {}

bool DragHeader::event(QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
      child->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  return QWidget::event(event);
}

void DragHeader::mousePressEvent(QMouseEvent* event) {
  // Taken here, so the press never moves the window by itself.
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  m_point = screenPoint(event);
  m_dragged = false;
}

void DragHeader::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const pf::Point now = screenPoint(event);
  const pf::Point offset{now.x - m_point.x, now.y - m_point.y};
  if (!m_dragged) {
    if (std::hypot(offset.x, offset.y) <= dragThreshold) return;
    m_dragged = true;
    if (onDragStart) onDragStart();
  }
  if (onDelta) onDelta(offset);
}

void DragHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (std::exchange(m_dragged, false) && onDragEnd) onDragEnd(screenPoint(event));
}

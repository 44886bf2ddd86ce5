#include "filedrop/ui/RobotDropSurface.h"

#include "platform/core/Color.h"
#include "platform/core/DragData.h"
#include "platform/gfx/SystemColors.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor cyan(double alpha) { return pf::toQColor(pf::Color::system(QStringLiteral("systemCyan"), alpha)); }

}  // namespace

RobotDropSurface::RobotDropSurface(QWidget* parent) : QWidget(parent) { setAcceptDrops(true); }

void RobotDropSurface::setHovering(bool hovering) {
  if (hovering == m_hovering) return;
  m_hovering = hovering;
  update();
}

bool RobotDropSurface::isValid(QPointF location, const QMimeData* data) const {
  return rect().contains(location.toPoint()) && data && !pf::DragData(*data).droppedFileURLs().isEmpty();
}

void RobotDropSurface::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void RobotDropSurface::dragMoveEvent(QDragMoveEvent* event) {
  const bool valid = isValid(event->position(), event->mimeData());
  setHovering(valid);
  if (!valid) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void RobotDropSurface::dragLeaveEvent(QDragLeaveEvent*) {
  setHovering(false);
  if (dragEnded) dragEnded();
}

void RobotDropSurface::dropEvent(QDropEvent* event) {
  const bool valid = isValid(event->position(), event->mimeData());
  setHovering(false);
  if (valid && receive && receive(pf::DragData(*event->mimeData()).droppedFileURLs())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
  if (dragEnded) dragEnded();
}

void RobotDropSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), cyan(0.06));
  QPainterPath frame;
  frame.addRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 18, 18);
  painter.fillPath(frame, cyan(m_hovering ? 0.18 : 0.07));
  painter.strokePath(frame, QPen(cyan(m_hovering ? 1.0 : 0.65), m_hovering ? 3 : 2));

  QFont font = painter.font();
  font.setPixelSize(14);
  font.setWeight(QFont::DemiBold);
  painter.setFont(font);
  const QString label = QStringLiteral("Drop files here");
  const double labelWidth = QFontMetricsF(font).horizontalAdvance(label);
  // Nine points below the top edge, centred.
  const QRectF pill((width() - labelWidth) * 0.5 - 8, 9, labelWidth + 16, 25);
  QPainterPath pillPath;
  pillPath.addRoundedRect(pill, 7, 7);
  painter.fillPath(pillPath, pf::toQColor(pf::Color::calibratedRGB(0.04, 0.16, 0.24, 0.96)));
  painter.setPen(Qt::white);
  painter.drawText(pill.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, label);
}

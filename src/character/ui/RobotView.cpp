#include "character/ui/RobotView.h"

#include "platform/core/DragData.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QBitmap>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The window's shape: the points the drawing covers, so clicks and drops on
// its transparent surroundings reach what lies below. A window that cannot be
// transparent keeps only the mostly opaque points, leaving out soft edges and
// the shadow, which would show on the window's own background.
QRegion shapeOf(const QImage& image, int minimumAlpha) {
  const double ratio = image.devicePixelRatio();
  const QSize logical = (QSizeF(image.size()) / ratio).toSize();
  QImage mono(logical, QImage::Format_Mono);
  mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  mono.fill(0);
  for (int y = 0; y < logical.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(int(y * ratio)));
    for (int x = 0; x < logical.width(); ++x)
      if (qAlpha(row[int(x * ratio)]) >= minimumAlpha) mono.setPixel(x, y, 1);
  }
  return QRegion(QBitmap::fromImage(mono));
}

}  // namespace

RobotView::RobotView(QString assetRoot, QWidget* parent) : QWidget(parent), m_assetRoot(std::move(assetRoot)) {
  setAcceptDrops(true);
  m_artwork = std::make_unique<CharacterArtwork>(m_assetRoot, m_skin, m_facing);
}

RobotView::~RobotView() = default;

void RobotView::setCharacter(CharacterSkin skin, Facing facing) {
  if (skin == m_skin && facing == m_facing) return;
  m_skin = skin;
  m_facing = facing;
  m_artwork = std::make_unique<CharacterArtwork>(m_assetRoot, skin, facing);
  rebuildImage();
}

pf::Size RobotView::sizeForHeight(double height) const { return m_artwork->sizeForHeight(height); }

void RobotView::setFigureHidden(bool hidden) {
  if (hidden == m_figureHidden) return;
  m_figureHidden = hidden;
  applyShape();
  update();
}

void RobotView::paintEvent(QPaintEvent*) {
  if (m_image.devicePixelRatio() != devicePixelRatioF()) rebuildImage();
  if (m_figureHidden) return;
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), m_image);
}

void RobotView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  rebuildImage();
}

void RobotView::rebuildImage() {
  if (size().isEmpty()) return;
  m_image = m_artwork->render(size(), devicePixelRatioF());
  applyShape();
  update();
}

void RobotView::applyShape() {
  if (!isWindow() && parentWidget() != window()) return;
  const bool translucent = window()->testAttribute(Qt::WA_TranslucentBackground);
  // A performance moves the figure beyond its resting outline; a window that
  // blends shows its whole area meanwhile (an opaque one would show its background).
  if (m_figureHidden && translucent)
    window()->clearMask();
  else
    window()->setMask(shapeOf(m_image, translucent ? 1 : 128));
}

void RobotView::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (onHover) onHover(true);
}

void RobotView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (onHover) onHover(false);
}

void RobotView::mousePressEvent(QMouseEvent* event) {
  const bool contextClick = event->button() == Qt::RightButton ||
                            (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier));
  if (contextClick) {
    if (onRightClick) onRightClick(pf::Screens::toYUp(event->globalPosition().toPoint()));
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  auto* window = qobject_cast<pf::Window*>(this->window());
  m_pressed = true;
  m_dragging = false;
  m_pressGlobal = event->globalPosition();
  m_pressOrigin = window ? window->frame().origin : pf::Point{};
  if (onPress) onPress();
}

void RobotView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed) return;
  const QPointF delta = event->globalPosition() - m_pressGlobal;
  if (!m_dragging) {
    if (delta.manhattanLength() < QApplication::startDragDistance()) return;
    m_dragging = true;
    if (onDragStarted) onDragStarted();
  }
  if (auto* window = qobject_cast<pf::Window*>(this->window()))
    window->setFrameOrigin({m_pressOrigin.x + delta.x(), m_pressOrigin.y - delta.y()});
}

void RobotView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed) return;
  m_pressed = false;
  if (std::exchange(m_dragging, false) && onDragEnded) onDragEnded();
}

bool RobotView::acceptsDrop(const QMimeData* data) const {
  return onFilesDropped && data && !pf::DragData(*data).droppedFileURLs().isEmpty();
}

void RobotView::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void RobotView::dragMoveEvent(QDragMoveEvent* event) {
  if (!acceptsDrop(event->mimeData())) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void RobotView::dropEvent(QDropEvent* event) {
  const QList<QUrl> files = event->mimeData() ? pf::DragData(*event->mimeData()).droppedFileURLs() : QList<QUrl>{};
  if (files.isEmpty() || !onFilesDropped || !onFilesDropped(files)) return event->ignore();
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

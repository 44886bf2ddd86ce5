#include "launcher/ui/LauncherResizeBorder.h"

#include "look/QuibTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <array>

namespace {

using Edges = LauncherResizeGeometry::Edges;
constexpr double edge = LauncherResizeGeometry::edgeWidth;
constexpr double corner = LauncherResizeGeometry::cornerWidth;

/// The zones that take the mouse: the edge bands and the corner squares.
QRegion zones(int w, int h) {
  const int e = int(edge);
  const int c = int(corner);
  QRegion region;
  region += QRect(0, 0, e, h);
  region += QRect(w - e, 0, e, h);
  region += QRect(0, 0, w, e);
  region += QRect(0, h - e, w, e);
  for (const QPoint at : {QPoint(0, 0), QPoint(0, h - c), QPoint(w - c, 0), QPoint(w - c, h - c)})
    region += QRect(at, QSize(c, c));
  return region;
}

pf::Point screenPoint(const QMouseEvent* event) { return pf::Screens::space().toYUp(event->globalPosition()); }

}  // namespace

LauncherResizeBorder::LauncherResizeBorder(QWidget* parent) : QWidget(parent) {
  setToolTip(QStringLiteral("Drag an edge or corner to resize shortcuts"));
  setMouseTracking(true);
}

Qt::CursorShape LauncherResizeBorder::resizeCursor(Edges edges) {
  const bool left = edges.contains(Edges::left);
  const bool bottom = edges.contains(Edges::bottom);
  if (edges.horizontal() && edges.vertical()) return left == bottom ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor;
  if (edges.horizontal()) return Qt::SizeHorCursor;
  if (edges.vertical()) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

pf::Point LauncherResizeBorder::localPoint(const QPointF& position) const {
  return {position.x(), height() - position.y()};
}

pf::Window* LauncherResizeBorder::panel() const { return qobject_cast<pf::Window*>(window()); }

void LauncherResizeBorder::setHovered(Edges edges) {
  if (edges != m_hoveredEdges) {
    m_hoveredEdges = edges;
    update();
  }
  setCursor(resizeCursor(edges));
}

void LauncherResizeBorder::pointerMoved(pf::Point local) {
  setHovered(m_gesture ? m_gesture->edges : LauncherResizeGeometry::edges(local, pf::Rect(0, 0, width(), height())));
}

void LauncherResizeBorder::pointerExited() {
  if (m_gesture || m_hoveredEdges.isEmpty()) return;
  setHovered({});
}

bool LauncherResizeBorder::pointerDown(pf::Point local, pf::Point screen) {
  pf::Window* window = panel();
  if (!window) return false;
  const Edges edges = LauncherResizeGeometry::edges(local, pf::Rect(0, 0, width(), height()));
  if (edges.isEmpty()) return false;
  watchWindow();
  m_gesture = Gesture{window->frame(), screen, edges};
  setHovered(edges);
  if (onBegin) onBegin();
  return true;
}

void LauncherResizeBorder::pointerDragged(pf::Point screen) {
  pf::Window* window = panel();
  if (!window || !m_gesture) return;
  const QScreen* display = pf::Screens::of(window);
  const pf::Rect area =
      display ? pf::Screens::visibleFrame(display).insetBy(8, 8) : m_gesture->frame.insetBy(-10000, -10000);
  const QSize minimum = window->minimumSize();
  const pf::Point delta{screen.x - m_gesture->point.x, screen.y - m_gesture->point.y};
  window->setFrame(LauncherResizeGeometry::draggedFrame(m_gesture->frame, delta, m_gesture->edges,
                                                        {double(minimum.width()), double(minimum.height())}, area));
}

void LauncherResizeBorder::pointerUp(pf::Point screen, pf::Point local) {
  if (!m_gesture || !panel()) return;
  pointerDragged(screen);
  endGesture();
  pointerMoved(local);
}

void LauncherResizeBorder::endGesture() {
  if (!m_gesture) return;
  m_gesture.reset();
  if (onEnd) onEnd();
}

// No release comes to a panel that hides mid-drag; the owner's hold must still end.
void LauncherResizeBorder::watchWindow() {
  if (m_watched == window()) return;
  if (m_watched) m_watched->removeEventFilter(this);
  m_watched = window();
  m_watched->installEventFilter(this);
}

bool LauncherResizeBorder::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_watched && event->type() == QEvent::Hide) {
    endGesture();
    setHovered({});
  }
  return false;
}

void LauncherResizeBorder::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  setMask(zones(width(), height()));
}

void LauncherResizeBorder::mouseMoveEvent(QMouseEvent* event) {
  if (m_gesture && (event->buttons() & Qt::LeftButton)) {
    setCursor(resizeCursor(m_gesture->edges));
    pointerDragged(screenPoint(event));
    return;
  }
  pointerMoved(localPoint(event->position()));
}

void LauncherResizeBorder::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  pointerExited();
}

void LauncherResizeBorder::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pointerDown(localPoint(event->position()), screenPoint(event)))
    event->ignore();
}

void LauncherResizeBorder::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pointerUp(screenPoint(event), localPoint(event->position()));
}

void LauncherResizeBorder::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  pf::PainterCanvas canvas(painter, height());
  const double w = width();
  const double h = height();
  struct Grip {
    double x, y, sx, sy;
    Edges corner;
  };
  const std::array<Grip, 4> grips{{{0, 0, 1, 1, {Edges::left | Edges::bottom}},
                                   {0, h, 1, -1, {Edges::left | Edges::top}},
                                   {w, 0, -1, 1, {Edges::right | Edges::bottom}},
                                   {w, h, -1, -1, {Edges::right | Edges::top}}}};
  for (const Grip& g : grips) {
    const bool lit = !m_hoveredEdges.isEmpty() && (m_hoveredEdges.rawValue & ~g.corner.rawValue) == 0;
    const auto at = [&](double dx, double dy) { return pf::Point{g.x + g.sx * dx, g.y + g.sy * dy}; };
    pf::Path strokes;
    strokes.moveTo(at(11, 7));
    strokes.lineTo(at(7, 11));
    strokes.moveTo(at(17, 7));
    strokes.lineTo(at(7, 17));
    if (lit)
      canvas.stroke(strokes, QuibTheme::highlight(), 2);
    else
      canvas.stroke(strokes, pf::Color::calibratedWhite(1, 0.65), 1.5);
  }
}

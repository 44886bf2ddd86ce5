#pragma once

#include "launcher/LauncherResizeGeometry.h"
#include "platform/core/Geometry.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

namespace pf {
class Window;
}

/// Laid over the launcher's content: within 10 points of an edge, or 18 of
/// a corner, it shows the resize cursor, highlights the corner grips and turns
/// a drag into a new panel frame, never smaller than the panel's minimum size
/// nor beyond its screen's visible area. Elsewhere the mouse passes through to
/// the buttons below. The outer handles feed it the same pointer calls.
class LauncherResizeBorder final : public QWidget {
  Q_OBJECT

 public:
  using Edges = LauncherResizeGeometry::Edges;

  explicit LauncherResizeBorder(QWidget* parent = nullptr);

  /// A resize drag has started and has ended; every start is followed by one end.
  std::function<void()> onBegin;
  std::function<void()> onEnd;

  /// The cursor for `edges`: the arrow for none.
  static Qt::CursorShape resizeCursor(Edges edges);

  /// The edges under the pointer, or of the running drag.
  Edges hoveredEdges() const { return m_hoveredEdges; }
  bool isResizing() const { return m_gesture.has_value(); }

  /// Hover at a point in this view's y-up coordinates.
  void pointerMoved(pf::Point local);
  /// The pointer left the view and its handles.
  void pointerExited();
  /// A press at a point in this view's y-up coordinates and on the screen;
  /// false when it grabs no edge.
  bool pointerDown(pf::Point local, pf::Point screen);
  void pointerDragged(pf::Point screen);
  void pointerUp(pf::Point screen, pf::Point local);

  /// Turns a widget position into this view's y-up coordinates.
  pf::Point localPoint(const QPointF& position) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Gesture {
    pf::Rect frame;
    pf::Point point;
    Edges edges;
  };

  pf::Window* panel() const;
  void setHovered(Edges edges);
  void endGesture();
  void watchWindow();

  Edges m_hoveredEdges;
  std::optional<Gesture> m_gesture;
  QPointer<QWidget> m_watched;
};

#pragma once

#include "platform/core/Geometry.h"

#include <QWidget>
#include <functional>

/// The launcher's header strip: a press that moves more than 4 points turns
/// into a move of the whole panel, reported through three callbacks. Its
/// children never take the mouse.
class DragHeader final : public QWidget {
  Q_OBJECT

 public:
  /// How far the pointer must move from the press before a drag starts.
  static constexpr double dragThreshold = 4;

  explicit DragHeader(QWidget* parent = nullptr);

  /// The drag has started.
  std::function<void()> onDragStart;
  /// The pointer's total offset from the press point, in y-up screen coordinates.
  std::function<void(pf::Point)> onDelta;
  /// The drag has ended at this point in y-up screen coordinates.
  std::function<void(pf::Point)> onDragEnd;

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  pf::Point m_point;
  bool m_dragged = false;
};

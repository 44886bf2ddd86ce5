#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>
#include <functional>

class QMimeData;

/// The drop panel's content: takes file drags over it and draws the tinted
/// frame with its "Drop files here" label, brighter while a drag hovers.
class RobotDropSurface final : public QWidget {
  Q_OBJECT

 public:
  explicit RobotDropSurface(QWidget* parent = nullptr);

  /// Takes the dropped file URLs and answers whether the drop is taken;
  /// without it every drop is refused.
  std::function<bool(const QList<QUrl>&)> receive;
  /// A drag over the panel has left it or dropped there (taken or not).
  std::function<void()> dragEnded;
  /// A drag that can be dropped is over the panel.
  bool hovering() const { return m_hovering; }
  void setHovering(bool hovering);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool isValid(QPointF location, const QMimeData* data) const;

  bool m_hovering = false;
};

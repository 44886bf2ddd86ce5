#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Image.h"
#include "shortcuts/Shortcut.h"
#include "widgets/CachedDrawing.h"

#include <QAbstractButton>
#include <functional>
#include <optional>

class ShortcutStore;

/// The button of one launcher slot: a small tile (icon above a one-line
/// label) or a wide row (icon at the left, label beside it), drawn as a
/// themed card. It never opens anything: a press released inside it without
/// moving emits `clicked`; presses, drags and context clicks go to the owner
/// through callbacks. Points passed out are in the window's y-up coordinates.
class ShortcutButton final : public QAbstractButton {
  Q_OBJECT

 public:
  /// How far a press must move to become a drag.
  static constexpr double dragThreshold = 6;
  /// The label's font size for a button of its base size.
  static constexpr int labelBaseFontSize = 13;

  /// A button showing `item`; `store`, when given, supplies its custom image.
  ShortcutButton(const Shortcut& item, bool wide, const ShortcutStore* store, QWidget* parent = nullptr);

  const QString& shortcutID() const { return m_shortcutID; }
  bool isWide() const { return m_wide; }
  bool isHovered() const { return m_hovered; }

  /// True when a press starts, false when it ends or is cancelled.
  std::function<void(bool)> onPress;
  /// A press moved far enough to be a drag; gets the press point and answers whether the owner takes the drag.
  std::function<bool(ShortcutButton*, pf::Point)> onDragBegin;
  /// The pointer moved during a taken drag.
  std::function<void(pf::Point)> onDragUpdate;
  /// The pointer was released at the end of a taken drag.
  std::function<void(pf::Point)> onDragEnd;
  /// A right-click or Control-click, at this point in y-up screen coordinates.
  std::function<void(ShortcutButton*, pf::Point)> onContext;

  /// Ends a press in progress without a click; the release that follows is ignored.
  void cancelPointerGesture();

  /// Replaces the picture and its tint (for a template picture).
  void setPicture(std::optional<pf::Image> picture, std::optional<pf::Color> tint);
  const std::optional<pf::Image>& picture() const { return m_picture; }
  const std::optional<pf::Color>& tint() const { return m_tint; }
  const QString& label() const { return m_label; }

  /// The icon's and the label's frames in the button, y up.
  pf::Rect iconRect() const;
  pf::Rect labelRect() const;
  /// The label's font size, fractional: the base size times the button's scale.
  double labelFontSize() const;

  /// The mouse handlers, also fed by the owner while it drags this button.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 protected:
  bool event(QEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  double factor() const;
  pf::Point windowPoint(const QPointF& local) const;
  void drawIcon(QPainter& painter) const;
  void drawLabel(QPainter& painter) const;

  QString m_shortcutID;
  QString m_label;
  bool m_wide = false;
  bool m_hovered = false;
  std::optional<pf::Point> m_pressPoint;
  bool m_moved = false;
  bool m_arranging = false;
  std::optional<pf::Image> m_picture;
  std::optional<pf::Color> m_tint;
  CachedDrawing m_drawing;
};

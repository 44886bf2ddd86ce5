#pragma once

#include "platform/core/Color.h"

#include <QAbstractButton>

/// A button of the reminder windows: its title on a rounded face that glows
/// in its tint. The tint is kept as the look's colour it was given, so a
/// change of colour theme finds it and swaps it for the new palette's.
class ReminderGlowButton : public QAbstractButton {
  Q_OBJECT

 public:
  /// A button glowing in the current accent.
  explicit ReminderGlowButton(const QString& title, QWidget* parent = nullptr);

  /// The colour the button glows in.
  pf::Color tint() const;
  void setTint(const pf::Color& tint);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

#pragma once

#include "platform/core/Color.h"

#include <QPushButton>

/// The drawn gradient button of the reminders windows: a rounded tile in its
/// tint with a white symbol and title centred together. The look's refresh
/// replaces the tint when the palette changes.
class ReminderGlowButton final : public QPushButton {
  Q_OBJECT

 public:
  /// The icon a button titled "Resume" shows instead of its own symbol.
  static inline const QString resumeSymbol = QStringLiteral("play.fill");

  explicit ReminderGlowButton(const QString& title = {}, QWidget* parent = nullptr);

  /// The colour of the tile; the theme's accent at first.
  const pf::Color& tint() const { return m_tint; }
  /// Does not repaint by itself.
  void setTint(const pf::Color& tint) { m_tint = tint; }

  /// The name of the symbol drawn before the title; "" draws none.
  const QString& symbol() const { return m_symbol; }
  /// Does not repaint by itself.
  void setSymbol(const QString& symbol) { m_symbol = symbol; }

  /// The symbol drawn now: the resume symbol while titled "Resume", else `symbol`.
  QString shownSymbol() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  pf::Color m_tint;
  QString m_symbol;
};

#pragma once

#include "platform/core/Color.h"

#include <QPushButton>

/// The drawn gradient button of the reminders windows: a rounded tile in its
/// tint with a white symbol and title centred together. The tint is kept as
/// the look's colour it was given, so a change of colour theme finds it and
/// swaps it for the new palette's.
class ReminderGlowButton final : public QPushButton {
  Q_OBJECT

 public:
  /// The icon a button titled "Resume" shows instead of its own symbol.
  static inline const QString resumeSymbol = QStringLiteral("play.fill");

  explicit ReminderGlowButton(const QString& title = {}, QWidget* parent = nullptr);

  /// The colour of the tile; the theme's accent at first.
  pf::Color tint() const;
  /// Does not repaint by itself.
  void setTint(const pf::Color& tint);

  /// The name of the symbol drawn before the title; "" draws none.
  const QString& symbol() const { return m_symbol; }
  /// Does not repaint by itself.
  void setSymbol(const QString& symbol) { m_symbol = symbol; }

  /// The symbol drawn now: the resume symbol while titled "Resume", else `symbol`.
  QString shownSymbol() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_symbol;
};

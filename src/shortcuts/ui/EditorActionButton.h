#pragma once

#include <QPushButton>

namespace pf {
class Canvas;
}

/// Every push button of the Edit Shortcuts window: a rounded card in the
/// theme's colours (the accent when prominent), with a glow when it is an
/// enabled "Activate".
class EditorActionButton final : public QPushButton {
  Q_OBJECT

 public:
  explicit EditorActionButton(const QString& title, QWidget* parent = nullptr);

  /// Filled with the accent instead of the card colour; read at every redraw.
  bool prominent = false;

  /// The opacity of fill and border: 1 enabled, 0.7 pressed, 0.35 disabled.
  double opacity() const;
  /// True when the accent glow is drawn.
  bool glows() const;
  /// Paints the glow, fill and border, y-up over the button's bounds.
  void drawFace(pf::Canvas& canvas) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

#pragma once

#include "platform/core/Geometry.h"

#include <QWidget>

namespace pf {
class Canvas;
}

/// A table row drawn as a rounded card in the palette's card colour with an
/// accent edge; a selected row is washed and edged in the highlight. The
/// card always fills the whole row, whatever part of it is repainted.
///
/// As a widget it is the row itself: the row's cells are its children. A list
/// drawn by an item view paints the same card with `drawBackground` and
/// `drawSelection`, and wreathes the visible cards in smoke with one
/// `QuibContentSmoke::update` on its viewport.
class QuibCardRow : public QWidget {
  Q_OBJECT

 public:
  explicit QuibCardRow(QWidget* parent = nullptr);

  bool isSelected() const { return m_selected; }
  void setSelected(bool selected);

  /// The card within a row of `bounds`: inset 2 sideways and 1.5 vertically.
  static pf::Rect cardRect(const pf::Rect& bounds);
  /// Paints the card of a row of `bounds`.
  static void drawBackground(pf::Canvas& canvas, const pf::Rect& bounds);
  /// Paints the selection over the card of a row of `bounds`.
  static void drawSelection(pf::Canvas& canvas, const pf::Rect& bounds);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool m_selected = false;
};

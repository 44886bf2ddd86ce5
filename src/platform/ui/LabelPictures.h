#pragma once

#include <QObject>

class QWidget;

namespace pf {

/// Keeps every label under a view drawn from a picture of itself, made again
/// only when what the label draws from changed: its text, size, font,
/// palette, alignment, wrapping, margins, frame, enabled state or the
/// screen's pixel ratio. A view under decorations that animate (a breathing
/// outline) is repainted beneath them at every step, and laying out and
/// shaping a label's text again costs more than the rest of that repaint.
/// Labels that show a picture, a movie, text one can select or links the
/// keyboard reaches draw as usual.
class LabelPictures final : public QObject {
 public:
  /// Watches `view`, the labels under it and those added later, for as long
  /// as each lives. Watching a view twice changes nothing.
  static void watch(QWidget* view);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit LabelPictures(QWidget* view);
  /// Follows `widget` and everything under it: children added later, and labels' pictures.
  void follow(QWidget* widget);
};

}  // namespace pf

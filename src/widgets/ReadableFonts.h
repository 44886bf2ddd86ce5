#pragma once

class QWidget;

/// Makes the small type of a window's controls easier to read.
class ReadableFonts final {
 public:
  /// The smallest control font after enlarging.
  static constexpr double floor = 13;

  /// Walks the tree under `root` without descending into scroll views or
  /// controls: each control's font (sliders excepted) becomes the larger of
  /// its size + 1 and `floor`; a text view that does not scroll grows by one.
  static void enlarge(QWidget* root);

  /// Whether `widget` counts as a scroll view for the window's layout and
  /// type: a scroll area, except a text view that does not scroll.
  static bool isScrollView(const QWidget* widget);
};

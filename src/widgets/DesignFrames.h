#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"

#include <QFont>
#include <QString>
#include <optional>

class QLabel;
class QPushButton;
class QWidget;

/// Builds windows the way they are drawn up: each control at a fixed frame,
/// y up from the bottom left of its parent as the parent stands when it is
/// placed (its base size while a window is built).
class DesignFrames final {
 public:
  DesignFrames() = delete;

  /// How a label shows its text.
  struct TextStyle {
    double pixelSize = 13;
    /// The text colour; without one the label keeps its palette's.
    std::optional<pf::Color> color{};
    /// A wrapping label starts its text at the top; a single line is centred vertically.
    bool wraps = false;
    QFont::Weight weight = QFont::Normal;
  };

  /// Makes `view` a child of `parent` standing at `frame`.
  template <typename View>
  static View* place(View* view, QWidget* parent, const pf::Rect& frame) {
    placeView(view, parent, frame);
    return view;
  }
  /// Gives a label, field or text view its text colour.
  static void setTextColor(QWidget* view, const pf::Color& color);
  /// A label at `frame` showing its text as written, never as markup.
  static QLabel* label(QWidget* parent, const QString& text, const pf::Rect& frame, const TextStyle& style);
  /// A push button at `frame` that Return does not press.
  static QPushButton* button(QWidget* parent, const QString& title, const pf::Rect& frame);

 private:
  static void placeView(QWidget* view, QWidget* parent, const pf::Rect& frame);
};

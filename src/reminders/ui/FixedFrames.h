#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"

#include <QString>

class QLabel;
class QWidget;

/// Builds the reminders windows the way they are drawn up: each view at a
/// fixed frame, y up from the bottom left of its parent's base size.
class FixedFrames final {
 public:
  FixedFrames() = delete;

  /// Makes `view` a child of `parent` standing at `frame`.
  static void place(QWidget* view, QWidget* parent, const pf::Rect& frame);
  /// Gives a label, field or text view its text colour.
  static void setTextColor(QWidget* view, const pf::Color& color);
  /// A one-line label showing its text as written; wrapping when `wraps`.
  static QLabel* label(QWidget* parent, const QString& text, const pf::Rect& frame, double size,
                       bool wraps = false);
};

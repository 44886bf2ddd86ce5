#pragma once

#include <QString>

class QWidget;

/// The breathing outline of panels: a thin line in the accent colour, inset
/// 3 points, with a soft glow, slowly fading in and out. Kept as a shape
/// layer named "quibBreathingBorder" on the view's own layer.
class QuibNeonBorder final {
 public:
  QuibNeonBorder() = delete;

  /// The outline layer's name.
  static inline const QString layerName = QStringLiteral("quibBreathingBorder");

  /// Installs or refreshes the outline on `view`, and re-applies the border
  /// effect to it. Safe to call any number of times: the outline takes the
  /// current accent colour and the view's size, keeps the corner radius it was
  /// made with, and a running breath is never restarted. With reduce motion
  /// on it rests at 0.55 opacity.
  static void update(QWidget* view, double radius = 12);
};

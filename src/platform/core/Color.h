#pragma once

#include <QString>

namespace pf {

/// A colour as the look describes it: a colour space tag, its components and
/// alpha. Compared exactly, because a repaint swaps colours by equality; turned
/// into a QColor only when painting.
struct Color {
  enum class Space { calibratedRGB, calibratedWhite, sRGB, system };

  Space space = Space::calibratedRGB;
  /// Red, green and blue in RGB spaces; `red` holds the white level in calibratedWhite.
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  /// The system colour's name ("systemBlue", "labelColor", ...) in the system space.
  QString name;

  bool operator==(const Color&) const = default;

  static Color calibratedRGB(double r, double g, double b, double a = 1);
  static Color calibratedWhite(double white, double a = 1);
  static Color sRGB(double r, double g, double b, double a = 1);
  static Color system(const QString& name, double a = 1);

  /// The same colour with another alpha.
  Color withAlpha(double a) const;
};

}  // namespace pf

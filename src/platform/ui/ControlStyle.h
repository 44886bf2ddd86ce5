#pragma once

#include <QProxyStyle>

namespace pf {

/// The program's widget style: Fusion, with every control's edge drawn in a
/// colour that stands out from the window behind it (Fusion draws its edges
/// a shade darker than the window, which vanishes on dark glass), and a
/// button given a bezel colour drawn as a face of that colour, deep enough
/// for its title to read, rimmed in the bezel colour drawn toward the text.
class ControlStyle final : public QProxyStyle {
  Q_OBJECT

 public:
  ControlStyle();

  /// The edge of controls drawn with `palette`: its text colour taken 40% of
  /// the way toward its window colour.
  static QColor edgeColor(const QPalette& palette);
  /// The face of a button with bezel colour `bezel` and a title in `title`.
  static QColor tintedFace(const QColor& bezel, const QColor& title);
  /// The rim of that face: the bezel colour 40% of the way toward the text
  /// colour of `palette`, so that it stands out where the face does not.
  static QColor tintedRim(const QColor& bezel, const QPalette& palette);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;

 private:
  void drawTintedButton(const QStyleOption* option, QPainter* painter) const;
};

}  // namespace pf

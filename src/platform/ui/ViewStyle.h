#pragma once

#include "platform/core/Appearance.h"
#include "platform/core/Color.h"

#include <QFont>
#include <QPalette>
#include <optional>

class QWidget;

namespace pf {

/// What a look gives a widget and must find again to change it: an
/// appearance of its own (a window's or a view's; without one a widget takes
/// its parent's) and the colours it was given, kept exactly as given (a
/// QColor would lose the colour space, and a look change swaps colours by
/// equality).
class ViewStyle final {
 public:
  /// The colours a widget can be given.
  enum class ColorRole {
    text,   ///< a label's, field's or text view's text
    bezel,  ///< a button's face
    tint,   ///< an image view's content tint (read back by the widget when it draws)
  };

  ViewStyle() = delete;

  /// The colours of every role in `appearance`: text reads on its ground,
  /// selected text on the selection and a placeholder on its field.
  static QPalette palette(Appearance appearance);

  /// Gives the application `appearance` (light at first): every widget
  /// without an appearance of its own shows it, and so do the menus, lists,
  /// alerts, dialogs and tool tips that open over the windows.
  static void setDefaultAppearance(Appearance appearance);
  static Appearance defaultAppearance();

  /// Gives `widget` (a window or a view) its own appearance, which its
  /// children inherit; none resets it to inherit its parent's.
  static void setAppearance(QWidget* widget, std::optional<Appearance> appearance);
  /// The widget's own appearance, none when it inherits.
  static std::optional<Appearance> appearance(const QWidget* widget);
  /// The appearance the widget shows: its own, else its nearest ancestor's,
  /// else the application's.
  static Appearance effectiveAppearance(const QWidget* widget);

  /// Gives `widget` a colour for `role` and shows it (text and bezel through
  /// the widget's palette, a named system colour as the widget's appearance
  /// gives it); none takes it away again.
  static void setColor(QWidget* widget, ColorRole role, const std::optional<Color>& color);
  /// The colour last given for `role`, exactly as given; none when never given.
  static std::optional<Color> color(const QWidget* widget, ColorRole role);
  /// The widget's font at `pixels` (design sizes are pixels, never below one) and `weight`.
  static void setFontSize(QWidget* widget, double pixels, QFont::Weight weight = QFont::Normal);
};

}  // namespace pf

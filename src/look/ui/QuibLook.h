#pragma once

#include "look/QuibBackground.h"
#include "look/QuibBorderEffect.h"
#include "look/QuibColorTheme.h"
#include "look/QuibSkin.h"
#include "platform/core/Color.h"

class QWidget;

/// The setters of the look. Each stores one choice in the standard user
/// defaults and carries it at once into every open window: window and view
/// appearances are reset to the skin's, every colour a window was given that
/// equals an entry of the old palette becomes the matching entry of the new
/// one, breathing outlines and border effects are applied again, and every
/// view is repainted, so windows made long ago take the new look without
/// being rebuilt. The colour dialog in which a custom colour is being picked
/// is left alone. Main thread only.
class QuibLook final {
 public:
  QuibLook() = delete;

  /// Views a look change treats apart, which the look cannot name itself
  /// (they live in libraries built on it).
  enum class Part {
    glassSurface,  ///< a glass content view: its window wears the border effect
    glowButton,    ///< a button whose tint follows the palette wherever it sits
  };
  /// Marks `view` as `part` for every look change to come.
  static void mark(QWidget* view, Part part);

  /// Stores a custom background (true) or accent (false) colour and selects
  /// it. A colour with a component that is not a finite number is refused:
  /// nothing is stored and nothing repainted.
  static void setCustomColor(const pf::Color& color, bool background);
  /// Selects an accent family.
  static void select(QuibColorTheme theme);
  /// Selects a window background.
  static void selectBackground(QuibBackground background);
  /// Selects a window skin.
  static void selectSkin(QuibSkin skin);
  /// Keeps the accent to the trim, or not.
  static void selectTrimOnly(bool trimOnly);
  /// Selects a border effect; on a later turn of the event loop, the effect
  /// overlays of the visible glass windows and of the settings window are
  /// switched on or off to match.
  static void selectEffect(QuibBorderEffect effect);
};

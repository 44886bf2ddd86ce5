#pragma once

#include "look/QuibBackground.h"
#include "look/QuibColorTheme.h"
#include "platform/core/Color.h"

#include <QString>
#include <array>
#include <optional>

/// The palette every window draws with. Nothing is kept: each colour is
/// computed from the stored look choices, read from the standard user
/// defaults on every call, so a choice written by anyone shows at the next read.
class QuibTheme final {
 public:
  QuibTheme() = delete;

  /// The key of the accent family, "colorTheme".
  static inline const QString preferenceKey = QStringLiteral("colorTheme");
  /// The key of the window background, "backgroundTheme".
  static inline const QString backgroundKey = QStringLiteral("backgroundTheme");
  /// The key of the accent-on-trim-only switch, "accentTrimOnly".
  static inline const QString trimKey = QStringLiteral("accentTrimOnly");

  /// The stored accent family; `blue` when missing or unknown.
  static QuibColorTheme current();
  /// The stored window background; `navy` when missing or unknown.
  static QuibBackground background();
  /// The accent is kept to the trim; false when missing.
  static bool trimOnly();

  static bool yellow();
  static bool purple();
  static bool green();
  static bool pink();
  static bool orange();

  /// Text colour.
  static pf::Color text();
  /// Window background.
  static pf::Color navy();
  /// Interior of panels and cards.
  static pf::Color card();
  /// Outline colour: the accent at alpha 0.6.
  static pf::Color border();
  /// Accent colour of the family.
  static pf::Color accent();
  /// Highlight colour of the family.
  static pf::Color highlight();
  /// Secondary text colour.
  static pf::Color secondary();
  /// Tint of the launcher's glass surface.
  static pf::Color glass();
  /// Tint of the glass edge decoration.
  static pf::Color decoration();
  /// Table-row selection fill: the highlight at alpha 0.12.
  static pf::Color selection();

  /// The colours a look change swaps, in the order that decides which wins
  /// when one colour equals two: navy, card, border, accent, highlight,
  /// secondary, text.
  using Palette = std::array<pf::Color, 7>;
  /// The palette of the choices stored now.
  static Palette palette();
  /// The entry of `now` at the first place where `old` holds exactly `color`;
  /// `color` itself when `old` holds it nowhere.
  static pf::Color substituted(const pf::Color& color, const Palette& old, const Palette& now);
  /// The same for a colour that may be absent, which stays absent.
  static std::optional<pf::Color> substituted(const std::optional<pf::Color>& color, const Palette& old,
                                              const Palette& now);

  /// The stored custom background (true) or accent (false) colour, in sRGB;
  /// a stored value that is not three finite numbers from 0 to 1 gives the fallback.
  static pf::Color customColor(bool background);
};

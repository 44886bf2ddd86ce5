#pragma once

#include "platform/core/Appearance.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Path.h"
#include "values/RawChoice.h"

namespace pf {
class Canvas;
}

/// The cases of `QuibSkin`, stored under "visualSkin" by their names.
struct QuibSkinCases {
  enum Value {
    classic,
    neonSpace,
    pearlSpace,
    robotLab,
    steampunk,
    alienTech,
    moltenCore,
    unicornPrincess,
  };
  static constexpr RawChoiceTable<Value, 8> table{{{
      {classic, "classic", "Classic"},
      {neonSpace, "neonSpace", "Neon Space"},
      {pearlSpace, "pearlSpace", "Pearl Space"},
      {robotLab, "robotLab", "Robot Lab"},
      {steampunk, "steampunk", "Steampunk"},
      {alienTech, "alienTech", "Alien Tech"},
      {moltenCore, "moltenCore", "Molten Core"},
      {unicornPrincess, "unicornPrincess", "Unicorn Princess"},
  }}};
};

/// The window skin: whether windows look light or dark, and the decorated
/// surface and frame painted into panels and launcher tiles.
class QuibSkin final : public RawChoice<QuibSkin, QuibSkinCases> {
 public:
  using RawChoice::RawChoice;

  /// The stored skin, read from the standard user defaults on every call;
  /// missing or unknown reads as `classic`.
  static QuibSkin current();
  /// The current skin is one of the two light ones.
  static bool isLight();
  /// The current skin decorates surfaces (anything but `classic`).
  static bool isSpace();
  /// The appearance windows take: light for the light skins, dark otherwise.
  static pf::Appearance appearance();

  /// A closed path around `rect` with its four corners cut off at 45 degrees;
  /// the cut is at most a quarter of the shorter side.
  static pf::Path outline(const pf::Rect& rect, double cut);
  /// Paints the current skin's surface and frame over `rect`, as a launcher
  /// button tile or as a panel; paints nothing for `classic`. A rectangle that
  /// is not finite, larger than any screen or far off any, paints nothing.
  static void draw(pf::Canvas& canvas, const pf::Rect& rect, bool tile = false);
  /// Draws the current skin's frame as a band `width` wide just inside `rect`;
  /// nothing for `classic`, `neonSpace` and `pearlSpace`.
  static void drawRobotFrame(pf::Canvas& canvas, const pf::Rect& rect, double width = 12);
};

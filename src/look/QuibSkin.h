#pragma once

#include "look/LookChoice.h"
#include "platform/core/Appearance.h"

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
  static constexpr LookChoiceTable<Value, 8> table{{{
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
class QuibSkin final : public LookChoice<QuibSkin, QuibSkinCases> {
 public:
  using LookChoice::LookChoice;

  /// The stored skin, read from the standard user defaults on every call;
  /// missing or unknown reads as `classic`.
  static QuibSkin current();
  /// The current skin is one of the two light ones.
  static bool isLight();
  /// The current skin decorates surfaces (anything but `classic`).
  static bool isSpace();
  /// The appearance windows take: light for the light skins, dark otherwise.
  static pf::Appearance appearance();
};

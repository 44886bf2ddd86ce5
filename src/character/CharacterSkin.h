#pragma once

#include "values/RawChoice.h"

#include <QString>

namespace pf {
class UserDefaults;
}

/// The cases of `CharacterSkin`, stored by their names, with their display names.
struct CharacterSkinCases {
  enum class Value { original, companionBlue, alienBot2, alienBot3, dara, vezu };
  using enum Value;
  static constexpr RawChoiceTable<Value, 6> table{{{
      {original, "original", "Quib"},
      {companionBlue, "companionBlue", "Duvur"},
      {alienBot2, "alienBot2", "Derad"},
      {alienBot3, "alienBot3", "Riri"},
      {dara, "dara", "Dara"},
      {vezu, "vezu", "Vezu"},
  }}};
};

/// The companion's character.
class CharacterSkin final : public RawChoice<CharacterSkin, CharacterSkinCases> {
 public:
  using RawChoice::RawChoice;

  /// The defaults key holding the chosen character's raw value.
  static inline const QString defaultsKey = QStringLiteral("characterSkin");

  /// The character chosen in `defaults`: Duvur when nothing, or a character
  /// that can no longer be chosen, is stored.
  static CharacterSkin selected(const pf::UserDefaults& defaults);

  /// Replaces a stored choice of the archived character with Duvur, so the
  /// stored value says what the companion shows.
  static void migrateArchivedChoice(pf::UserDefaults& defaults);

  /// The folder of its artwork under "Characters" in the asset root.
  QString artworkFolder() const { return title(); }
  /// False for the first character, Quib, which is archived.
  bool isSelectable() const { return value() != original; }
};

#pragma once

#include <QString>
#include <array>
#include <optional>

namespace pf {
class UserDefaults;
}

/// The companion's character.
class CharacterSkin final {
 public:
  enum class Case { original, companionBlue, alienBot2, alienBot3, dara, vezu };
  using enum Case;

  constexpr CharacterSkin(Case value) : m_value(value) {}

  static constexpr std::array<Case, 6> allCases{original,  companionBlue, alienBot2,
                                                alienBot3, dara,          vezu};

  /// The defaults key holding the chosen character's raw value.
  static inline const QString defaultsKey = QStringLiteral("characterSkin");

  /// The character stored as `rawValue` (its case name), or none.
  static std::optional<CharacterSkin> fromRawValue(const QString& rawValue);

  /// The character chosen in `defaults`: Duvur when nothing, or a character
  /// that can no longer be chosen, is stored.
  static CharacterSkin selected(const pf::UserDefaults& defaults);

  /// Replaces a stored choice of the archived character with Duvur, so the
  /// stored value says what the companion shows.
  static void migrateArchivedChoice(pf::UserDefaults& defaults);

  Case value() const { return m_value; }
  QString rawValue() const;
  /// The display name: "Quib", "Duvur", "Derad", "Riri", "Dara" or "Vezu".
  QString title() const;
  /// The folder of its artwork under "Characters" in the asset root.
  QString artworkFolder() const { return title(); }
  /// False for the first character, Quib, which is archived.
  bool isSelectable() const { return m_value != original; }

  bool operator==(const CharacterSkin&) const = default;

 private:
  Case m_value;
};

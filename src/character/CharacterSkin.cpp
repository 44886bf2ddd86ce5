#include "character/CharacterSkin.h"

#include "platform/core/UserDefaults.h"

std::optional<CharacterSkin> CharacterSkin::fromRawValue(const QString& rawValue) {
  for (CharacterSkin skin : allCases)
    if (skin.rawValue() == rawValue) return skin;
  return std::nullopt;
}

CharacterSkin CharacterSkin::selected(const pf::UserDefaults& defaults) {
  const auto stored = fromRawValue(defaults.string(defaultsKey).value_or(QString()));
  return stored && stored->isSelectable() ? *stored : CharacterSkin(companionBlue);
}

void CharacterSkin::migrateArchivedChoice(pf::UserDefaults& defaults) {
  if (defaults.string(defaultsKey) == CharacterSkin(original).rawValue())
    defaults.set(defaultsKey, CharacterSkin(companionBlue).rawValue());
}

QString CharacterSkin::rawValue() const {
  switch (m_value) {
    case original: return QStringLiteral("original");
    case companionBlue: return QStringLiteral("companionBlue");
    case alienBot2: return QStringLiteral("alienBot2");
    case alienBot3: return QStringLiteral("alienBot3");
    case dara: return QStringLiteral("dara");
    case vezu: return QStringLiteral("vezu");
  }
  return {};
}

QString CharacterSkin::title() const {
  switch (m_value) {
    case original: return QStringLiteral("Quib");
    case companionBlue: return QStringLiteral("Duvur");
    case alienBot2: return QStringLiteral("Derad");
    case alienBot3: return QStringLiteral("Riri");
    case dara: return QStringLiteral("Dara");
    case vezu: return QStringLiteral("Vezu");
  }
  return {};
}

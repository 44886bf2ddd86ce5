#include "character/CharacterSkin.h"

#include "platform/core/UserDefaults.h"

CharacterSkin CharacterSkin::selected(const pf::UserDefaults& defaults) {
  const auto stored = fromRawValue(defaults.string(defaultsKey).value_or(QString()));
  return stored && stored->isSelectable() ? *stored : CharacterSkin(companionBlue);
}

void CharacterSkin::migrateArchivedChoice(pf::UserDefaults& defaults) {
  if (defaults.string(defaultsKey) == CharacterSkin(original).rawValue())
    defaults.set(defaultsKey, CharacterSkin(companionBlue).rawValue());
}

#include "clipboard/CharacterLimit.h"

#include "platform/core/Text.h"

bool hasAtMostCharacters(const QString& text, int limit) {
  return text.size() <= limit || pf::Text::characterCount(text) <= limit;
}

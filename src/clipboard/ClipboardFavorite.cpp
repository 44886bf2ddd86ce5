#include "clipboard/ClipboardFavorite.h"

#include "clipboard/CharacterLimit.h"
#include "platform/core/Text.h"
#include "shortcuts/QuibError.h"

#include <QUuid>
#include <algorithm>

namespace {

constexpr int maximumNameCharacters = 100;
constexpr int maximumTextCharacters = 100000;

// Asked of every favorite on every read: looking costs less than trimming a copy.
bool isBlank(const QString& text) { return std::ranges::all_of(text, pf::Text::isWhiteSpaceOrNewline); }

}  // namespace

QString ClipboardFavorite::newID() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

void ClipboardFavorite::validate() const {
  if (id.isEmpty() || isBlank(name) || !hasAtMostCharacters(name, maximumNameCharacters))
    throw QuibError(QStringLiteral("Enter a name of up to 100 characters."));
  if (isBlank(text) || !hasAtMostCharacters(text, maximumTextCharacters))
    throw QuibError(QStringLiteral("Enter the text to save (up to 100,000 characters)."));
}

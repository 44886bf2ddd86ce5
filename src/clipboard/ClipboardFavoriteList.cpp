#include "clipboard/ClipboardFavoriteList.h"

#include "clipboard/CharacterLimit.h"
#include "platform/core/Text.h"
#include "values/QuibError.h"

namespace {

constexpr int maximumNameCharacters = 40;

}  // namespace

const std::array<ClipboardFavoriteList, 3>& ClipboardFavoriteList::builtIns() {
  static const std::array<ClipboardFavoriteList, 3> lists{{
      {QStringLiteral("tags"), QStringLiteral("#Tags")},
      {QStringLiteral("links"), QStringLiteral("Links")},
      {othersID, QStringLiteral("Others")},
  }};
  return lists;
}

QString ClipboardFavoriteList::nameKey(const QString& text) {
  // A name typed with combining accents and the same name typed precomposed
  // look identical, so they must not pass as two different lists.
  return pf::Text::lowercased(pf::Text::trimmed(text)).normalized(QString::NormalizationForm_C);
}

void ClipboardFavoriteList::validate() const {
  const QString key = nameKey();
  if (id.isEmpty() || key.isEmpty() || !hasAtMostCharacters(name, maximumNameCharacters) || key == u"all favorites")
    throw QuibError(QStringLiteral("Enter a list name of up to 40 characters. All is reserved for the combined view."));
}

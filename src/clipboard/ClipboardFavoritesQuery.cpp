#include "clipboard/ClipboardFavoritesQuery.h"

#include "platform/core/Text.h"

std::vector<ClipboardFavorite> ClipboardFavoritesQuery::filter(const std::vector<ClipboardFavorite>& items) const {
  const QString query = pf::Text::trimmed(search);
  std::vector<ClipboardFavorite> passing;
  passing.reserve(items.size());
  for (const ClipboardFavorite& item : items) {
    if (listID && *listID != item.listID) continue;
    if (query.isEmpty() || pf::Text::containsCaseInsensitive(item.name, query) ||
        pf::Text::containsCaseInsensitive(item.text, query))
      passing.push_back(item);
  }
  // The window keeps the rows while it is open: no room beyond them.
  passing.shrink_to_fit();
  return passing;
}

QString ClipboardFavoritesQuery::firstLine(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if ((c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029) return text.left(i);
  }
  return text;
}

#pragma once

#include "clipboard/ClipboardFavorite.h"

#include <QString>
#include <optional>
#include <vector>

/// Which favorites the favorites window lists: those of one list (or of all)
/// whose name or text holds the search text, ignoring case.
struct ClipboardFavoritesQuery {
  /// The chosen list; none for "All".
  std::optional<QString> listID;
  /// The search field's text as typed; only its trimmed form filters.
  QString search;

  /// The favorites of `items` that pass, in stored order.
  std::vector<ClipboardFavorite> filter(const std::vector<ClipboardFavorite>& items) const;

  /// The text up to its first line break of any kind; the preview line of a row.
  static QString firstLine(const QString& text);
};

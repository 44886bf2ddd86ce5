#pragma once

#include <QString>

/// A saved text as an editor changed it. A text view shows every line break
/// (CR LF, a lone CR, LF, U+2029) as a line feed; what the user did not touch
/// keeps the breaks it was saved with.
struct EditedText final {
  EditedText() = delete;

  /// `original` with the part that differs between `shownBefore` (the view's
  /// text when it was filled with `original`) and `shownNow` replaced by what
  /// the view holds now. When `shownBefore` is not `original` with its line
  /// breaks made line feeds, `shownNow` is all that can be told.
  static QString merged(const QString& original, const QString& shownBefore, const QString& shownNow);
};

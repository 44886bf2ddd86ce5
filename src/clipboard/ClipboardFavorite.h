#pragma once

#include "clipboard/ClipboardFavoriteList.h"

#include <QString>

/// One saved text. Equal only when all four fields are exactly equal.
struct ClipboardFavorite {
  /// A new random identifier: a UUID in its 36-character upper-case form.
  static QString newID();

  /// Stable identifier; a new one when not given.
  QString id = newID();
  /// The name shown in the favorites table.
  QString name;
  /// The exact text put on the clipboard; never trimmed.
  QString text;
  /// The id of the list holding the favorite; "others" when not given.
  QString listID = ClipboardFavoriteList::othersID;

  /// Throws `QuibError` for an empty id, a blank name or one over 100
  /// characters, a blank text or one over 100,000 characters, in that order.
  /// The list is not checked here.
  void validate() const;

  bool operator==(const ClipboardFavorite&) const = default;
};

#pragma once

#include <QString>
#include <array>

/// One list of clipboard favorites. Equal only when id and name are both
/// exactly equal.
struct ClipboardFavoriteList {
  /// The list that keeps its name, cannot be deleted and takes in the
  /// favorites of a deleted list.
  static inline const QString othersID = QStringLiteral("others");

  /// Stable identifier, never shown.
  QString id;
  /// The name shown to the user.
  QString name;

  /// The lists of a new favorites file, in their order: "#Tags", "Links", "Others".
  static const std::array<ClipboardFavoriteList, 3>& builtIns();

  /// The text trimmed of white space and line breaks, lower-cased and in
  /// canonical composed form; names with equal keys count as the same name.
  static QString nameKey(const QString& text);
  QString nameKey() const { return nameKey(name); }

  bool canDelete() const { return id != othersID; }
  bool canRename() const { return id != othersID; }

  /// Throws `QuibError` when the id or name is empty, the name as stored
  /// exceeds 40 characters, or the name is the reserved "All Favorites".
  void validate() const;

  bool operator==(const ClipboardFavoriteList&) const = default;
};

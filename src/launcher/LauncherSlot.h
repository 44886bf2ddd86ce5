#pragma once

#include "launcher/LauncherGrid.h"

#include <QHashFunctions>
#include <QString>
#include <optional>
#include <vector>

/// The address of one launcher button. Its text form, the key, is
/// page ":" ("s" | "w") ":" row ":" column in plain decimal: 0:s:0:0 is the
/// top-left small button of page 0, 2:w:1:1 the right wide button of the
/// lower wide row on page 2 of a two-column grid.
struct LauncherSlot {
  /// The largest page, row or column a key may name.
  static constexpr qint64 maximumNumber = 127;

  /// Page number from 0.
  qint64 page = 0;
  /// A wide button rather than a small one.
  bool wide = false;
  /// Row within the small rows, or within the two wide rows.
  qint64 row = 0;
  /// Small columns count 0 to 2 × columns − 1, wide columns 0 to columns − 1.
  qint64 column = 0;

  bool operator==(const LauncherSlot&) const = default;

  /// The canonical key text.
  QString key() const;

  /// Reads a key: pieces split at ":" with empty pieces dropped; exactly four;
  /// numbers in base 10 with an optional sign, each 0 to 127; "s" or "w"; a
  /// wide row of 0 or 1. Any other text gives nothing.
  static std::optional<LauncherSlot> fromKey(const QString& key);

  /// The slots of one page in button-index order: its small slots row by row,
  /// then its wide slots row by row.
  static std::vector<LauncherSlot> visible(qint64 page, const LauncherGrid& grid);

  /// Reading order: by page, small before wide, then by row, then by column.
  static bool ordered(const LauncherSlot& a, const LauncherSlot& b);
};

inline size_t qHash(const LauncherSlot& slot, size_t seed = 0) {
  return qHashMulti(seed, slot.page, slot.wide, slot.row, slot.column);
}

#pragma once

#include "platform/core/Geometry.h"

#include <QtGlobal>

/// The geometry of one launcher page: a header band, `rows` rows of small
/// buttons, two rows of wide buttons and a footer band. `columns` counts double
/// columns: two small buttons side by side in each small row, one wide button
/// in each wide row. Every length is floor(scale × base), each floored on its
/// own before any sum.
struct LauncherGrid {
  /// The most columns or rows a grid may have: what the positions file accepts.
  static constexpr qint64 maximumCount = 127;

  /// Double columns per page.
  qint64 columns = 2;
  /// Rows of small buttons per page.
  qint64 rows = 2;
  /// The owning companion's launcher scale (0.8 to 1.2).
  double scale = 1.0;

  bool operator==(const LauncherGrid&) const = default;

  /// The small button's size.
  pf::Size cell() const;
  /// Horizontal gap as width, vertical gap as height.
  pf::Size gap() const;
  /// The wide button's size: two cells and the gap between them, by a short height.
  pf::Size wideCell() const;
  /// Left and right margin.
  double margin() const;
  /// The band above the first row.
  double header() const;
  /// The band below the last wide row.
  double footer() const;

  /// Small buttons per page.
  qint64 compactCapacity() const { return 2 * columns * rows; }
  /// All buttons per page; the wide ones are the last 2 × columns.
  qint64 capacity() const { return compactCapacity() + 2 * columns; }
  /// Whether the button at this page index is a wide one.
  bool isWide(qint64 index) const { return index >= compactCapacity(); }

  /// The launcher content size of this grid.
  pf::Size size() const;
  /// The frame of the button at a page index in a content view of `contentSize`
  /// (y up); buttons align to the left margin, so only the height is used.
  pf::Rect frame(qint64 index, pf::Size contentSize) const;

  /// The preferred grid: 2 columns, 2 rows.
  static LauncherGrid standard(double scale);
  /// The size of a 2 × 1 grid: the launcher's minimum content size.
  static pf::Size minimum(double scale);
  /// The largest grid whose size fits `contentSize`: at least 2 columns and
  /// 1 row, and at most `maximumCount` of each, so that no window size can
  /// produce a grid the positions file refuses.
  static LauncherGrid fitting(pf::Size contentSize, double scale);
};

#pragma once

#include <QString>
#include <QUrl>
#include <optional>

/// The outcome of one dropped item.
struct FileDropResult {
  /// The item as transferred (its standardised file URL).
  QUrl source;
  /// Where the item was written; on failure, the place that was tried when the
  /// copy or move itself failed, else none.
  std::optional<QUrl> destination;
  /// None on success; else the finished sentence that explains the failure.
  std::optional<QString> error;

  bool succeeded() const { return !error.has_value(); }
  bool operator==(const FileDropResult&) const = default;
};

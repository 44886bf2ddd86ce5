#pragma once

#include <QString>
#include <optional>

/// What a transfer does with each dropped item.
enum class FileDropOperation {
  /// The item is copied; the source stays where it was.
  copy,
  /// The item is moved; it disappears from its old place.
  move,
};

/// The stored string: "copy" or "move".
QString rawValue(FileDropOperation operation);
/// The operation stored as `raw`; none for any other string.
std::optional<FileDropOperation> fileDropOperation(const QString& raw);

#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace pf {

/// A bookmark that cannot be made or resolved; `what()` is a finished sentence.
class BookmarkError final : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Where a resolved bookmark points now.
struct BookmarkResolution {
  QString path;
  /// The item was found elsewhere or replaced: save a fresh bookmark of `path`.
  bool isStale = false;

  bool operator==(const BookmarkResolution&) const = default;
};

/// Our own record of a file or folder: its path, device and inode, serialised
/// as a small JSON object {"dev","ino","kind","path","v":1}. It finds an item
/// that was renamed or moved a little way, not one moved far across the disk.
class Bookmark final {
 public:
  Bookmark() = delete;

  /// Bookmark data of the item at the absolute `path` (links followed); throws
  /// `BookmarkError` when there is no such item.
  static QByteArray create(const QString& path);

  /// Finds the item again: at its path (stale when another item now stands
  /// there), else by its device and inode among the entries at most two levels
  /// below its old folder and that folder's parent (at most `searchLimit`
  /// entries), reported stale. Throws `BookmarkError` when nothing is found or
  /// `data` is not bookmark data of ours; such data is never reported stale.
  static BookmarkResolution resolve(const QByteArray& data);

  /// How many folder entries a resolution looks at, at most.
  static constexpr int searchLimit = 5000;

  /// Access outside a sandbox needs no grant here: always false (not granted).
  static bool startAccessingSecurityScopedResource(const QString&) { return false; }

  /// Nothing to give back, as nothing was granted.
  static void stopAccessingSecurityScopedResource(const QString&) {}
};

}  // namespace pf

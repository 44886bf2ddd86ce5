#pragma once

#include "platform/core/FileDescriptor.h"

namespace pf {

/// The mark a writer keeps on a temporary item (a file or a folder) while it
/// makes it: an advisory lock (flock) held from just after the item gets its
/// temporary name until it has its final one. The system lets go of the lock
/// when the writer dies, so a temporary nobody holds was left by a writer
/// that was cut off, and may be removed.
///
/// Both sides check, while holding the lock, that the name still is the item
/// they opened; so a writer never goes on with an item a cleaner took for
/// abandoned in the moment between creating and locking it, and a cleaner
/// never removes an item that got the name after it looked.
class TemporaryLock final {
 public:
  TemporaryLock() = delete;

  /// Marks the new item `name` in the open folder `folder`, open as `item`,
  /// as in use. False when a cleaner holds it or already removed it: the
  /// writer then makes another.
  [[nodiscard]] static bool hold(int item, int folder, const char* name);

  /// The item `name` in the open folder `folder` (AT_FDCWD: a path), open and
  /// locked, when no writer holds it: the caller may remove it while the
  /// descriptor stays open. Not open when a writer holds it, when it is
  /// gone, or when its file system keeps no such locks.
  [[nodiscard]] static FileDescriptor takeAbandoned(int folder, const char* name);
};

}  // namespace pf

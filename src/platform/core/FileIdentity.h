#pragma once

#include <QString>
#include <optional>
#include <sys/stat.h>

namespace pf {

/// What tells one version of a file on disk from another without reading it:
/// replacing a file (as every atomic write does) makes a new inode, and
/// editing it in place changes its times.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  /// The identity of what `path` names now; nothing when it cannot be examined.
  static std::optional<FileIdentity> of(const QString& path);

  bool operator==(const FileIdentity& other) const;
};

}  // namespace pf

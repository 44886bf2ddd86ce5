#pragma once

#include "platform/core/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <limits>
#include <optional>
#include <sys/stat.h>

namespace pf {

/// Small POSIX file operations the stores build on. Everything created is
/// private (files 0600, folders 0700); nothing here ever replaces or deletes
/// an existing item. Failures throw FileError.
class Files final {
 public:
  Files() = delete;

  /// An item opened for reading, and what it is.
  struct Opened {
    FileDescriptor file;
    /// What fstat(2) reports of the opened item.
    struct stat status {};
  };

  /// Opens `path` for reading and examines what was opened. The open never
  /// blocks, so a pipe or device put in place of a file cannot hang the
  /// reader; what anything but a regular file means is the caller's to say.
  /// Nothing when no item exists at `path` (ENOENT); any other failure throws.
  static std::optional<Opened> openForReading(const QString& path);

  /// The whole file, but no more than its first `limit` bytes, or nothing
  /// when no item exists at `path` (ENOENT); any other failure (permissions,
  /// a folder in the way, something other than a regular file, I/O) throws.
  static std::optional<QByteArray> read(const QString& path, qint64 limit = std::numeric_limits<qint64>::max());

  /// Creates the file with `bytes` (0600, synced to disk); fails with EEXIST
  /// when any item already has that name.
  static void createExclusive(const QString& path, const QByteArray& bytes);

  /// Renames `from` to `to`; fails with EEXIST, and a sentence saying so,
  /// when `to` already exists.
  static void renameNoReplace(const QString& from, const QString& to);

  /// Creates the folder and its missing parents at 0700; folders that exist
  /// keep their permissions.
  static void makeFolders(const QString& path);

  /// Flushes a folder's entries, so a file created or renamed in it survives a crash.
  static void syncFolder(const QString& path);

  /// The folder holding `path`.
  static QString parentFolder(const QString& path);
};

}  // namespace pf

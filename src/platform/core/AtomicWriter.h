#pragma once

#include "platform/core/FileDescriptor.h"

#include <QByteArray>
#include <QString>

namespace pf {

/// Replaces a file in one step: the new contents go to a private temporary
/// file (0600 from the moment it exists) beside the target, are synced to
/// disk and renamed over the target, then the folder is synced. Until commit
/// the old file stays untouched; a crash leaves either the old or the new
/// file, complete. A target that is a symbolic link is written through to
/// the file it names. The temporary file stays locked while it is in use, so
/// one left by a writer that died can be told apart and is removed by the
/// next write to the same target once it is a minute old. Failures throw
/// FileError.
class AtomicWriter final {
 public:
  /// Creates the target's folder (0700, with parents) when missing and the
  /// temporary file in it.
  explicit AtomicWriter(QString path);
  AtomicWriter(const AtomicWriter&) = delete;
  AtomicWriter& operator=(const AtomicWriter&) = delete;
  /// An uncommitted temporary file is removed.
  ~AtomicWriter();

  /// Writes the whole file at once.
  static void write(const QString& path, const QByteArray& bytes);

  /// Removes what writes to any file in `folder` left when their writers
  /// died, as every write does for its own target: for a folder whose files
  /// are each written once, under names of their own.
  static void removeAbandonedIn(const QString& folder);

  /// Adds bytes to the new contents.
  void append(const QByteArray& bytes);
  /// Syncs the new contents and puts them in the target's place.
  void commit();

  /// The file written: the target, or the file its symbolic links name.
  const QString& path() const { return m_path; }
  /// Where the new contents are written until commit.
  const QString& temporaryPath() const { return m_temporaryPath; }

 private:
  void discard();

  QString m_path;
  QString m_temporaryPath;
  FileDescriptor m_file;
};

}  // namespace pf

#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

/// The copying and moving behind a file transfer, on POSIX calls. Nothing is
/// ever replaced: every item is created with create-or-fail calls and moved
/// with a rename that refuses an existing name. Failures throw pf::FileError
/// with a finished sentence.
class FileDropFileManager {
 public:
  FileDropFileManager() = default;
  FileDropFileManager(const FileDropFileManager&) = delete;
  FileDropFileManager& operator=(const FileDropFileManager&) = delete;
  virtual ~FileDropFileManager() = default;

  /// The manager transfers use unless told otherwise.
  static FileDropFileManager& shared();

  /// Whether an item of this kind can be transferred: files, folders and
  /// links can; pipes, sockets and devices cannot (reading a pipe could hang).
  static bool isTransferable(const struct stat& status);
  /// The sentence for an item that is not transferable.
  static QString notTransferableMessage(const QString& path);

  /// Copies the item at `from` to the new name `to`: a file with its bytes, a
  /// folder with everything in it, a link as a link; modes and times kept. A
  /// copy that fails removes what it made. With `durable`, everything made is
  /// on disk before this returns.
  void copyItem(const QString& from, const QString& to, bool durable = false);

  /// Moves the item: a rename within one file system; across file systems a
  /// durable copy, after which the source is removed. When removing the
  /// source fails part-way, the error says so and the copy stays.
  void moveItem(const QString& from, const QString& to);

 protected:
  /// Copies the bytes of the open regular file `from` into the new file `to`;
  /// `path` names the source in errors.
  virtual void copyContents(int from, int to, const QByteArray& path);

 private:
  class Copier;
};

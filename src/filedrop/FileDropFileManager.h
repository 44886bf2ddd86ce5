#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/stat.h>

/// The copying and moving behind a file transfer, on POSIX calls over paths
/// kept as bytes. Nothing is replaced and nothing partial ever carries a
/// final name: a copy is built under a hidden temporary name in the
/// destination folder, locked there (pf::TemporaryLock) while it is made,
/// synced to disk, and only then renamed to its name with a rename that
/// refuses an existing one. Failures throw pf::FileError with a finished
/// sentence.
class FileDropFileManager {
 public:
  /// Another free path in the same folder, asked for when the one tried was
  /// taken in the meantime; throws when there is none.
  using NextName = std::function<QByteArray()>;

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
  /// Whether `name` is one a transfer gives its items while it makes them.
  static bool isTemporaryName(const QByteArray& name);

  /// Copies the item at `from` to the free path `to`, or to the next free
  /// name when `to` is taken before the copy is done: a file with its bytes,
  /// a folder with everything in it, a link as a link; modes and times kept.
  /// Gives the path the copy got. A copy that fails leaves nothing behind.
  QByteArray copyItem(const QByteArray& from, const QByteArray& to, const NextName& nextName);

  /// Moves the item to `to` or the next free name: a rename within one file
  /// system; across file systems a copy as above, after which the source is
  /// removed. When removing the source fails, the error says that the copy
  /// is complete and names both places. Gives the path the item got.
  QByteArray moveItem(const QByteArray& from, const QByteArray& to, const NextName& nextName);

  /// Removes from `folder` the temporary items of transfers that were cut
  /// off; those of transfers under way stay. What cannot be removed now is
  /// left for a later transfer.
  void removeAbandoned(const QByteArray& folder);

 protected:
  /// Copies the bytes of the open regular file `from` into the new file `to`;
  /// `path` names the source in errors.
  virtual void copyContents(int from, int to, const QByteArray& path);
  /// Waits until the open item is on disk, with everything in it when
  /// `withContents` (for a folder): 0, or -1 with errno set.
  virtual int writeToDisk(int item, bool withContents);
  /// renameat2 with RENAME_NOREPLACE: 0, or -1 with errno set.
  virtual int renameNoReplace(int fromFolder, const char* from, int toFolder, const char* to);
  /// unlinkat: 0, or -1 with errno set.
  virtual int removeEntry(int folder, const char* name, int flags);

 private:
  class Copier;
  class Temporary;

  QByteArray copyLink(const QByteArray& from, int folder, QByteArray to, const NextName& nextName);
  QByteArray publish(int folder, const Temporary& temporary, QByteArray to, const NextName& nextName);
  void removeSource(const QByteArray& from, const QByteArray& copy);
  /// writeToDisk, failing with a sentence that names `path`.
  void waitForDisk(int item, bool withContents, const QByteArray& path);
  /// Removes `name` in `folder` and everything in it, counting what went in
  /// `removed`. Folders of our own copy are first made writable again, since
  /// a finished sub-folder already carries its source's (perhaps read-only) mode.
  void removeTree(int folder, const char* name, const QByteArray& path, bool ownCopy, int& removed);
};

#include "filedrop/FileDropFileManager.h"

#include "platform/core/FileDescriptor.h"
#include "platform/core/FileError.h"
#include "platform/core/FileURL.h"
#include "platform/core/TemporaryLock.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

using pf::FileDescriptor;
using pf::FileError;
using pf::FileURL;

namespace {

// Large enough to copy at full speed, small enough that the disk writes one
// chunk while the next is copied, so the sync before naming the copy finds
// little left to write.
constexpr size_t copyChunk = size_t(8) << 20;
constexpr size_t bufferSize = size_t(256) << 10;
const QByteArray temporaryPrefix = ".wendle-transfer-";
const QByteArray temporarySuffix = ".tmp";
constexpr qsizetype temporaryDigits = 16;

QString pathText(const QByteArray& path) { return QFile::decodeName(path); }

[[noreturn]] void fail(const char* action, const QByteArray& path, int error = errno) {
  throw FileError::failed(error, QString::fromLatin1(action), pathText(path));
}

template <typename Call>
int retrying(const Call& call) {
  int result = -1;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

FileDescriptor openAt(int folder, const char* name, int flags, mode_t mode = 0) {
  return FileDescriptor(retrying([&] { return ::openat(folder, name, flags | O_CLOEXEC, mode); }));
}

FileDescriptor openFolder(int folder, const char* name, const QByteArray& path) {
  FileDescriptor opened = openAt(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
  if (!opened.isOpen()) fail("open the folder", path);
  return opened;
}

/// The regular file to copy, open. Non-blocking, so a pipe swapped in after
/// the check cannot hang the open.
FileDescriptor openFile(int folder, const char* name, const QByteArray& path) {
  FileDescriptor file = openAt(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
  if (!file.isOpen()) fail("open", path);
  struct stat opened {};
  if (::fstat(file.get(), &opened) != 0) fail("read", path);
  if (!S_ISREG(opened.st_mode))
    throw FileError(EINVAL, pathText(path), FileDropFileManager::notTransferableMessage(pathText(path)));
  return file;
}

/// The names in an open folder, without "." and "..".
std::vector<QByteArray> entriesOf(int folder, const QByteArray& path) {
  const int copy = ::dup(folder);
  DIR* listing = copy < 0 ? nullptr : ::fdopendir(copy);
  if (!listing) {
    if (copy >= 0) ::close(copy);
    fail("read the folder", path);
  }
  std::vector<QByteArray> names;
  errno = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const QByteArray name(entry->d_name);
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  const int error = errno;
  ::closedir(listing);
  if (error != 0) fail("read the folder", path, error);
  return names;
}

std::array<timespec, 2> timesOf(const struct stat& status) { return {status.st_atim, status.st_mtim}; }

QByteArray linkTarget(int folder, const char* name, const QByteArray& path, const struct stat& status) {
  QByteArray target(qsizetype(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, '\0');
  const ssize_t length = ::readlinkat(folder, name, target.data(), size_t(target.size()));
  if (length < 0 || length >= target.size()) fail("read the link", path, length < 0 ? errno : ENAMETOOLONG);
  target.truncate(length);
  return target;
}

/// Makes the link `name` as the link `status` describes; false, with errno
/// set, when that fails.
bool makeLink(const QByteArray& target, int folder, const char* name, const struct stat& status) {
  if (::symlinkat(target.constData(), folder, name) != 0) return false;
  const std::array<timespec, 2> times = timesOf(status);
  ::utimensat(folder, name, times.data(), AT_SYMLINK_NOFOLLOW);
  return true;
}

/// Gives a copy its source's mode and times, once its contents are in place.
void finish(int item, const QByteArray& path, const struct stat& status) {
  if (::fchmod(item, status.st_mode & 07777) != 0) fail("set the permissions of", path);
  const std::array<timespec, 2> times = timesOf(status);
  if (::futimens(item, times.data()) != 0) fail("set the dates of", path);
}

/// Has the disk start writing what was copied, without waiting for it.
void startWriting(int file, off_t from, off_t length) {
  ::sync_file_range(file, from, length, SYNC_FILE_RANGE_WRITE);
}

/// Names a finished item on a file system that cannot rename without
/// replacing: a file gets a link, which never replaces; a folder a plain
/// rename once its name is seen free, which could replace at most an empty
/// folder made in between. Gives 0 or the error.
int placeWithoutRenaming(int folder, const char* temporary, const char* name, bool isFolder) {
  if (!isFolder) {
    if (::linkat(folder, temporary, folder, name, 0) != 0) return errno;
    ::unlinkat(folder, temporary, 0);
    return 0;
  }
  struct stat existing {};
  if (::fstatat(folder, name, &existing, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return ::renameat(folder, temporary, folder, name) == 0 ? 0 : errno;
}

bool copyFileRangeUnsupported(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

/// One copy of an item tree into a new item, walked through folder
/// descriptors so each entry costs no path lookups beyond its own name.
/// Paths name the places in errors.
class FileDropFileManager::Copier final {
 public:
  explicit Copier(FileDropFileManager& manager) : m_manager(manager) {}

  /// Fills the new file `to` with the bytes, mode and times of the file `from`.
  void fillFile(int from, const QByteArray& fromPath, int to, const QByteArray& toPath, const struct stat& status) {
    m_manager.copyContents(from, to, fromPath);
    finish(to, toPath, status);
  }

  /// Fills the new folder `to` with copies of the entries of the folder
  /// `from`, and gives it that folder's mode and times.
  void fillFolder(int from, const QByteArray& fromPath, int to, const QByteArray& toPath, const struct stat& status) {
    for (const QByteArray& entry : entriesOf(from, fromPath)) {
      const char* name = entry.constData();
      copy(from, name, FileURL::childPath(fromPath, name), to, name, FileURL::childPath(toPath, name));
    }
    finish(to, toPath, status);
  }

 private:
  void copy(int fromFolder, const char* fromName, const QByteArray& fromPath, int toFolder, const char* toName,
            const QByteArray& toPath) {
    struct stat status {};
    if (::fstatat(fromFolder, fromName, &status, AT_SYMLINK_NOFOLLOW) != 0) fail("read", fromPath);
    if (S_ISLNK(status.st_mode)) {
      if (!makeLink(linkTarget(fromFolder, fromName, fromPath, status), toFolder, toName, status))
        fail("create", toPath);
    } else if (S_ISREG(status.st_mode)) {
      const FileDescriptor from = openFile(fromFolder, fromName, fromPath);
      const FileDescriptor to = openAt(toFolder, toName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
      if (!to.isOpen()) fail("create", toPath);
      fillFile(from.get(), fromPath, to.get(), toPath, status);
    } else if (S_ISDIR(status.st_mode)) {
      const FileDescriptor from = openFolder(fromFolder, fromName, fromPath);
      if (::mkdirat(toFolder, toName, 0700) != 0) fail("create the folder", toPath);
      const FileDescriptor to = openFolder(toFolder, toName, toPath);
      fillFolder(from.get(), fromPath, to.get(), toPath, status);
    } else {
      throw FileError(EINVAL, pathText(fromPath), notTransferableMessage(pathText(fromPath)));
    }
  }

  FileDropFileManager& m_manager;
};

/// The hidden item a copy is built in, in the destination folder: locked from
/// its creation until it has its final name, and removed unless it gets one.
class FileDropFileManager::Temporary final {
 public:
  Temporary(FileDropFileManager& manager, int folder, const QByteArray& folderPath, bool isFolder)
      : m_manager(manager), m_folder(folder), m_isFolder(isFolder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      const quint64 random = QRandomGenerator::global()->generate64();
      m_name = temporaryPrefix + QByteArray::number(random, 16).rightJustified(temporaryDigits, '0') + temporarySuffix;
      m_path = FileURL::childPath(folderPath, m_name.constData());
      if (!create()) {
        if (errno == EEXIST) continue;
        fail(isFolder ? "create the folder" : "create", m_path);
      }
      if (pf::TemporaryLock::hold(m_item.get(), folder, name())) return;
      // A cleaner took it for abandoned in the instant before the lock, and removes it.
      m_item.close();
    }
    fail("create", m_path, EEXIST);
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  /// Removes what still has the temporary name: all of it unless it was named.
  ~Temporary() {
    if (!m_item.isOpen()) return;
    try {
      int removed = 0;
      m_manager.removeTree(m_folder, name(), m_path, true, removed);
    } catch (const FileError&) {
      // Left locked by nobody once we close it, it goes with the next transfer here.
    }
  }

  int item() const { return m_item.get(); }
  const char* name() const { return m_name.constData(); }
  bool isFolder() const { return m_isFolder; }

 private:
  bool create() {
    if (!m_isFolder) {
      m_item = openAt(m_folder, name(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
      return m_item.isOpen();
    }
    if (::mkdirat(m_folder, name(), 0700) != 0) return false;
    m_item = openAt(m_folder, name(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    return m_item.isOpen();
  }

  FileDropFileManager& m_manager;
  int m_folder = -1;
  bool m_isFolder = false;
  QByteArray m_name;
  QByteArray m_path;
  FileDescriptor m_item;
};

FileDropFileManager& FileDropFileManager::shared() {
  static FileDropFileManager manager;
  return manager;
}

bool FileDropFileManager::isTransferable(const struct stat& status) {
  return S_ISREG(status.st_mode) || S_ISDIR(status.st_mode) || S_ISLNK(status.st_mode);
}

QString FileDropFileManager::notTransferableMessage(const QString& path) {
  return QStringLiteral(
             "\"%1\" is a pipe, socket or device. Only files, folders and links can be copied or moved.")
      .arg(path);
}

bool FileDropFileManager::isTemporaryName(const QByteArray& name) {
  if (name.size() != temporaryPrefix.size() + temporaryDigits + temporarySuffix.size() ||
      !name.startsWith(temporaryPrefix) || !name.endsWith(temporarySuffix))
    return false;
  const QByteArray digits = name.mid(temporaryPrefix.size(), temporaryDigits);
  return std::all_of(digits.begin(), digits.end(),
                     [](char digit) { return (digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f'); });
}

QByteArray FileDropFileManager::copyItem(const QByteArray& from, const QByteArray& to, const NextName& nextName) {
  struct stat status {};
  if (::lstat(from.constData(), &status) != 0) fail("read", from);
  const FileDescriptor folder = openFolder(AT_FDCWD, FileURL::parentPath(to).constData(), FileURL::parentPath(to));
  if (S_ISLNK(status.st_mode)) return copyLink(from, folder.get(), to, nextName);
  if (!isTransferable(status))
    throw FileError(EINVAL, pathText(from), notTransferableMessage(pathText(from)));
  const bool isFolder = S_ISDIR(status.st_mode);
  const FileDescriptor source =
      isFolder ? openFolder(AT_FDCWD, from.constData(), from) : openFile(AT_FDCWD, from.constData(), from);
  Temporary temporary(*this, folder.get(), FileURL::parentPath(to), isFolder);
  Copier copier(*this);
  if (isFolder)
    copier.fillFolder(source.get(), from, temporary.item(), to, status);
  else
    copier.fillFile(source.get(), from, temporary.item(), to, status);
  waitForDisk(temporary.item(), isFolder, to);
  return publish(folder.get(), temporary, to, nextName);
}

QByteArray FileDropFileManager::copyLink(const QByteArray& from, int folder, QByteArray to,
                                         const NextName& nextName) {
  struct stat status {};
  if (::lstat(from.constData(), &status) != 0) fail("read", from);
  const QByteArray target = linkTarget(AT_FDCWD, from.constData(), from, status);
  // A link is made whole in one step, so it needs no temporary name.
  while (!makeLink(target, folder, FileURL::fileName(to).constData(), status)) {
    if (errno != EEXIST) fail("create", to);
    to = nextName();
  }
  waitForDisk(folder, false, FileURL::parentPath(to));
  return to;
}

QByteArray FileDropFileManager::publish(int folder, const Temporary& temporary, QByteArray to, const NextName& nextName) {
  for (;;) {
    const QByteArray name = FileURL::fileName(to);
    int error = renameNoReplace(folder, temporary.name(), folder, name.constData()) == 0 ? 0 : errno;
    if (error == EINVAL) error = placeWithoutRenaming(folder, temporary.name(), name.constData(), temporary.isFolder());
    if (error == 0) break;
    if (error != EEXIST) fail("create", to, error);
    to = nextName();
  }
  waitForDisk(folder, false, FileURL::parentPath(to));
  return to;
}

QByteArray FileDropFileManager::moveItem(const QByteArray& from, const QByteArray& to, const NextName& nextName) {
  const FileDescriptor folder = openFolder(AT_FDCWD, FileURL::parentPath(to).constData(), FileURL::parentPath(to));
  QByteArray target = to;
  for (;;) {
    if (renameNoReplace(AT_FDCWD, from.constData(), folder.get(), FileURL::fileName(target).constData()) == 0) {
      waitForDisk(folder.get(), false, FileURL::parentPath(target));
      const FileDescriptor sourceFolder = openFolder(AT_FDCWD, FileURL::parentPath(from).constData(), FileURL::parentPath(from));
      waitForDisk(sourceFolder.get(), false, FileURL::parentPath(from));
      return target;
    }
    const int error = errno;
    if (error == EEXIST) {
      target = nextName();
      continue;
    }
    // EINVAL: a file system that cannot rename without replacing.
    if (error == EXDEV || error == EINVAL) break;
    throw FileError(error, pathText(from),
                    QStringLiteral("Could not move \"%1\" to \"%2\": %3.")
                        .arg(pathText(from), pathText(target), qt_error_string(error)));
  }
  const QByteArray copy = copyItem(from, target, nextName);
  removeSource(from, copy);
  return copy;
}

void FileDropFileManager::removeSource(const QByteArray& from, const QByteArray& copy) {
  int removed = 0;
  try {
    removeTree(AT_FDCWD, from.constData(), from, false, removed);
  } catch (const FileError& error) {
    const QString reason = qt_error_string(error.errorNumber());
    const QString message =
        removed > 0 ? QStringLiteral("The copy at \"%1\" is complete, but the original at \"%2\" was only partly "
                                     "removed (%3). Keep the copy; what is left of the original is incomplete.")
                    : QStringLiteral("The copy at \"%1\" is complete, but the original at \"%2\" could not be "
                                     "removed (%3). Both are complete.");
    throw FileError(error.errorNumber(), pathText(from), message.arg(pathText(copy), pathText(from), reason));
  }
  const FileDescriptor sourceFolder = openFolder(AT_FDCWD, FileURL::parentPath(from).constData(), FileURL::parentPath(from));
  waitForDisk(sourceFolder.get(), false, FileURL::parentPath(from));
}

void FileDropFileManager::removeAbandoned(const QByteArray& folder) {
  const FileDescriptor opened = openAt(AT_FDCWD, folder.constData(), O_RDONLY | O_DIRECTORY);
  if (!opened.isOpen()) return;
  try {
    for (const QByteArray& name : entriesOf(opened.get(), folder)) {
      if (!isTemporaryName(name)) continue;
      const FileDescriptor held = pf::TemporaryLock::takeAbandoned(opened.get(), name.constData());
      if (!held.isOpen()) continue;
      int removed = 0;
      removeTree(opened.get(), name.constData(), FileURL::childPath(folder, name.constData()), true, removed);
    }
  } catch (const FileError&) {
    // What stays is hidden and goes with a later transfer.
  }
}

void FileDropFileManager::removeTree(int folder, const char* name, const QByteArray& path, bool ownCopy,
                                     int& removed) {
  struct stat status {};
  if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) fail("remove", path);
  if (S_ISDIR(status.st_mode)) {
    const FileDescriptor inner = openAt(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (!inner.isOpen()) fail("remove", path);
    if (ownCopy) ::fchmod(inner.get(), 0700);
    for (const QByteArray& entry : entriesOf(inner.get(), path))
      removeTree(inner.get(), entry.constData(), FileURL::childPath(path, entry.constData()), ownCopy, removed);
  }
  if (removeEntry(folder, name, S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0) != 0) fail("remove", path);
  ++removed;
}

void FileDropFileManager::copyContents(int from, int to, const QByteArray& path) {
  off_t copied = 0;
  for (;;) {
    const ssize_t chunk = ::copy_file_range(from, nullptr, to, nullptr, copyChunk, 0);
    if (chunk == 0) return;
    if (chunk > 0) {
      // Files smaller than a chunk are left to the sync before naming, which
      // writes many of them at once far faster than one at a time.
      if (size_t(chunk) == copyChunk) startWriting(to, copied, chunk);
      copied += chunk;
      continue;
    }
    if (errno == EINTR) continue;
    if (!copyFileRangeUnsupported(errno)) fail("copy", path);
    break;
  }
  // One buffer per thread, left uninitialised: clearing a fresh one for every
  // small file would cost more than copying it.
  thread_local const std::unique_ptr<char[]> buffer(new char[bufferSize]);
  off_t written = copied;
  for (;;) {
    const ssize_t got = ::read(from, buffer.get(), bufferSize);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("read", path);
    }
    for (ssize_t put = 0; put < got;) {
      const ssize_t done = ::write(to, buffer.get() + put, size_t(got - put));
      if (done < 0) {
        if (errno == EINTR) continue;
        fail("copy", path);
      }
      put += done;
    }
    copied += got;
    if (size_t(copied - written) >= copyChunk) {
      startWriting(to, written, copied - written);
      written = copied;
    }
  }
}

void FileDropFileManager::waitForDisk(int item, bool withContents, const QByteArray& path) {
  if (writeToDisk(item, withContents) != 0) fail("write", path);
}

int FileDropFileManager::writeToDisk(int item, bool withContents) {
  // For a folder's contents, one flush of the whole file system instead of
  // one per copied file, which for a tree of small files is far faster.
  return withContents ? ::syncfs(item) : ::fsync(item);
}

int FileDropFileManager::renameNoReplace(int fromFolder, const char* from, int toFolder, const char* to) {
  return ::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE);
}

int FileDropFileManager::removeEntry(int folder, const char* name, int flags) {
  return ::unlinkat(folder, name, flags);
}

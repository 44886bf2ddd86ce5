#include "filedrop/FileDropFileManager.h"

#include "platform/core/FileDescriptor.h"
#include "platform/core/FileError.h"
#include "platform/core/Files.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using pf::FileDescriptor;
using pf::FileError;

namespace {

constexpr size_t copyChunk = size_t(1) << 30;
constexpr size_t bufferSize = size_t(256) << 10;

QString pathText(const QByteArray& path) { return QFile::decodeName(path); }

[[noreturn]] void fail(const char* action, const QByteArray& path, int error = errno) {
  throw FileError::failed(error, QString::fromLatin1(action), pathText(path));
}

QByteArray joined(const QByteArray& folder, const char* name) {
  return folder.endsWith('/') ? folder + name : folder + '/' + name;
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

/// Removes the item `name` in `folder` and everything in it. For our own
/// half-made copy, folders are first made writable again, since a finished
/// sub-folder already carries its source's (perhaps read-only) mode.
void removeAt(int folder, const char* name, const QByteArray& path, bool ownCopy) {
  struct stat status {};
  if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) fail("remove", path);
  if (S_ISDIR(status.st_mode)) {
    const FileDescriptor inner = openAt(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (!inner.isOpen()) fail("remove", path);
    if (ownCopy) ::fchmod(inner.get(), 0700);
    for (const QByteArray& entry : entriesOf(inner.get(), path))
      removeAt(inner.get(), entry.constData(), joined(path, entry.constData()), ownCopy);
  }
  if (::unlinkat(folder, name, S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0) != 0) fail("remove", path);
}

void removeItem(const QString& path, bool ownCopy) {
  const QByteArray name = QFile::encodeName(path);
  removeAt(AT_FDCWD, name.constData(), name, ownCopy);
}

/// Flushes everything written to the file system holding `path`: one call
/// instead of one per copied file, which for a tree of small files is far faster.
void syncFileSystem(const QString& path) {
  const FileDescriptor folder = FileDescriptor::open(pf::Files::parentFolder(path), O_RDONLY | O_DIRECTORY);
  if (!folder.isOpen() || ::syncfs(folder.get()) != 0)
    throw FileError::failed(errno, QStringLiteral("write"), path);
}

std::array<timespec, 2> timesOf(const struct stat& status) { return {status.st_atim, status.st_mtim}; }

bool copyFileRangeUnsupported(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

/// One copy of an item tree, walked through folder descriptors so each entry
/// costs no path lookups beyond its own name.
class FileDropFileManager::Copier final {
 public:
  explicit Copier(FileDropFileManager& manager) : m_manager(manager) {}

  /// Whether the copy made its top item, so a failure has something of its own to remove.
  bool madeTopItem() const { return m_madeTopItem; }

  void copy(int fromFolder, const char* fromName, const QByteArray& fromPath, int toFolder,
            const char* toName, const QByteArray& toPath) {
    struct stat status {};
    if (::fstatat(fromFolder, fromName, &status, AT_SYMLINK_NOFOLLOW) != 0) fail("read", fromPath);
    if (S_ISLNK(status.st_mode))
      copyLink(fromFolder, fromName, fromPath, toFolder, toName, toPath, status);
    else if (S_ISREG(status.st_mode))
      copyFile(fromFolder, fromName, fromPath, toFolder, toName, toPath, status);
    else if (S_ISDIR(status.st_mode))
      copyFolder(fromFolder, fromName, fromPath, toFolder, toName, toPath, status);
    else
      throw FileError(EINVAL, pathText(fromPath), notTransferableMessage(pathText(fromPath)));
  }

 private:
  void copyLink(int fromFolder, const char* fromName, const QByteArray& fromPath, int toFolder,
                const char* toName, const QByteArray& toPath, const struct stat& status) {
    QByteArray target(qsizetype(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, '\0');
    const ssize_t length = ::readlinkat(fromFolder, fromName, target.data(), size_t(target.size()));
    if (length < 0 || length >= target.size()) fail("read the link", fromPath, length < 0 ? errno : ENAMETOOLONG);
    target.truncate(length);
    if (::symlinkat(target.constData(), toFolder, toName) != 0) fail("create", toPath);
    noteMade(toFolder);
    const std::array<timespec, 2> times = timesOf(status);
    ::utimensat(toFolder, toName, times.data(), AT_SYMLINK_NOFOLLOW);
  }

  void copyFile(int fromFolder, const char* fromName, const QByteArray& fromPath, int toFolder,
                const char* toName, const QByteArray& toPath, const struct stat& status) {
    // Non-blocking, so a pipe swapped in after the check cannot hang the open.
    const FileDescriptor from = openAt(fromFolder, fromName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (!from.isOpen()) fail("open", fromPath);
    struct stat opened {};
    if (::fstat(from.get(), &opened) != 0) fail("read", fromPath);
    if (!S_ISREG(opened.st_mode))
      throw FileError(EINVAL, pathText(fromPath), notTransferableMessage(pathText(fromPath)));
    const FileDescriptor to = openAt(toFolder, toName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (!to.isOpen()) fail("create", toPath);
    noteMade(toFolder);
    m_manager.copyContents(from.get(), to.get(), fromPath);
    finish(to.get(), toPath, status);
  }

  void copyFolder(int fromFolder, const char* fromName, const QByteArray& fromPath, int toFolder,
                  const char* toName, const QByteArray& toPath, const struct stat& status) {
    const FileDescriptor from = openAt(fromFolder, fromName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (!from.isOpen()) fail("open the folder", fromPath);
    if (::mkdirat(toFolder, toName, 0700) != 0) fail("create the folder", toPath);
    noteMade(toFolder);
    const FileDescriptor to = openAt(toFolder, toName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (!to.isOpen()) fail("open the folder", toPath);
    for (const QByteArray& entry : entriesOf(from.get(), fromPath)) {
      const char* name = entry.constData();
      copy(from.get(), name, joined(fromPath, name), to.get(), name, joined(toPath, name));
    }
    finish(to.get(), toPath, status);
  }

  /// Gives the copy its source's mode and times, once its contents are in place.
  void finish(int item, const QByteArray& path, const struct stat& status) {
    if (::fchmod(item, status.st_mode & 07777) != 0) fail("set the permissions of", path);
    const std::array<timespec, 2> times = timesOf(status);
    if (::futimens(item, times.data()) != 0) fail("set the dates of", path);
  }

  /// The top item is the only one made relative to the working folder.
  void noteMade(int toFolder) { m_madeTopItem = m_madeTopItem || toFolder == AT_FDCWD; }

  FileDropFileManager& m_manager;
  bool m_madeTopItem = false;
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

void FileDropFileManager::copyItem(const QString& from, const QString& to, bool durable) {
  const QByteArray fromPath = QFile::encodeName(from);
  const QByteArray toPath = QFile::encodeName(to);
  Copier copier(*this);
  try {
    copier.copy(AT_FDCWD, fromPath.constData(), fromPath, AT_FDCWD, toPath.constData(), toPath);
  } catch (const FileError&) {
    try {
      if (copier.madeTopItem()) removeItem(to, true);
    } catch (const FileError&) {
      // The copy's own failure is the one to report.
    }
    throw;
  }
  if (durable) syncFileSystem(to);
}

void FileDropFileManager::moveItem(const QString& from, const QString& to) {
  try {
    pf::Files::renameNoReplace(from, to);
    return;
  } catch (const FileError& error) {
    // EINVAL: a file system that cannot rename without replacing.
    if (error.errorNumber() != EXDEV && error.errorNumber() != EINVAL) throw;
  }
  copyItem(from, to, true);
  removeItem(from, false);
  pf::Files::syncFolder(pf::Files::parentFolder(from));
}

void FileDropFileManager::copyContents(int from, int to, const QByteArray& path) {
  for (;;) {
    const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, copyChunk, 0);
    if (copied == 0) return;
    if (copied > 0) continue;
    if (errno == EINTR) continue;
    if (!copyFileRangeUnsupported(errno)) fail("copy", path);
    break;
  }
  // One buffer per thread, left uninitialised: clearing a fresh one for every
  // small file would cost more than copying it.
  thread_local const std::unique_ptr<char[]> buffer(new char[bufferSize]);
  for (;;) {
    const ssize_t got = ::read(from, buffer.get(), bufferSize);
    if (got == 0) return;
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("read", path);
    }
    for (ssize_t written = 0; written < got;) {
      const ssize_t put = ::write(to, buffer.get() + written, size_t(got - written));
      if (put < 0) {
        if (errno == EINTR) continue;
        fail("copy", path);
      }
      written += put;
    }
  }
}

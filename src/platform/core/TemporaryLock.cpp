#include "platform/core/TemporaryLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace pf {
namespace {

enum class Lock { taken, heldByAnother, unsupported };

Lock lockWithoutWaiting(int item) {
  int result = 0;
  do {
    result = ::flock(item, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return Lock::taken;
  return errno == EWOULDBLOCK ? Lock::heldByAnother : Lock::unsupported;
}

/// Whether `name` in `folder` is still the open item.
bool isNamed(int item, int folder, const char* name) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(item, &opened) == 0 && ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

bool TemporaryLock::hold(int item, int folder, const char* name) {
  // Where the file system has no such locks, no cleaner can take the item either.
  return lockWithoutWaiting(item) != Lock::heldByAnother && isNamed(item, folder, name);
}

FileDescriptor TemporaryLock::takeAbandoned(int folder, const char* name) {
  // Non-blocking, so a pipe given such a name cannot hang the cleaner.
  FileDescriptor item(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!item.isOpen() || lockWithoutWaiting(item.get()) != Lock::taken || !isNamed(item.get(), folder, name))
    return {};
  return item;
}

}  // namespace pf

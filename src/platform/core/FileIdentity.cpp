#include "platform/core/FileIdentity.h"

#include <QFile>

namespace pf {

std::optional<FileIdentity> FileIdentity::of(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  const auto same = [](const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
  };
  return device == other.device && inode == other.inode && size == other.size &&
         same(modified, other.modified) && same(changed, other.changed);
}

}  // namespace pf

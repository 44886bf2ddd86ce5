#include "support/FileMode.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace test {

mode_t fileMode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
    ADD_FAILURE() << "cannot examine " << path.toStdString();
    return 0;
  }
  return info.st_mode & 07777;
}

}  // namespace test

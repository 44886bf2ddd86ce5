#include "platform/core/TemporaryLock.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using pf::FileDescriptor;
using pf::TemporaryLock;

namespace {

FileDescriptor openItem(const QString& path, int flags = O_RDONLY) {
  return FileDescriptor::open(path, flags | O_NOFOLLOW | O_NONBLOCK);
}

}  // namespace

WENDLE_TEST_HELPER(holdTemporary) {
  const FileDescriptor item = openItem(args.value(0));
  if (!item.isOpen() || !TemporaryLock::hold(item.get(), AT_FDCWD, QFile::encodeName(args.value(0)).constData()))
    return 2;
  test::tellParent("held");
  for (;;) QThread::sleep(60);
}

TEST(TemporaryLock, OnlyAnItemWhoseWriterIsGoneIsTakenForAbandoned) {
  const QString file = test::home() + "/.file.tmp";
  const QString folder = test::home() + "/.folder.tmp";
  QFile(file).open(QIODevice::WriteOnly);
  ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
  for (const QString& path : {file, folder}) {
    const QByteArray name = QFile::encodeName(path);
    test::ChildProcess writer("holdTemporary", {path});
    ASSERT_TRUE(writer.waitForLine("held")) << writer.errors().toStdString();
    EXPECT_FALSE(TemporaryLock::takeAbandoned(AT_FDCWD, name.constData()).isOpen()) << "its writer lives";
    writer.kill();
    const FileDescriptor taken = TemporaryLock::takeAbandoned(AT_FDCWD, name.constData());
    EXPECT_TRUE(taken.isOpen()) << "its writer died";
    const FileDescriptor late = openItem(path);
    EXPECT_FALSE(TemporaryLock::hold(late.get(), AT_FDCWD, name.constData())) << "a cleaner has it";
  }

  // A writer whose new item a cleaner removed before the lock makes another.
  const FileDescriptor removed = openItem(file);
  ::unlink(QFile::encodeName(file).constData());
  EXPECT_FALSE(TemporaryLock::hold(removed.get(), AT_FDCWD, QFile::encodeName(file).constData()));
  EXPECT_FALSE(TemporaryLock::takeAbandoned(AT_FDCWD, QFile::encodeName(file).constData()).isOpen());
}

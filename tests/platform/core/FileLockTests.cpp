#include "platform/core/FileLock.h"
#include "support/ChildProcess.h"
#include "support/FileMode.h"
#include "support/HelperProcess.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

using pf::FileLock;
using test::ChildProcess;

WENDLE_TEST_HELPER(holdLock) {
  auto lock = FileLock::tryLock(args.value(0));
  if (!lock) return 2;
  test::tellParent("locked");
  for (;;) QThread::sleep(60);
}

WENDLE_TEST_HELPER(idle) {
  test::tellParent("ready");
  for (;;) QThread::sleep(60);
}

TEST(FileLock, HeldByAnotherProcessFailsAtOnceAndIsFreeOnceItIsKilled) {
  const QString path = test::home() + "/data.lock";
  ChildProcess holder("holdLock", {path});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();

  QElapsedTimer timer;
  timer.start();
  const auto refused = FileLock::tryLock(path);
  const qint64 elapsed = timer.nsecsElapsed();
  EXPECT_FALSE(refused.has_value());
  std::cout << "tryLock refused in " << elapsed / 1000 << " us\n";
  EXPECT_LT(elapsed, 1'000'000'000);  // a refusal, never a wait

  holder.kill();
  auto lock = FileLock::tryLock(path);
  ASSERT_TRUE(lock.has_value());
  EXPECT_TRUE(lock->isHeld());

  EXPECT_EQ(test::fileMode(path), 0600u);
}

TEST(FileLock, TwoLocksInOneProcessConflictUntilReleased) {
  const QString path = test::home() + "/data.lock";
  auto first = FileLock::tryLock(path);
  ASSERT_TRUE(first.has_value());
  EXPECT_FALSE(FileLock::tryLock(path).has_value());

  first->release();
  EXPECT_FALSE(first->isHeld());
  EXPECT_TRUE(FileLock::tryLock(path).has_value());
  EXPECT_TRUE(QFile::exists(path)) << "lock files are never deleted";
}

TEST(FileLock, WaitingGivesUpAfterItsPatience) {
  const QString path = test::home() + "/data.lock";
  auto held = FileLock::tryLock(path);
  ASSERT_TRUE(held.has_value());
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(FileLock::lock(path, std::chrono::milliseconds(50)).has_value());
  EXPECT_GE(timer.elapsed(), 50);
  held.reset();
  EXPECT_TRUE(FileLock::lock(path, std::chrono::milliseconds(50)).has_value());
}

TEST(FileLock, AChildStartedWhileItWasHeldDoesNotKeepIt) {
  const QString path = test::home() + "/data.lock";
  auto lock = FileLock::tryLock(path);
  ASSERT_TRUE(lock.has_value());
  ChildProcess child("idle", {});
  ASSERT_TRUE(child.waitForLine("ready"));
  lock.reset();
  ASSERT_TRUE(child.isRunning());
  EXPECT_TRUE(FileLock::tryLock(path).has_value());
}

// Shows the test above can fail: a descriptor without close-on-exec is inherited
// and keeps the lock held after the parent closed its own copy.
TEST(FileLock, AnInheritedDescriptorWouldKeepTheLock) {
  const QString path = test::home() + "/data.lock";
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  ChildProcess child("idle", {});
  ASSERT_TRUE(child.waitForLine("ready"));
  ::close(fd);
  EXPECT_FALSE(FileLock::tryLock(path).has_value());
  child.kill();
  EXPECT_TRUE(FileLock::tryLock(path).has_value());
}

TEST(FileLock, AStoresLockStepThrowsItsOwnSentenceAndLogsOnlyTheSystemsReason) {
  const QString held = test::home() + "/held.lock";
  ChildProcess holder("holdLock", {held});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();
  // A lock file that cannot be opened, as on a read-only mount or owned by another user.
  const QString unopenable = test::home() + "/folder.lock";
  ASSERT_TRUE(QDir().mkdir(unopenable));
  const struct {
    const char* name;
    QString path;
    QString thrown;
    /// A line the log must hold; none: the log stays empty.
    QString logged;
  } cases[] = {
      {"free", test::home() + "/free.lock", {}, {}},
      {"held by another", held, "not granted", {}},
      {"cannot be opened", unopenable, "cannot open",
       "Test lock: Could not open the lock file \"" + unopenable + "\": " + qt_error_string(EISDIR)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test::LogCapture log;
    QString thrown;
    try {
      const FileLock lock = FileLock::take(c.path, "Test lock: %@", std::runtime_error("cannot open"),
                                           std::runtime_error("not granted"));
      EXPECT_TRUE(lock.isHeld());
    } catch (const std::runtime_error& error) {
      thrown = QString::fromUtf8(error.what());
    }
    EXPECT_EQ(thrown, c.thrown);
    if (c.logged.isEmpty()) {
      EXPECT_EQ(log.text(), QString());
    } else {
      EXPECT_TRUE(log.text().contains(c.logged)) << log.text().toStdString();
    }
  }
}

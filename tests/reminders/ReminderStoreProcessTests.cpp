// The journal against second real processes: a held lock refuses every change
// at once, and launched programs never keep the lock.
#include "platform/core/FileLock.h"
#include "reminders/ReminderSupport.h"
#include "shortcuts/QuibError.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

using test::ChildProcess;
using test::journalFile;
using test::journalFolder;
using test::messageOf;
using test::reminder;

namespace {

const QString busy = QStringLiteral("Another Wendle is updating reminders. Try again shortly.");
const QDateTime saveMoment(QDate(2026, 3, 7), QTime(15, 0), Qt::UTC);

}  // namespace

WENDLE_TEST_HELPER(holdJournalLock) {
  pf::Files::makeFolders(args.value(0));
  auto lock = pf::FileLock::tryLock(args.value(0) + "/reminders.lock");
  if (!lock) return 2;
  test::tellParent("locked");
  for (;;) QThread::sleep(60);
}

TEST(ReminderStoreProcesses, WhileAnotherProcessHoldsTheLockEveryChangeFailsAtOnce) {
  ReminderStore store(journalFolder());
  store.save(reminder("R1"), std::nullopt, saveMoment);
  const QByteArray before = test::contentsOf(journalFile());
  ChildProcess holder("holdJournalLock", {journalFolder()});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();

  QElapsedTimer timer;
  timer.start();
  const std::function<void()> changes[] = {
      [&] { store.save(reminder("R2"), std::nullopt, saveMoment); },
      [&] { store.pause("R1", true); },
      [&] { store.remove("R1"); },
  };
  for (const auto& change : changes) {
    EXPECT_EQ(messageOf(change), busy);
    EXPECT_EQ(store.failure(), busy);
  }
  EXPECT_LT(timer.elapsed(), 1000);  // refused, never waited for
  EXPECT_EQ(test::contentsOf(journalFile()), before);
  EXPECT_EQ(store.file().reminders, std::vector{reminder("R1")});

  holder.kill();
  // A lock file that cannot be opened, as on a read-only mount, has a sentence of its own.
  const QString lockFile = journalFile("reminders.lock");
  ASSERT_TRUE(QFile::remove(lockFile) && QDir().mkdir(lockFile));
  for (const auto& change : changes) EXPECT_EQ(messageOf(change), "Cannot open the reminders lock.");
  ASSERT_TRUE(QDir().rmdir(lockFile));
  EXPECT_EQ(test::contentsOf(journalFile()), before);

  store.pause("R1", true);
  EXPECT_TRUE(store.file().reminders[0].paused);
}

TEST(ReminderStoreProcesses, AProgramStartedDuringAChangeDoesNotKeepTheLock) {
  ReminderStore store(journalFolder());
  qint64 child = 0;
  const auto writer = store.write;
  store.write = [&](const QByteArray& bytes, const QString& path) {
    if (child == 0) QProcess::startDetached("sleep", {"30"}, {}, &child);
    writer(bytes, path);
  };
  store.save(reminder("R1"), std::nullopt, saveMoment);
  ASSERT_GT(child, 0);
  EXPECT_TRUE(pf::FileLock::tryLock(journalFile("reminders.lock")).has_value());
  ::kill(pid_t(child), SIGKILL);
}

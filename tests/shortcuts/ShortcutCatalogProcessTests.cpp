// The catalog against a second real process: the lock, changes made by
// another running copy, and a migration killed between its steps.
#include "platform/core/FileLock.h"
#include "shortcuts/RepositorySupport.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"

#include <QElapsedTimer>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using test::catalogFile;
using test::catalogFolder;
using test::catalogOf;
using test::ChildProcess;
using test::messageOf;
using test::readCatalogFile;

namespace {

const QString busy = QStringLiteral("Another Wendle is saving shortcuts. Try again after it finishes.");

}  // namespace

WENDLE_TEST_HELPER(holdCatalogLock) {
  auto lock = pf::FileLock::tryLock(args.value(0) + "/shortcuts.lock");
  if (!lock) return 2;
  test::tellParent("locked");
  for (;;) QThread::sleep(60);
}

WENDLE_TEST_HELPER(changeCatalog) {
  ShortcutCatalogRepository repository(args.value(0));
  repository.load([] { return catalogOf(1); }, std::nullopt);
  repository.save(catalogOf(7), {});
  return 0;
}

/// Creates a catalog and dies right after the named file is written.
WENDLE_TEST_HELPER(seedAndDie) {
  const QString dieAfter = args.value(1);
  ShortcutCatalogRepository repository(args.value(0));
  const auto writer = repository.write;
  repository.write = [&](const QByteArray& bytes, const QString& path) {
    writer(bytes, path);
    if (path.endsWith(u'/' + dieAfter)) std::raise(SIGKILL);
  };
  repository.load([] { return catalogOf(5); }, QByteArray("legacy"));
  return 3;
}

TEST(CatalogProcesses, WhileAnotherProcessHoldsTheLockNothingIsReadOrWritten) {
  auto repository = test::loadedRepository();
  const auto before = test::catalogFolderNames();
  const QByteArray primary = *readCatalogFile("shortcuts.json");

  ChildProcess holder("holdCatalogLock", {catalogFolder()});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();
  QElapsedTimer timer;
  timer.start();
  bool prepared = false;
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(5), [&] { prepared = true; }); }), busy);
  ShortcutCatalogRepository other(catalogFolder());
  int seeded = 0;
  EXPECT_EQ(messageOf([&] { other.load([&] { return ++seeded, catalogOf(1); }, std::nullopt); }), busy);
  EXPECT_LT(timer.elapsed(), 1000);  // refused at once, never waited for
  EXPECT_FALSE(prepared);
  EXPECT_EQ(seeded, 0);
  EXPECT_EQ(test::catalogFolderNames(), before);
  EXPECT_EQ(readCatalogFile("shortcuts.json"), primary);

  holder.kill();
  repository.save(catalogOf(5), {});
  EXPECT_EQ(readCatalogFile("shortcuts.json"), catalogOf(5).encoded());
}

TEST(CatalogProcesses, AFreshFolderLockedElsewhereIsNotSeeded) {
  QDir().mkpath(catalogFolder());
  ChildProcess holder("holdCatalogLock", {catalogFolder()});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();
  ShortcutCatalogRepository repository(catalogFolder());
  EXPECT_EQ(messageOf([&] { repository.load([] { return catalogOf(1); }, std::nullopt); }), busy);
  EXPECT_EQ(test::catalogFolderNames(), QStringList{"shortcuts.lock"});
}

TEST(CatalogProcesses, ASaveAfterAnotherProcessChangedTheFileIsRefused) {
  auto repository = test::loadedRepository();
  ChildProcess other("changeCatalog", {catalogFolder()});
  ASSERT_EQ(other.finish(), 0) << other.errors().toStdString();
  const QByteArray theirs = *readCatalogFile("shortcuts.json");
  ASSERT_EQ(theirs, catalogOf(7).encoded());

  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(3), {}); }),
            "The shortcut catalog changed elsewhere. Reopen Wendle before editing it. Nothing was overwritten.");
  EXPECT_EQ(readCatalogFile("shortcuts.json"), theirs);
}

TEST(CatalogProcesses, TheMigrationRunsOnceEvenWhenKilledBetweenItsSteps) {
  for (const QString& dieAfter : {QStringLiteral("shortcuts.migration.json"), QStringLiteral("shortcuts.json")}) {
    const QString folder = catalogFolder() + "/after-" + QString(dieAfter).remove('.');
    ChildProcess first("seedAndDie", {folder, dieAfter});
    EXPECT_EQ(first.finish(), -1) << "the helper was meant to die after writing " << dieAfter.toStdString();
    const QByteArray record = *pf::Files::read(folder + "/shortcuts.migration.json");

    int seeded = 0;
    ShortcutCatalogRepository repository(folder);
    const auto loaded = repository.load([&] { return ++seeded, catalogOf(9); }, std::nullopt);
    EXPECT_EQ(seeded, 0) << dieAfter.toStdString();
    EXPECT_EQ(loaded.catalog, catalogOf(5));
    EXPECT_EQ(pf::Files::read(folder + "/shortcuts.json"), catalogOf(5).encoded());
    EXPECT_EQ(pf::Files::read(folder + "/shortcuts.migration.json"), record);
  }
}

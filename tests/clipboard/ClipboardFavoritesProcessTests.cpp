// The store against other real processes: a held lock, and running copies
// adding favorites at the same time while another one reads.
#include "clipboard/FavoritesSupport.h"
#include "platform/core/FileLock.h"
#include "shortcuts/QuibError.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using test::ChildProcess;
using test::favorite;
using test::favoritesBytes;
using test::favoritesFolder;
using test::messageOf;

WENDLE_TEST_HELPER(holdFavoritesLock) {
  QDir().mkpath(args.value(0));
  auto lock = pf::FileLock::tryLock(args.value(0) + "/clipboard-favorites.lock");
  if (!lock) return 2;
  test::tellParent("locked");
  for (;;) QThread::sleep(60);
}

/// Adds favorites "<prefix>0" to "<prefix><count - 1>", trying again while another copy saves.
WENDLE_TEST_HELPER(addFavorites) {
  ClipboardFavoritesStore store(args.value(0));
  const int count = args.value(2).toInt();
  for (int i = 0; i < count; ++i) {
    for (;;) {
      try {
        store.save(favorite(args.value(1) + QString::number(i)), std::nullopt);
        break;
      } catch (const QuibError& error) {
        if (error.message() != test::busyMessage) return 3;
        QThread::usleep(QRandomGenerator::global()->bounded(100, 1000));
      }
    }
  }
  return 0;
}

TEST(FavoritesProcesses, WhileAnotherHolderHasTheLockEveryChangeFailsAtOnce) {
  ClipboardFavoritesStore mine(favoritesFolder());
  mine.save(favorite("A", "links"), std::nullopt);
  const QByteArray before = favoritesBytes();
  const std::function<void()> changes[] = {
      [&] { mine.save(favorite("B"), std::nullopt); },
      [&] {
        mine.save({"A", "Edited", "T", "links"}, favorite("A", "links"));
      },
      [&] { mine.deleteFavorite(favorite("A", "links")); },
      [&] { mine.addList("Work"); },
      [&] {
        mine.renameList({"tags", "#Tags"}, "Labels");
      },
      [&] {
        mine.deleteList({"links", "Links"});
      },
  };
  const auto expectAllRefused = [&](const char* holder, const QString& message = test::busyMessage) {
    for (const auto& change : changes) {
      QElapsedTimer timer;
      timer.start();
      EXPECT_EQ(messageOf(change), message) << holder;
      EXPECT_LT(timer.elapsed(), 100) << holder;
    }
    EXPECT_EQ(messageOf([&] {
                mine.save({"X", "", "T", "others"}, std::nullopt);
              }),
              test::nameMessage)
        << "checks that need no file come before the lock";
    EXPECT_EQ(favoritesBytes(), before);
    EXPECT_EQ(mine.items(), std::vector{favorite("A", "links")});
    EXPECT_EQ(mine.lists(), ClipboardFavoritesFile::empty().lists);
  };

  ChildProcess holder("holdFavoritesLock", {favoritesFolder()});
  ASSERT_TRUE(holder.waitForLine("locked")) << holder.errors().toStdString();
  expectAllRefused("another process");
  holder.kill();
  {
    // Each change opens the lock file anew, so a second store in this process is excluded too.
    const auto held = pf::FileLock::tryLock(test::favoritesPath("clipboard-favorites.lock"));
    ASSERT_TRUE(held);
    expectAllRefused("this process");
  }
  // A lock file that cannot be opened, as on a read-only mount, has a sentence of its own.
  const QString lockFile = test::favoritesPath("clipboard-favorites.lock");
  ASSERT_TRUE(QFile::remove(lockFile) && QDir().mkdir(lockFile));
  expectAllRefused("no lock file", "Cannot open the favorites lock.");
  ASSERT_TRUE(QDir().rmdir(lockFile));
  mine.deleteList({"links", "Links"});
  EXPECT_EQ(ClipboardFavoritesStore(favoritesFolder()).items(), std::vector{favorite("A")});
}

TEST(FavoritesProcesses, CopiesAddingAtOnceLoseNothingAndAReaderNeverSeesAPartialFile) {
  constexpr int writers = 4;
  constexpr int each = 50;
  std::vector<std::unique_ptr<ChildProcess>> children;
  for (int w = 0; w < writers; ++w)
    children.push_back(std::make_unique<ChildProcess>(
        "addFavorites",
        QStringList{favoritesFolder(), QStringLiteral("w%1-").arg(w), QString::number(each)}));

  int reads = 0;
  size_t seen = 0;
  std::vector<std::optional<int>> statuses(writers);
  // QProcess notices an exit only while it is asked.
  const auto anyRunning = [&] {
    for (int w = 0; w < writers; ++w) {
      if (statuses[w]) continue;
      const int status = children[w]->finish(0);
      if (!children[w]->isRunning()) statuses[w] = status;
    }
    return std::any_of(statuses.begin(), statuses.end(), [](const auto& status) { return !status; });
  };
  while (anyRunning()) {
    const auto bytes = pf::Files::read(test::favoritesPath());
    if (!bytes) continue;
    ClipboardFavoritesFile file;
    ASSERT_NO_THROW({
      file = ClipboardFavoritesFile::decode(*bytes);
      file.validate();
    }) << "read "
       << reads << ": " << bytes->left(200).toStdString();
    EXPECT_GE(file.items.size(), seen) << "a save was lost";
    seen = file.items.size();
    ++reads;
  }
  for (int w = 0; w < writers; ++w) EXPECT_EQ(statuses[w], 0) << children[w]->errors().toStdString();

  const ClipboardFavoritesStore after(favoritesFolder());
  QSet<QString> ids;
  for (const ClipboardFavorite& item : after.items()) ids.insert(item.id);
  EXPECT_EQ(after.items().size(), size_t(writers * each));
  for (int w = 0; w < writers; ++w)
    for (int i = 0; i < each; ++i) EXPECT_TRUE(ids.contains(QStringLiteral("w%1-%2").arg(w).arg(i)));
  EXPECT_GT(reads, 0);
}

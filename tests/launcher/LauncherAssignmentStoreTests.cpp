#include "launcher/LauncherAssignmentStore.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "platform/core/NotificationCenter.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "support/ChildProcess.h"
#include "support/FileMode.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

using Slots = std::map<QString, QString>;
using test::ChildProcess;

namespace {

const QString conflict = QStringLiteral(
    "The shortcut catalog changed elsewhere. Reopen Wendle before editing it. Nothing was "
    "overwritten.");

std::vector<Shortcut> catalog() {
  std::vector<Shortcut> list;
  for (const char* id : {"alpha", "bravo", "charlie", "delta", "echo"}) {
    Shortcut item;
    item.id = item.label = QString::fromUtf8(id);
    list.push_back(item);
  }
  return list;
}

const LauncherGrid grid{2, 1, 1.0};
const LauncherGrid wider{3, 1, 1.0};  // every shortcut on one row of six

QString folder() { return test::home() + QStringLiteral("/Library/Application Support/Quib Bot"); }

QByteArray contents(const QString& path) { return pf::Files::read(path).value_or("(missing)"); }

/// The file's identity: a replacement by rename gives a new inode.
ino_t inode(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
  return info.st_ino;
}

QString errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
  return QStringLiteral("no error");
}

}  // namespace

// A second running copy: opens the same folder, reconciles, and moves the
// first shortcut onto the top-left wide button.
WENDLE_TEST_HELPER(otherCopyMovesAlpha) {
  LauncherAssignmentStore store(args.value(0), catalog(), wider);
  if (!store.update(catalog(), wider)) return 2;
  store.assign(QStringLiteral("alpha"), {0, true, 0, 0}, catalog(), wider);
  return 0;
}

namespace {

// Two shortcuts per copy: copy n keeps "n-a" and "n-b" on the two wide
// buttons of column n and swaps them, with nobody else touching them.
std::vector<Shortcut> pairs() {
  std::vector<Shortcut> list;
  for (int copy = 0; copy < 4; ++copy)
    for (const char* side : {"a", "b"}) {
      Shortcut item;
      item.id = item.label = QStringLiteral("%1-%2").arg(copy).arg(QLatin1String(side));
      list.push_back(item);
    }
  return list;
}

const LauncherGrid pairGrid{4, 1, 1.0};

/// Whether copy `n`'s pair sits as it left it: "n-a" on the upper wide button
/// after an even number of swaps, on the lower one after an odd number.
bool pairInPlace(const LauncherAssignments& value, int copy, int swaps) {
  const QString upper = QStringLiteral("0:w:0:%1").arg(copy);
  const QString lower = QStringLiteral("0:w:1:%1").arg(copy);
  const QString a = QStringLiteral("%1-a").arg(copy), b = QStringLiteral("%1-b").arg(copy);
  const auto at = [&](const QString& key) {
    const auto it = value.slotIDs.find(key);
    return it == value.slotIDs.end() ? QString() : it->second;
  };
  return swaps % 2 == 0 ? at(upper) == a && at(lower) == b : at(upper) == b && at(lower) == a;
}

}  // namespace

// A running copy that swaps its pair 50 times. A conflict makes it reopen the
// file, where every swap it was told had succeeded must still be in place,
// and try again.
WENDLE_TEST_HELPER(swapsWithRetries) {
  const int copy = args.value(1).toInt();
  const QString a = QStringLiteral("%1-a").arg(copy), b = QStringLiteral("%1-b").arg(copy);
  auto store = std::make_unique<LauncherAssignmentStore>(args.value(0), pairs(), pairGrid);
  int succeeded = -1;  // the placement of the pair counts as the first success
  for (int attempt = 0; succeeded < 50 && attempt < 5000; ++attempt) {
    if (store->error()) return 4;
    try {
      if (succeeded < 0) {
        store->assign(a, {0, true, 0, copy}, pairs(), pairGrid);
        store->assign(b, {0, true, 1, copy}, pairs(), pairGrid);
      } else {
        store->assign(a, *store->value().slot(b), pairs(), pairGrid);
      }
      ++succeeded;
    } catch (const CatalogError& error) {
      if (error.kind() != CatalogError::Case::conflict) return 5;
      store = std::make_unique<LauncherAssignmentStore>(args.value(0), pairs(), pairGrid);
      if (succeeded >= 0 && !pairInPlace(store->value(), copy, succeeded)) {
        std::fprintf(stderr, "copy %d lost swap %d\n", copy, succeeded);
        return 3;
      }
    }
  }
  return succeeded == 50 ? 0 : 6;
}

// Found no file, then waits for the folder while the parent writes one.
WENDLE_TEST_HELPER(opensWhileAFileAppears) {
  test::tellParent("opening");
  LauncherAssignmentStore store(args.value(0), catalog(), grid);
  std::fprintf(stderr, "%s\n", qPrintable(store.error().value_or("no error")));
  return store.error() == conflict ? 0 : 1;
}

TEST(LauncherAssignmentStore, FourCopiesSwappingAtOnceLoseNoReportedSwap) {
  LauncherAssignmentStore(folder(), pairs(), pairGrid);
  std::vector<std::unique_ptr<ChildProcess>> copies;
  for (int copy = 0; copy < 4; ++copy)
    copies.push_back(std::make_unique<ChildProcess>(
        "swapsWithRetries", QStringList{folder(), QString::number(copy)}));
  for (auto& child : copies) EXPECT_EQ(child->finish(), 0) << child->errors().toStdString();

  LauncherAssignmentStore reopened(folder(), pairs(), pairGrid);
  for (int copy = 0; copy < 4; ++copy) EXPECT_TRUE(pairInPlace(reopened.value(), copy, 50)) << copy;
}

TEST(LauncherAssignmentStore, AFileThatAppearsAfterTheStoreFoundNoneIsAConflict) {
  pf::Files::makeFolders(folder());
  std::optional<pf::FileLock> held = pf::FileLock::lockFolder(folder(), std::chrono::seconds(1));
  ASSERT_TRUE(held);
  ChildProcess other("opensWhileAFileAppears", {folder()});
  ASSERT_TRUE(other.waitForLine("opening"));
  QThread::msleep(300);
  const QByteArray theirs = LauncherAssignments(catalog(), grid).encoded();
  test::writeFile(folder() + "/launcher-positions.json", theirs);
  held->release();
  EXPECT_EQ(other.finish(), 0) << other.errors().toStdString();
  EXPECT_EQ(contents(folder() + "/launcher-positions.json"), theirs);
}

TEST(LauncherAssignmentStore, AFirstRunCreatesThePrivateFolderAndFile) {
  ASSERT_FALSE(QFileInfo::exists(folder()));
  LauncherAssignmentStore& store = LauncherAssignmentStore::shared(catalog(), grid);
  EXPECT_EQ(&LauncherAssignmentStore::shared({}, {3, 3, 1.0}), &store);
  EXPECT_FALSE(store.error()) << store.error()->toStdString();
  EXPECT_EQ(store.url(), folder() + "/launcher-positions.json");
  EXPECT_EQ(test::fileMode(folder()), 0700u);
  EXPECT_EQ(test::fileMode(store.url()), 0600u);
  EXPECT_EQ(store.value(), LauncherAssignments(catalog(), grid));
  EXPECT_EQ(store.expected(), contents(store.url()));
  EXPECT_FALSE(QFileInfo::exists(store.previousURL()));
  LauncherAssignmentStore::resetShared();
}

TEST(LauncherAssignmentStore, TheFileRoundTripsExactlyAndAnUnchangedUpdateWritesNothing) {
  QByteArray written;
  {
    LauncherAssignmentStore store(folder(), catalog(), grid);
    store.assign(QStringLiteral("echo"), {0, true, 1, 0}, catalog(), grid);
    written = contents(store.url());
  }
  const ino_t before = inode(folder() + "/launcher-positions.json");
  LauncherAssignmentStore reopened(folder(), catalog(), grid);
  EXPECT_FALSE(reopened.error());
  EXPECT_EQ(reopened.expected(), written);
  EXPECT_EQ(reopened.value().encoded(), written);
  EXPECT_EQ(reopened.value().slotIDs.at("0:w:1:0"), "echo");
  const QByteArray previous = contents(reopened.previousURL());

  EXPECT_TRUE(reopened.update(catalog(), grid));
  EXPECT_EQ(inode(reopened.url()), before);
  EXPECT_EQ(contents(reopened.url()), written);
  EXPECT_EQ(contents(reopened.previousURL()), previous);
}

TEST(LauncherAssignmentStore, ASwapPersistsThroughAReloadAndTheOldBytesBecomeThePreviousCopy) {
  LauncherAssignmentStore store(folder(), catalog(), grid);
  const QByteArray first = contents(store.url());
  int notified = 0;
  const pf::ObserverToken observer = pf::NotificationCenter::defaultCenter().addObserver(
      LauncherAssignmentStore::changed, &store, [&](const pf::Notification&) { ++notified; });

  store.assign(QStringLiteral("alpha"), {0, false, 0, 3}, catalog(), grid);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(contents(store.previousURL()), first);
  EXPECT_EQ(test::fileMode(store.previousURL()), 0600u);
  const QByteArray second = contents(store.url());
  EXPECT_EQ(store.expected(), second);

  // Updates never notify, and a changed grid rewrites the file once.
  EXPECT_TRUE(store.update(catalog(), {3, 1, 1.0}));
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(contents(store.previousURL()), second);
  EXPECT_TRUE(store.update(catalog(), grid));

  LauncherAssignmentStore reloaded(folder(), catalog(), grid);
  EXPECT_TRUE(reloaded.update(catalog(), grid));
  EXPECT_EQ(reloaded.value().slotIDs,
            (Slots{{"0:s:0:0", "delta"}, {"0:s:0:1", "bravo"}, {"0:s:0:2", "charlie"},
                   {"0:s:0:3", "alpha"}, {"1:s:0:0", "echo"}}));
  EXPECT_EQ(reloaded.value(), store.value());
}

TEST(LauncherAssignmentStore, AnUnreadableFileIsKeptAndNeverOverwritten) {
  const QString path = folder() + "/launcher-positions.json";
  const QByteArray fromNewerVersion =
      R"({"version": 2, "columns": 2, "rows": 1, "slots": {}, "waiting": []})";
  for (const QByteArray& damaged :
       {QByteArray("{ not json"), QByteArray(R"({"version": 1})"), fromNewerVersion}) {
    SCOPED_TRACE(damaged.toStdString());
    test::writeFile(path, damaged);
    LauncherAssignmentStore store(folder(), catalog(), grid);
    ASSERT_TRUE(store.error());
    EXPECT_FALSE(store.expected());
    EXPECT_EQ(store.value(), LauncherAssignments(catalog(), grid));
    EXPECT_FALSE(store.update(catalog(), grid));
    EXPECT_EQ(errorOf([&] { store.assign(std::nullopt, {0, false, 0, 0}, catalog(), grid); }),
              *store.error());
    EXPECT_EQ(contents(path), damaged);
    EXPECT_FALSE(QFileInfo::exists(store.previousURL()));
  }
  LauncherAssignmentStore newer(folder(), catalog(), grid);
  EXPECT_EQ(newer.error(),
            "The saved button positions cannot be read. They were preserved unchanged.");
}

TEST(LauncherAssignmentStore, AFileAnotherCopyChangedIsNotOverwritten) {
  LauncherAssignmentStore store(folder(), catalog(), wider);
  const QByteArray mine = contents(store.url());

  ChildProcess other("otherCopyMovesAlpha", {folder()});
  ASSERT_EQ(other.finish(), 0) << other.errors().toStdString();
  const QByteArray theirs = contents(store.url());
  ASSERT_NE(theirs, mine);
  ASSERT_EQ(contents(store.previousURL()), mine);

  // A refused arrangement reports the conflict and leaves the store usable...
  EXPECT_EQ(errorOf([&] { store.assign(QStringLiteral("bravo"), {0, true, 1, 1}, catalog(),
                                      wider); }),
            conflict);
  EXPECT_FALSE(store.error());
  // ...a refused update leaves it refusing until the program restarts, yet
  // fits the buttons in memory to a smaller grid, so none is out of reach.
  EXPECT_FALSE(store.update(catalog(), grid));
  EXPECT_EQ(store.error(), conflict);
  EXPECT_EQ(store.value(), LauncherAssignments(catalog(), grid));
  EXPECT_EQ(store.expected(), mine);
  EXPECT_EQ(errorOf([&] { store.assign(std::nullopt, {0, false, 0, 0}, catalog(), grid); }),
            conflict);
  EXPECT_EQ(contents(store.url()), theirs);
  EXPECT_EQ(contents(store.previousURL()), mine);
}

TEST(LauncherAssignmentStore, AFileDeletedAfterItWasReadFailsWithTheReadError) {
  LauncherAssignmentStore store(folder(), catalog(), grid);
  ASSERT_TRUE(QFile::remove(store.url()));
  const QString error =
      errorOf([&] { store.assign(QStringLiteral("bravo"), {0, true, 0, 0}, catalog(), grid); });
  EXPECT_TRUE(error.contains(store.url())) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(store.url()));
}

TEST(LauncherAssignmentStore, TheLargestGridAWindowCanAskForStillSaves) {
  LauncherAssignmentStore store(folder(), catalog(), grid);
  EXPECT_TRUE(store.update(catalog(), LauncherGrid::fitting({10000, 10000}, 0.8)));
  EXPECT_EQ(store.value().rows, 127);
  EXPECT_TRUE(store.update(catalog(), LauncherGrid::fitting({1e7, 1e7}, 0.8)));
  EXPECT_FALSE(store.error());
}

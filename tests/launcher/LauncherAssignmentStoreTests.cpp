#include "launcher/LauncherAssignmentStore.h"
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
  LauncherAssignmentStore store(args.value(0), catalog(), grid);
  if (!store.update(catalog(), grid)) return 2;
  store.assign(QStringLiteral("alpha"), {0, true, 0, 0}, catalog(), grid);
  return 0;
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
  LauncherAssignmentStore store(folder(), catalog(), grid);
  const QByteArray mine = contents(store.url());

  ChildProcess other("otherCopyMovesAlpha", {folder()});
  ASSERT_EQ(other.finish(), 0) << other.errors().toStdString();
  const QByteArray theirs = contents(store.url());
  ASSERT_NE(theirs, mine);
  ASSERT_EQ(contents(store.previousURL()), mine);

  // A refused arrangement reports the conflict and leaves the store usable...
  EXPECT_EQ(errorOf([&] { store.assign(QStringLiteral("bravo"), {0, true, 1, 1}, catalog(),
                                      grid); }),
            conflict);
  EXPECT_FALSE(store.error());
  // ...a refused update leaves it refusing until the program restarts.
  EXPECT_FALSE(store.update(catalog(), grid));
  EXPECT_EQ(store.error(), conflict);
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

// The store on real files in the test's own home folder.
#include "clipboard/FavoritesSupport.h"
#include "platform/core/FileError.h"
#include "platform/core/FileLock.h"
#include "support/FileMode.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using test::favorite;
using test::favoritesBytes;
using test::favoritesFolder;
using test::favoritesFolderNames;
using test::favoritesPath;
using test::listMessage;
using test::messageOf;
using test::nameMessage;
using test::unsupportedMessage;
using test::writeFavorites;

namespace {

const QString reserved = QStringLiteral("All is reserved for the combined view.");
const QString taken = QStringLiteral("A list with that name already exists.");
const QString saveConflict = QStringLiteral("This favorite changed elsewhere. Reopen it before saving.");
const QString deleteConflict =
    QStringLiteral("This favorite changed elsewhere. Review it again before deleting.");

const QByteArray version1 = R"({"version": 1, "items": [{"id": "A", "name": "Old", "text": "old text"}]})";

ino_t inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

ClipboardFavoritesStore store() { return ClipboardFavoritesStore(favoritesFolder()); }

/// A store whose writes are counted.
struct CountedStore {
  ClipboardFavoritesStore store = ClipboardFavoritesStore(favoritesFolder());
  int writes = 0;

  CountedStore() {
    store.write = [this, real = store.write](const QByteArray& bytes, const QString& path) {
      ++writes;
      real(bytes, path);
    };
  }
};

ClipboardFavoriteList listNamed(const ClipboardFavoritesStore& store, const QString& name) {
  for (const ClipboardFavoriteList& list : store.lists())
    if (list.name == name) return list;
  ADD_FAILURE() << "no list " << name.toStdString();
  return {};
}

/// Every changing operation, for checks that hold for all of them.
const std::vector<std::pair<const char*, std::function<void(ClipboardFavoritesStore&)>>>& everyChange() {
  static const std::vector<std::pair<const char*, std::function<void(ClipboardFavoritesStore&)>>> changes{
      {"save", [](ClipboardFavoritesStore& s) { s.save(favorite("N"), std::nullopt); }},
      {"delete", [](ClipboardFavoritesStore& s) { s.deleteFavorite(favorite("A")); }},
      {"add list", [](ClipboardFavoritesStore& s) { s.addList("New"); }},
      {"rename list",
       [](ClipboardFavoritesStore& s) {
         s.renameList({"links", "Links"}, "Web");
       }},
      {"delete list",
       [](ClipboardFavoritesStore& s) {
         s.deleteList({"links", "Links"});
       }},
  };
  return changes;
}

}  // namespace

TEST(FavoritesStore, AFirstChangeCreatesAPrivateFolderLockAndFileAndNoBackup) {
  ClipboardFavoritesStore first = store();
  EXPECT_EQ(first.lists(), ClipboardFavoritesFile::empty().lists);
  EXPECT_TRUE(first.items().empty());
  EXPECT_EQ(first.failure(), std::nullopt);
  EXPECT_FALSE(QFile::exists(favoritesFolder()));

  first.save(favorite("A"), std::nullopt);
  EXPECT_EQ(test::fileMode(favoritesFolder()), 0700u);
  EXPECT_EQ(test::fileMode(favoritesPath("clipboard-favorites.lock")), 0600u);
  EXPECT_EQ(test::fileMode(favoritesPath()), 0600u);
  EXPECT_EQ(favoritesFolderNames(), (QStringList{"clipboard-favorites.json", "clipboard-favorites.lock"}));
  EXPECT_EQ(favoritesBytes(), (ClipboardFavoritesFile{4, first.lists(), {favorite("A")}}.encoded()));
  EXPECT_EQ(store().items(), std::vector{favorite("A")});
}

TEST(FavoritesStore, AChangeThatAltersNothingWritesNothingYetSucceeds) {
  writeFavorites(ClipboardFavoritesFile{4, ClipboardFavoritesFile::empty().lists, {favorite("A")}}.encoded());
  const QByteArray good = favoritesBytes();
  CountedStore counted;
  ClipboardFavoritesStore& mine = counted.store;
  writeFavorites("damaged");
  EXPECT_ANY_THROW(mine.reload());
  ASSERT_TRUE(mine.failure());
  writeFavorites(good);

  ClipboardFavoritesStore other = store();
  other.save(favorite("B"), std::nullopt);
  const QByteArray theirs = favoritesBytes();
  const ino_t theirInode = inode(favoritesPath());

  mine.save(favorite("A"), favorite("A"));
  EXPECT_EQ(inode(favoritesPath()), theirInode);
  EXPECT_EQ(favoritesBytes(), theirs);
  mine.renameList({"links", "Links"}, " Links ");
  mine.addList("Work");
  const ClipboardFavoriteList work = listNamed(mine, "Work");
  EXPECT_EQ(counted.writes, 1);
  mine.renameList(work, "Work\t");
  EXPECT_EQ(counted.writes, 1);
  EXPECT_EQ(mine.failure(), std::nullopt);
  EXPECT_EQ(mine.items(), (std::vector{favorite("A"), favorite("B")}))
      << "the other store's change is taken in";

  writeFavorites(version1);
  const ClipboardFavorite old{"A", "Old", "old text", "others"};
  mine.save(old, old);
  mine.renameList({"tags", "#Tags"}, "#Tags ");
  EXPECT_EQ(favoritesBytes(), (version1)) << "an older file that keeps its contents is not converted";
  EXPECT_EQ(counted.writes, 1);
  EXPECT_EQ(favoritesFolderNames(), (QStringList{"clipboard-favorites.json", "clipboard-favorites.lock"}));
}

TEST(FavoritesStore, ChangesMadeElsewhereAreNeverOverwritten) {
  const ClipboardFavorite a = favorite("A", "links");
  const ClipboardFavorite edited{"A", "Edited", "Edited text", "links"};
  const struct {
    const char* what;
    std::function<void(ClipboardFavoritesStore& other)> elsewhere;
    std::function<void(ClipboardFavoritesStore& mine)> change;
    QString message;
  } cases[] = {
      {"a new favorite with a taken id",
       {},
       [&](auto& s) { s.save(favorite("A"), std::nullopt); },
       saveConflict},
      {"an edit of a favorite edited elsewhere", [&](auto& o) { o.save(edited, a); },
       [&](auto& s) {
         s.save({"A", "Mine", "T", "links"}, a);
       },
       saveConflict},
      {"an edit of a favorite deleted elsewhere", [&](auto& o) { o.deleteFavorite(a); },
       [&](auto& s) { s.save(edited, a); }, saveConflict},
      {"a save into a list deleted elsewhere",
       [&](auto& o) {
         o.deleteList({"links", "Links"});
       },
       [&](auto& s) { s.save(edited, a); },
       "That list no longer exists. Reopen the favorite to choose another list."},
      {"a delete of a favorite deleted elsewhere", [&](auto& o) { o.deleteFavorite(a); },
       [&](auto& s) { s.deleteFavorite(a); }, deleteConflict},
      {"a delete of a favorite edited elsewhere", [&](auto& o) { o.save(edited, a); },
       [&](auto& s) { s.deleteFavorite(a); }, deleteConflict},
      {"a rename of a list renamed elsewhere",
       [&](auto& o) {
         o.renameList({"links", "Links"}, "Web");
       },
       [&](auto& s) {
         s.renameList({"links", "Links"}, "Sites");
       },
       "This list changed elsewhere. Select it again before renaming."},
      {"a delete of a list renamed elsewhere",
       [&](auto& o) {
         o.renameList({"links", "Links"}, "Web");
       },
       [&](auto& s) {
         s.deleteList({"links", "Links"});
       },
       "This list changed elsewhere. Select it again before deleting."},
      {"a list added elsewhere under the same name", [&](auto& o) { o.addList("Work"); },
       [&](auto& s) { s.addList("WORK"); }, taken},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(favoritesFolder()).removeRecursively();
    ClipboardFavoritesStore mine = store();
    mine.save(a, std::nullopt);
    ClipboardFavoritesStore other = store();
    if (c.elsewhere) c.elsewhere(other);
    const QByteArray onDisk = favoritesBytes();
    EXPECT_EQ(messageOf([&] { c.change(mine); }), c.message);
    EXPECT_EQ(favoritesBytes(), onDisk);
    EXPECT_EQ(mine.items(), std::vector{a}) << "memory keeps what it had";
  }
}

TEST(FavoritesStore, ListNamesAreTrimmedUniqueAndNeverAll) {
  ClipboardFavoritesStore mine = store();
  EXPECT_EQ(mine.addList("  Work  ").name, "Work");
  const ClipboardFavoriteList work = listNamed(mine, "Work");
  EXPECT_EQ(work.id.size(), 36);
  const struct {
    const char* what;
    std::function<void()> change;
    QString message;
  } cases[] = {
      {"work", [&] { mine.addList("work"); }, taken},
      {"#tags", [&] { mine.addList("#tags"); }, taken},
      {"All", [&] { mine.addList("All"); }, reserved},
      {"all with spaces", [&] { mine.addList("  all "); }, reserved},
      {"All Favorites", [&] { mine.addList("All Favorites"); }, listMessage},
      {"blank", [&] { mine.addList(" \n"); }, listMessage},
      {"41 characters", [&] { mine.addList(QString(41, u'x')); }, listMessage},
      {"rename to Links", [&] { mine.renameList(work, "links"); }, taken},
      {"rename to all", [&] { mine.renameList(work, "ALL"); }, reserved},
      {"rename Others",
       [&] {
         mine.renameList({"others", "Others"}, "Misc");
       },
       "Others stays available for saved favorites and cannot be renamed."},
      {"rename Others to nothing",
       [&] {
         mine.renameList({"others", "Others"}, "");
       },
       listMessage},
      {"delete Others",
       [&] {
         mine.deleteList({"others", "Others"});
       },
       "Others stays available for saved favorites and cannot be deleted."},
  };
  for (const auto& c : cases) EXPECT_EQ(messageOf(c.change), c.message) << c.what;

  mine.addList(QString(40, u'x') + "  ");
  mine.addList("tags");
  mine.renameList(work, "WORK");
  EXPECT_EQ(mine.lists().size(), 6u);
  EXPECT_EQ(mine.lists()[3], (ClipboardFavoriteList{work.id, "WORK"}));
  EXPECT_EQ(mine.lists()[4].name, QString(40, u'x'));
  EXPECT_EQ(mine.lists()[5].name, "tags");
}

TEST(FavoritesStore, DeletingAListMovesItsFavoritesToOthersInPlace) {
  ClipboardFavoritesStore mine = store();
  for (const auto& [id, list] : {std::pair{"A", "links"}, {"B", "others"}, {"C", "links"}, {"D", "tags"}})
    mine.save(favorite(id, list), std::nullopt);
  mine.deleteList({"links", "Links"});
  const std::vector expected{favorite("A"), favorite("B"), favorite("C"), favorite("D", "tags")};
  EXPECT_EQ(mine.items(), expected);
  EXPECT_EQ(mine.lists(), (std::vector<ClipboardFavoriteList>{{"tags", "#Tags"}, {"others", "Others"}}));
  EXPECT_EQ(store().items(), expected);
  EXPECT_EQ(messageOf([&] {
              mine.deleteList({"links", "Links"});
            }),
            "This list changed elsewhere. Select it again before deleting.");
}

TEST(FavoritesStore, AnUnreadableFileIsKeptByteForByteAndEveryChangeRefused) {
  const struct {
    const char* what;
    QByteArray bytes;
    QString reason;
  } cases[] = {
      {"a newer version", R"({"version": 5, "items": []})", unsupportedMessage},
      {"not JSON", "{\"version\": 4, \"lists\": [", {}},
      {"an incomplete older file", R"({"version": 2, "lists": [], "items": []})", test::incompleteMessage},
      {"a missing list",
       R"({"version": 4, "lists": [{"id": "others", "name": "Others"}],)"
       R"( "items": [{"id": "A", "name": "N", "text": "T", "listID": "gone"}]})",
       test::missingListMessage},
      {"past the size limit",
       QByteArray(R"({"version": 4, "items": []})").leftJustified(ClipboardFavoritesFile::largestFileBytes + 1),
       "This favorites file is larger than 64 MB, more than favorites take. It has been preserved."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(favoritesFolder()).removeRecursively();
    writeFavorites(c.bytes);
    ClipboardFavoritesStore mine = store();
    ASSERT_TRUE(mine.failure());
    EXPECT_TRUE(mine.failure()->startsWith("Favorites are unavailable: ")) << mine.failure()->toStdString();
    if (!c.reason.isEmpty()) {
      EXPECT_EQ(*mine.failure(), "Favorites are unavailable: " + c.reason);
    }
    const QString reason = mine.failure()->mid(27);
    EXPECT_EQ(mine.lists(), ClipboardFavoritesFile::empty().lists);
    for (const auto& [name, change] : everyChange())
      EXPECT_EQ(messageOf([&] { change(mine); }), reason) << name;
    EXPECT_EQ(favoritesBytes(), c.bytes);
    EXPECT_EQ(favoritesFolderNames(), (QStringList{"clipboard-favorites.json", "clipboard-favorites.lock"}));
  }
}

TEST(FavoritesStore, OnlyAMissingFileReadsAsEmpty) {
  QDir().mkpath(favoritesPath());
  ClipboardFavoritesStore mine = store();
  ASSERT_TRUE(mine.failure());
  EXPECT_TRUE(mine.failure()->contains(favoritesPath())) << mine.failure()->toStdString();
  EXPECT_THROW(mine.save(favorite("A"), std::nullopt), pf::FileError);
  EXPECT_TRUE(QFileInfo(favoritesPath()).isDir());
}

TEST(FavoritesStore, AFailedReloadKeepsTheLastGoodFavorites) {
  ClipboardFavoritesStore mine = store();
  mine.save(favorite("A"), std::nullopt);
  writeFavorites(R"({"version": 0})");
  EXPECT_EQ(messageOf([&] { mine.reload(); }), unsupportedMessage);
  EXPECT_EQ(mine.failure(), "Favorites are unavailable: " + unsupportedMessage);
  EXPECT_EQ(mine.items(), std::vector{favorite("A")});
  QFile::remove(favoritesPath());
  mine.reload();
  EXPECT_EQ(mine.failure(), std::nullopt);
  EXPECT_TRUE(mine.items().empty());
}

TEST(FavoritesStore, AnOlderFileIsBackedUpOnceBeforeItsFirstRewrite) {
  writeFavorites(version1);
  ClipboardFavoritesStore mine = store();
  ASSERT_EQ(mine.items(), (std::vector<ClipboardFavorite>{{"A", "Old", "old text", "others"}}));
  mine.save(favorite("B"), std::nullopt);
  EXPECT_EQ(favoritesBytes("clipboard-favorites.v1-backup.json"), version1);
  EXPECT_EQ(test::fileMode(favoritesPath("clipboard-favorites.v1-backup.json")), 0600u);
  EXPECT_EQ(ClipboardFavoritesFile::decode(favoritesBytes()).items.size(), 2u);
  EXPECT_TRUE(favoritesBytes().contains("\"version\": 4"));

  // A later older file never replaces a backup that exists.
  const QByteArray version2 =
      R"({"version": 2, "lists": [{"id": "tags", "name": "#Tags"},)"
      R"( {"id": "links", "name": "Links"}, {"id": "others", "name": "Others"}], "items": []})";
  test::writeFile(favoritesPath("clipboard-favorites.v2-backup.json"), "first backup");
  for (int round = 0; round < 2; ++round) {
    writeFavorites(round == 0 ? version2 : version1);
    mine.save(favorite("C"), std::nullopt);
    mine.deleteFavorite(favorite("C"));
  }
  EXPECT_EQ(favoritesBytes("clipboard-favorites.v2-backup.json"), "first backup");
  EXPECT_EQ(favoritesBytes("clipboard-favorites.v1-backup.json"), version1);
  EXPECT_EQ(favoritesFolderNames(),
            (QStringList{"clipboard-favorites.json", "clipboard-favorites.lock",
                         "clipboard-favorites.v1-backup.json", "clipboard-favorites.v2-backup.json"}));
}

TEST(FavoritesStore, AFailedWriteLeavesTheOldFileAndReleasesTheLock) {
  for (const QString failing : {"clipboard-favorites.v1-backup.json", "clipboard-favorites.json"}) {
    SCOPED_TRACE(failing.toStdString());
    QDir(favoritesFolder()).removeRecursively();
    writeFavorites(version1);
    ClipboardFavoritesStore mine = store();
    const auto before = mine.items();
    const auto real = mine.write;
    mine.write = [&](const QByteArray& bytes, const QString& path) {
      if (path.endsWith(u'/' + failing)) throw pf::FileError(ENOSPC, path, "The disk is full.");
      real(bytes, path);
    };
    EXPECT_EQ(messageOf([&] { mine.save(favorite("B"), std::nullopt); }), "The disk is full.");
    EXPECT_EQ(favoritesBytes(), version1);
    EXPECT_EQ(mine.items(), before);
    EXPECT_TRUE(pf::FileLock::tryLock(favoritesPath("clipboard-favorites.lock")).has_value());
  }
  EXPECT_EQ(favoritesBytes("clipboard-favorites.v1-backup.json"), version1)
      << "the backup came before the file";
}

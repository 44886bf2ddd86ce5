#include "platform/core/FileError.h"
#include "platform/core/JsonReader.h"
#include "shortcuts/RepositorySupport.h"
#include "values/QuibError.h"

#include <QRegularExpression>
#include <fcntl.h>
#include <gtest/gtest.h>

using test::catalogFile;
using test::catalogFolder;
using test::catalogFolderNames;
using test::catalogOf;
using test::messageOf;
using test::readCatalogFile;

namespace {

const QString recoveredDamaged = QStringLiteral(
    "Recovered the previous shortcut catalog. The unreadable file was preserved in the application data "
    "folder.");
const QString recoveredInterrupted =
    QStringLiteral("Recovered the previous shortcut catalog after an interrupted save.");
const QString unreadable =
    QStringLiteral("The shortcut catalog could not be read. It was preserved; no defaults were substituted.");
const QString conflict = CatalogError::conflict().errorDescription();

struct SeedCounter {
  int calls = 0;
  ShortcutCatalog catalog = catalogOf(3);
  ShortcutCatalogRepository::Seed seed() {
    return [this] {
      ++calls;
      return catalog;
    };
  }
};

void writeCatalogFile(const QString& name, const QByteArray& bytes) { test::writeFile(catalogFile(name), bytes); }

QStringList unreadableCopies() {
  return catalogFolderNames().filter(QRegularExpression(
      "^shortcuts\\.unreadable\\.[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.json$"));
}

/// Snapshot of every file in the catalog folder, to show that nothing changed.
std::map<QString, QByteArray> folderContents() {
  std::map<QString, QByteArray> contents;
  for (const QString& name : catalogFolderNames()) contents[name] = *readCatalogFile(name);
  return contents;
}

}  // namespace

TEST(CatalogRepository, FirstLoadSeedsOnceWithPrivateFilesAndAMigrationRecord) {
  ShortcutCatalogRepository repository(catalogFolder() + "/deeper");
  SeedCounter counter;
  const auto loaded = repository.load(counter.seed(), QByteArray("legacy bytes"));
  EXPECT_EQ(counter.calls, 1);
  EXPECT_EQ(loaded.catalog, counter.catalog);
  EXPECT_FALSE(loaded.notice);
  EXPECT_EQ(test::fileMode(catalogFolder()), 0700u);
  EXPECT_EQ(test::fileMode(catalogFolder() + "/deeper"), 0700u);
  for (const char* name : {"shortcuts.json", "shortcuts.migration.json", "shortcuts.lock"})
    EXPECT_EQ(test::fileMode(catalogFolder() + "/deeper/" + name), 0600u) << name;
  const QByteArray primary = *pf::Files::read(catalogFolder() + "/deeper/shortcuts.json");
  EXPECT_EQ(primary, counter.catalog.encoded());
  EXPECT_EQ(repository.expectedData(), primary);

  const QByteArray record = *pf::Files::read(catalogFolder() + "/deeper/shortcuts.migration.json");
  EXPECT_FALSE(record.contains('\n'));  // compact
  const auto object = pf::JsonObjectReader::parse(record);
  EXPECT_EQ(object.integer("schemaVersion"), 1);
  EXPECT_EQ(object.data("originalLegacyData"), "legacy bytes");
  EXPECT_EQ(ShortcutCatalog::fromJson(object.object("catalog")), counter.catalog);

  ShortcutCatalogRepository again(catalogFolder() + "/deeper");
  EXPECT_EQ(again.load(counter.seed(), std::nullopt).catalog, counter.catalog);
  EXPECT_EQ(counter.calls, 1);
}

TEST(CatalogRepository, WithoutLegacyDataTheRecordLeavesTheKeyOut) {
  test::loadedRepository();
  EXPECT_FALSE(readCatalogFile("shortcuts.migration.json")->contains("originalLegacyData"));
}

TEST(CatalogRepository, MigrationRecordAloneRebuildsTheCatalogWithoutSeeding) {
  const ShortcutCatalog seeded = catalogOf(4);
  test::loadedRepository(seeded);
  const QByteArray record = *readCatalogFile("shortcuts.migration.json");
  QFile::remove(catalogFile("shortcuts.json"));
  SeedCounter counter;
  ShortcutCatalogRepository repository(catalogFolder());
  const auto loaded = repository.load(counter.seed(), std::nullopt);
  EXPECT_EQ(counter.calls, 0);
  EXPECT_EQ(loaded.catalog, seeded);
  EXPECT_FALSE(loaded.notice);
  EXPECT_EQ(readCatalogFile("shortcuts.json"), seeded.encoded());
  EXPECT_EQ(readCatalogFile("shortcuts.migration.json"), record);
}

TEST(CatalogRepository, MigrationRecordOfAnotherVersionIsRefusedAndKept) {
  writeCatalogFile("shortcuts.migration.json", R"({"schemaVersion":2,"catalog":{}})");
  SeedCounter counter;
  ShortcutCatalogRepository repository(catalogFolder());
  const auto error = test::catalogErrorOf([&] { repository.load(counter.seed(), std::nullopt); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->versionNumber(), 2);
  EXPECT_EQ(counter.calls, 0);
  EXPECT_EQ(catalogFolderNames(), (QStringList{"shortcuts.lock", "shortcuts.migration.json"}));
}

TEST(CatalogRepository, UnchangedSaveRunsPrepareButWritesNothing) {
  auto repository = test::loadedRepository();
  const auto before = folderContents();
  int prepared = 0;
  repository.save(catalogOf(2), [&] { ++prepared; });
  EXPECT_EQ(prepared, 1);
  EXPECT_EQ(folderContents(), before);
  EXPECT_FALSE(readCatalogFile("shortcuts.previous.json"));
}

TEST(CatalogRepository, ChangedSaveKeepsTheOldBytesAsThePreviousCopy) {
  auto repository = test::loadedRepository();
  const QByteArray old = *readCatalogFile("shortcuts.json");
  repository.save(catalogOf(5), {});
  EXPECT_EQ(readCatalogFile("shortcuts.previous.json"), old);
  EXPECT_EQ(readCatalogFile("shortcuts.json"), catalogOf(5).encoded());
  EXPECT_EQ(repository.expectedData(), catalogOf(5).encoded());
  EXPECT_EQ(test::fileMode(catalogFile("shortcuts.previous.json")), 0600u);
  repository.save(catalogOf(6), {});
  EXPECT_EQ(readCatalogFile("shortcuts.previous.json"), catalogOf(5).encoded());
}

TEST(CatalogRepository, FileChangedOrDeletedSinceLoadIsAConflict) {
  auto repository = test::loadedRepository();
  // Decodes to the same catalog, but other bytes: still someone else's file.
  const QByteArray edited = *readCatalogFile("shortcuts.json") + "\n";
  writeCatalogFile("shortcuts.json", edited);
  const auto before = folderContents();
  bool prepared = false;
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(5), [&] { prepared = true; }); }), conflict);
  EXPECT_FALSE(prepared);
  EXPECT_EQ(folderContents(), before);

  QFile::remove(catalogFile("shortcuts.json"));
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(5), {}); }), conflict);
  EXPECT_FALSE(readCatalogFile("shortcuts.json"));
  EXPECT_FALSE(readCatalogFile("shortcuts.previous.json"));
}

TEST(CatalogRepository, SaveBeforeOrAfterAFailedLoadIsAConflict) {
  ShortcutCatalogRepository fresh(catalogFolder());
  EXPECT_EQ(messageOf([&] { fresh.save(catalogOf(1), {}); }), conflict);

  ShortcutCatalogRepository failing(catalogFolder());
  failing.write = [](const QByteArray&, const QString& path) { throw pf::FileError(EIO, path, "Disk failed."); };
  EXPECT_EQ(messageOf([&] { failing.load([] { return catalogOf(1); }, std::nullopt); }), "Disk failed.");
  EXPECT_FALSE(failing.expectedData());
  EXPECT_EQ(messageOf([&] { failing.save(catalogOf(1), {}); }), conflict);
}

TEST(CatalogRepository, InvalidCatalogIsRefusedBeforeAnythingIsTouched) {
  auto repository = test::loadedRepository();
  const auto before = folderContents();
  bool prepared = false;
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(129), [&] { prepared = true; }); }),
            "Too many shortcuts (maximum 128).");
  EXPECT_FALSE(prepared);
  EXPECT_EQ(folderContents(), before);
}

TEST(CatalogRepository, FailedPrepareOrWriteLeavesTheRepositoryAbleToSave) {
  auto repository = test::loadedRepository();
  const QByteArray original = *readCatalogFile("shortcuts.json");
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(5), [] { throw QuibError("Images failed."); }); }),
            "Images failed.");
  EXPECT_EQ(readCatalogFile("shortcuts.json"), original);
  EXPECT_FALSE(readCatalogFile("shortcuts.previous.json"));

  // The previous copy is written, then writing the catalog fails.
  const auto defaultWriter = repository.write;
  repository.write = [&](const QByteArray& bytes, const QString& path) {
    if (path.endsWith("/shortcuts.json")) throw pf::FileError(ENOSPC, path, "Disk full.");
    defaultWriter(bytes, path);
  };
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(5), {}); }), "Disk full.");
  EXPECT_EQ(repository.expectedData(), original);
  EXPECT_EQ(readCatalogFile("shortcuts.json"), original);

  repository.write = defaultWriter;
  repository.save(catalogOf(5), {});
  EXPECT_EQ(readCatalogFile("shortcuts.json"), catalogOf(5).encoded());
}

TEST(CatalogRepository, NewerVersionIsLeftByteForByte) {
  auto repository = test::loadedRepository();
  repository.save(catalogOf(3), {});
  QByteArray newer = *readCatalogFile("shortcuts.json");
  newer.replace("\"schemaVersion\": 2", "\"schemaVersion\": 3");
  writeCatalogFile("shortcuts.json", newer);
  const auto before = folderContents();
  ShortcutCatalogRepository reader(catalogFolder());
  const QString message = messageOf([&] { reader.load([] { return catalogOf(1); }, std::nullopt); });
  EXPECT_EQ(message, CatalogError::version(3).errorDescription());
  EXPECT_EQ(folderContents(), before);
  EXPECT_EQ(messageOf([&] { reader.save(catalogOf(1), {}); }), conflict);
}

TEST(CatalogRepository, DamagedCatalogIsPreservedAndThePreviousCopyUsed) {
  auto repository = test::loadedRepository(catalogOf(2));
  repository.save(catalogOf(3), {});
  const QByteArray previous = *readCatalogFile("shortcuts.previous.json");
  for (int round = 1; round <= 2; ++round) {
    const QByteArray truncated = readCatalogFile("shortcuts.json")->left(40);
    writeCatalogFile("shortcuts.json", truncated);
    ShortcutCatalogRepository reader(catalogFolder());
    const auto loaded = reader.load([] { return catalogOf(9); }, std::nullopt);
    EXPECT_EQ(loaded.catalog, catalogOf(2));
    EXPECT_EQ(loaded.notice, recoveredDamaged);
    EXPECT_EQ(readCatalogFile("shortcuts.json"), previous);
    EXPECT_EQ(reader.expectedData(), previous);
    const QStringList copies = unreadableCopies();
    ASSERT_EQ(copies.size(), round);
    int matching = 0;
    for (const QString& copy : copies) matching += readCatalogFile(copy) == truncated;
    EXPECT_GE(matching, 1);
    for (const QString& copy : copies) EXPECT_EQ(test::fileMode(catalogFile(copy)), 0600u);
  }
  // A rule broken in the file counts as damage too.
  writeCatalogFile("shortcuts.json", catalogOf(1).encoded().replace("Label s0", ""));
  ShortcutCatalogRepository reader(catalogFolder());
  EXPECT_EQ(reader.load([] { return catalogOf(9); }, std::nullopt).notice, recoveredDamaged);
  EXPECT_EQ(unreadableCopies().size(), 3);
}

TEST(CatalogRepository, MissingCatalogIsRestoredFromThePreviousCopy) {
  auto repository = test::loadedRepository(catalogOf(2));
  repository.save(catalogOf(3), {});
  QFile::remove(catalogFile("shortcuts.json"));
  ShortcutCatalogRepository reader(catalogFolder());
  SeedCounter counter;
  const auto loaded = reader.load(counter.seed(), std::nullopt);
  EXPECT_EQ(loaded.catalog, catalogOf(2));
  EXPECT_EQ(loaded.notice, recoveredInterrupted);
  EXPECT_EQ(counter.calls, 0);
  EXPECT_EQ(readCatalogFile("shortcuts.json"), readCatalogFile("shortcuts.previous.json"));
  EXPECT_TRUE(unreadableCopies().isEmpty());
}

TEST(CatalogRepository, DamageWithoutAGoodPreviousCopyIsNeverReplacedByDefaults) {
  test::loadedRepository();
  writeCatalogFile("shortcuts.json", "{ damaged");
  auto before = folderContents();
  SeedCounter counter;
  ShortcutCatalogRepository reader(catalogFolder());
  EXPECT_EQ(messageOf([&] { reader.load(counter.seed(), std::nullopt); }), unreadable);
  EXPECT_EQ(folderContents(), before);

  writeCatalogFile("shortcuts.previous.json", "[]");
  before = folderContents();
  EXPECT_THROW(reader.load(counter.seed(), std::nullopt), pf::JsonError);
  EXPECT_EQ(folderContents(), before);
  EXPECT_EQ(counter.calls, 0);

  QFile::remove(catalogFile("shortcuts.json"));
  before = folderContents();
  EXPECT_THROW(reader.load(counter.seed(), std::nullopt), pf::JsonError);
  EXPECT_EQ(folderContents(), before);
}

TEST(CatalogRepository, OtherReadFailuresAreRaisedUnchanged) {
  test::loadedRepository();
  QFile::remove(catalogFile("shortcuts.json"));
  QDir().mkpath(catalogFile("shortcuts.json"));  // a folder in the way
  ShortcutCatalogRepository reader(catalogFolder());
  EXPECT_THROW(reader.load([] { return catalogOf(1); }, std::nullopt), pf::FileError);
}

TEST(CatalogRepository, SeedThatFailsOrBreaksARuleWritesNothing) {
  ShortcutCatalogRepository repository(catalogFolder());
  EXPECT_EQ(messageOf([&] { repository.load([]() -> ShortcutCatalog { throw QuibError("No seed."); }, std::nullopt); }),
            "No seed.");
  EXPECT_EQ(messageOf([&] { repository.load([] { return catalogOf(129); }, std::nullopt); }),
            "Too many shortcuts (maximum 128).");
  EXPECT_EQ(catalogFolderNames(), QStringList{"shortcuts.lock"});
}

TEST(CatalogRepository, TheLockIsNeverInheritedByLaunchedPrograms) {
  auto repository = test::loadedRepository();
  int lockDescriptors = 0;
  repository.save(catalogOf(4), [&] {
    for (const QFileInfo& entry : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
      if (entry.symLinkTarget() != catalogFile("shortcuts.lock")) continue;
      ++lockDescriptors;
      EXPECT_TRUE(::fcntl(entry.fileName().toInt(), F_GETFD) & FD_CLOEXEC);
    }
  });
  EXPECT_EQ(lockDescriptors, 1);
}

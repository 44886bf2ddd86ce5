#include "platform/core/FileLock.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ImageSupport.h"
#include "shortcuts/RepositorySupport.h"
#include "shortcuts/ShortcutPresets.h"
#include "shortcuts/ShortcutStore.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "values/QuibError.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using pf::UserDefaults;
using test::catalogFile;
using test::catalogFolder;
using test::catalogOf;
using test::messageOf;
using test::readCatalogFile;

namespace {

/// Saves `catalog`'s shortcuts as the store's whole list, through its plainest change.
void save(ShortcutStore& store, const ShortcutCatalog& catalog) { store.replaceShortcuts(catalog.shortcuts); }

/// Saves `catalog`'s shortcuts with chosen pictures, as the editor does.
void save(ShortcutStore& store, const ShortcutCatalog& catalog, const PendingImages& images) {
  ShortcutDraft draft(store.shortcuts());
  draft.items = catalog.shortcuts;
  draft.selectedImages = images;
  store.saveDraft(draft);
}

const QString stockMessage =
    QStringLiteral("Stock shortcuts are permanent. Move them to Not Active instead of deleting them.");
const QString missingMessage = QStringLiteral("This destination is missing. Choose its current location in Settings.");
const QString applicationMessage = QStringLiteral("Choose an installed .app application.");

UserDefaults& defaultsNamed(const QString& name) {
  return UserDefaults::suite(QStringLiteral("org.wendle.Wendle.companion.") + name);
}

std::shared_ptr<ShortcutStore> makeStore(const QString& name = QStringLiteral("main"),
                                         std::optional<bool> legacyPersonal = std::nullopt) {
  return std::make_shared<ShortcutStore>(defaultsNamed(name), catalogFolder() + u'/' + name, legacyPersonal);
}

ShortcutCatalog catalogWith(const std::vector<Shortcut>& shortcuts) {
  ShortcutCatalog catalog;
  catalog.shortcuts = shortcuts;
  return catalog;
}

/// Counts the store's change callbacks and its notifications, in order.
struct Recorder {
  QStringList events;
  pf::ObserverToken token;

  explicit Recorder(ShortcutStore& store) {
    store.onChange = [this] { events << "onChange"; };
    token = pf::NotificationCenter::defaultCenter().addObserver(
        ShortcutStore::contentsChanged, nullptr, [this, &store](const pf::Notification& note) {
          events << (note.object == &store ? "posted by store" : "posted by another");
        });
  }
};

QString writeVersion3File(const QString& folder) {
  ShortcutCatalogRepository repository(folder);
  repository.load([] { return catalogOf(1); }, std::nullopt);
  QByteArray newer = *repository.expectedData();
  newer.replace("\"schemaVersion\": 2", "\"schemaVersion\": 3");
  test::writeFile(folder + "/shortcuts.json", newer);
  return QString::fromUtf8(newer);
}

}  // namespace

WENDLE_TEST_HELPER(openStore) {
  ShortcutStore store(UserDefaults::standard(), args.value(0));
  return store.catalogIsWritable() ? 0 : 1;
}

TEST(ShortcutStore, ConstructionWritesGentleMotionAndRegistersDefaults) {
  UserDefaults& defaults = defaultsNamed("main");
  defaults.set("gentleMotion", false);
  defaults.set("pinned", true);
  const auto store = makeStore();
  EXPECT_EQ(&store->defaults(), &defaults);
  EXPECT_EQ(store->dataDirectory(), catalogFolder() + "/main");
  EXPECT_EQ(defaults.object("gentleMotion"), QVariant(true));
  EXPECT_EQ(defaults.object("pinned"), QVariant(true));  // registered values never win over stored ones
  EXPECT_EQ(defaults.doubleValue("characterHeight"), 180.0);
  EXPECT_TRUE(defaults.boolValue("alwaysOnTop"));
  EXPECT_EQ(defaults.doubleValue("scale"), 1.0);
  UserDefaults::resetAll();  // registered defaults live in memory only
  EXPECT_FALSE(defaultsNamed("main").object("alwaysOnTop"));
  EXPECT_TRUE(defaultsNamed("main").boolValue("gentleMotion"));
}

TEST(ShortcutStore, ABrandNewCatalogIsSeededFromTheChosenTable) {
  const auto store = makeStore();
  EXPECT_TRUE(store->catalogIsWritable());
  EXPECT_FALSE(store->catalogNotice());
  EXPECT_EQ(store->shortcuts(), ShortcutPresets::creator());
  EXPECT_TRUE(readCatalogFile("main/shortcuts.migration.json"));
  EXPECT_EQ(makeStore("guest", false)->shortcuts(), ShortcutPresets::creator());
  EXPECT_EQ(makeStore("personal", true)->shortcuts(), ShortcutPresets::legacyPersonal());
  EXPECT_EQ(&ShortcutStore::initial(), &ShortcutPresets::legacyPersonal());
}

TEST(ShortcutStore, ALegacyRecordSeedsTheCatalogOnceWithItsBookmarks) {
  UserDefaults& defaults = defaultsNamed("main");
  const QByteArray legacy =
      R"([{"id": "docs", "label": "Docs", "kind": "folder", "destination": "/srv/docs", "note": ""},
          {"id": "site", "label": "Site", "kind": "web", "destination": "https://example.com/", "note": "n",
           "isActive": false}])";
  defaults.set("shortcuts", legacy);
  defaults.set("bookmark.docs", QByteArray("bookmark bytes"));
  defaults.set("bookmark.text", QStringLiteral("not data"));
  const auto store = makeStore();
  ASSERT_TRUE(store->catalogIsWritable()) << store->catalogNotice().value_or("").toStdString();
  ASSERT_EQ(store->shortcuts().size(), 2u);
  EXPECT_EQ(store->shortcuts()[0].destination, "/srv/docs");
  EXPECT_FALSE(store->shortcuts()[1].isActive);
  const auto saved = ShortcutCatalog::decode(*readCatalogFile("main/shortcuts.json"));
  EXPECT_EQ(saved.bookmarks, (std::map<QString, QByteArray>{{"docs", "bookmark bytes"}}));
  EXPECT_TRUE(readCatalogFile("main/shortcuts.migration.json")->contains(legacy.toBase64()));
  EXPECT_EQ(defaults.data("shortcuts"), legacy);  // the legacy keys stay

  defaults.set("shortcuts", QByteArray("[]"));
  EXPECT_EQ(makeStore()->shortcuts().size(), 2u);  // seeded once only
}

TEST(ShortcutStore, LegacyBookmarksSeedTheStockTableToo) {
  // Without a legacy list the stock table is seeded, still with the legacy bookmarks.
  defaultsNamed("personal").set("bookmark.videos", QByteArray("videos bookmark"));
  const auto store = makeStore("personal", true);
  ASSERT_TRUE(store->catalogIsWritable()) << store->catalogNotice().value_or("").toStdString();
  EXPECT_EQ(store->shortcuts(), ShortcutPresets::legacyPersonal());
  EXPECT_EQ(ShortcutCatalog::decode(*readCatalogFile("personal/shortcuts.json")).bookmarks,
            (std::map<QString, QByteArray>{{"videos", "videos bookmark"}}));
}

TEST(ShortcutStore, ALegacyRecordThatIsNotDataLeavesTheStoreReadOnly) {
  defaultsNamed("main").set("shortcuts", QStringLiteral("[]"));
  const auto store = makeStore();
  EXPECT_FALSE(store->catalogIsWritable());
  EXPECT_EQ(store->catalogNotice(),
            "Shortcuts are unavailable: The legacy shortcut record is unreadable. It was preserved unchanged.");
  EXPECT_TRUE(store->shortcuts().empty());
  EXPECT_FALSE(readCatalogFile("main/shortcuts.json"));
  EXPECT_EQ(defaultsNamed("main").string("shortcuts"), "[]");
}

TEST(ShortcutStore, ANewerCatalogMakesTheStoreReadOnlyAndEveryCommitFails) {
  const QString newer = writeVersion3File(catalogFolder() + "/main");
  const auto store = makeStore();
  const QString notice = "Shortcuts are unavailable: " + CatalogError::version(3).errorDescription();
  EXPECT_FALSE(store->catalogIsWritable());
  EXPECT_EQ(store->catalogNotice(), notice);
  EXPECT_TRUE(store->shortcuts().empty());

  Recorder recorder(*store);
  for (const ShortcutCatalog& catalog : {catalogOf(0), catalogOf(3)}) {
    const auto error = test::catalogErrorOf([&] { save(*store, catalog); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), CatalogError::Case::unavailable);
    EXPECT_EQ(error->errorDescription(), notice);
  }
  EXPECT_TRUE(recorder.events.isEmpty());
  EXPECT_EQ(readCatalogFile("main/shortcuts.json"), newer.toUtf8());

  store->setCatalogNotice(std::nullopt);
  EXPECT_EQ(messageOf([&] { save(*store, catalogOf(0)); }), "The shortcut catalog is read-only.");
}

TEST(ShortcutStore, AnUnavailableCatalogIsLoggedOnce) {
  writeVersion3File(test::home() + "/logged");
  test::ChildProcess child("openStore", {test::home() + "/logged"});
  ASSERT_EQ(child.finish(), 1);
  const QString errors = QString::fromUtf8(child.errors());
  EXPECT_EQ(errors.count("Wendle shortcut catalog: Shortcuts are unavailable: Shortcut catalog version 3 is "
                         "not supported."),
            1)
      << errors.toStdString();
}

TEST(ShortcutStore, ScaleIsClampedOnEveryReadAndStoredUnchanged) {
  const auto store = makeStore();
  UserDefaults& defaults = store->defaults();
  EXPECT_EQ(store->scale(), 1.0);
  const std::vector<std::pair<QVariant, double>> cases{
      {0.5, 0.8},
      {1.5, 1.2},
      {0.8, 0.8},
      {1.2, 1.2},
      {1.05, 1.05},
      {qint64(1), 1.0},
      {std::numeric_limits<double>::infinity(), 1.0},
      {-std::numeric_limits<double>::infinity(), 1.0},
      {QStringLiteral("large"), 0.8},
  };
  for (const auto& [stored, read] : cases) {
    defaults.set("scale", stored);
    EXPECT_EQ(store->scale(), read) << stored.toString().toStdString();
  }
  int changes = 0;
  store->onChange = [&] { ++changes; };
  store->setScale(2.0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(defaults.doubleValue("scale"), 2.0);
  EXPECT_EQ(store->scale(), 1.2);
  store->setScale(std::nan(""));
  EXPECT_EQ(store->scale(), 1.0);
  defaults.remove("scale");
  EXPECT_EQ(store->scale(), 1.0);
}

TEST(ShortcutStore, ReadingActiveVisibleAndSingleShortcuts) {
  const auto store = makeStore();
  ShortcutCatalog catalog = catalogWith(ShortcutPresets::creator());
  for (int i = 0; i < 4; ++i) catalog.shortcuts.push_back(test::shortcut(QStringLiteral("extra%1").arg(i)));
  catalog.shortcuts[1].isActive = false;
  save(*store, catalog);
  EXPECT_EQ(store->activeShortcuts().size(), 12u);
  EXPECT_EQ(store->activeShortcuts()[1].id, "tiktok");
  EXPECT_EQ(store->visibleShortcuts().size(), 12u);
  catalog.shortcuts[1].isActive = true;
  save(*store, catalog);
  EXPECT_EQ(store->visibleShortcuts().size(), 12u);
  EXPECT_EQ(store->visibleShortcuts().back().id, "extra2");
  EXPECT_EQ(store->item("instagram")->label, "Instagram");
  EXPECT_FALSE(store->item("nothing"));
}

TEST(ShortcutStore, ACommitSavesThenCallsOnChangeThenPostsOnce) {
  const auto store = makeStore();
  Recorder recorder(*store);
  ShortcutCatalog catalog = catalogWith(ShortcutPresets::creator());
  catalog.shortcuts.push_back(test::shortcut("mine"));
  save(*store, catalog);
  EXPECT_EQ(recorder.events, (QStringList{"onChange", "posted by store"}));
  EXPECT_EQ(store->shortcuts(), catalog.shortcuts);
  EXPECT_EQ(readCatalogFile("main/shortcuts.json"), catalog.encoded());
}

TEST(ShortcutStore, AStockShortcutCanBeDeactivatedButNotLeftOut) {
  const auto store = makeStore();
  const QByteArray before = *readCatalogFile("main/shortcuts.json");
  Recorder recorder(*store);
  ShortcutCatalog without = catalogWith(ShortcutPresets::creator());
  without.shortcuts.erase(without.shortcuts.begin() + 3);
  const auto error = test::catalogErrorOf([&] { save(*store, without); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), CatalogError::Case::invalid);
  EXPECT_EQ(error->errorDescription(), stockMessage);
  EXPECT_EQ(readCatalogFile("main/shortcuts.json"), before);
  EXPECT_TRUE(recorder.events.isEmpty());
  EXPECT_EQ(store->shortcuts(), ShortcutPresets::creator());

  ShortcutCatalog inactive = catalogWith(ShortcutPresets::creator());
  inactive.shortcuts[3].isActive = false;
  inactive.shortcuts[3].label = "Renamed";
  save(*store, inactive);
  EXPECT_EQ(ShortcutCatalog::decode(*readCatalogFile("main/shortcuts.json")), inactive);
}

TEST(ShortcutStore, AFailedSaveChangesNothingAndTellsNobody) {
  const auto store = makeStore();
  Recorder recorder(*store);
  ShortcutCatalog tooMany = catalogWith(ShortcutPresets::creator());
  for (int i = 0; i < 120; ++i) tooMany.shortcuts.push_back(test::shortcut(QStringLiteral("n%1").arg(i)));
  EXPECT_EQ(messageOf([&] { save(*store, tooMany); }), "Too many shortcuts (maximum 128).");
  test::writeFile(catalogFile("main/shortcuts.json"), catalogWith(ShortcutPresets::creator()).encoded() + " ");
  EXPECT_EQ(messageOf([&] { save(*store, catalogWith(ShortcutPresets::creator())); }),
            CatalogError::conflict().errorDescription());
  EXPECT_TRUE(recorder.events.isEmpty());
  EXPECT_EQ(store->shortcuts(), ShortcutPresets::creator());
}

TEST(ShortcutStore, ImagesArePersistedOnlyWhenTheCatalogSaveSucceeds) {
  const auto store = makeStore();
  const QImage picture = test::pattern(40, 20);
  const auto imported = ShortcutImageStore::importImage(
      QUrl::fromLocalFile(test::writeFile(test::home() + "/p.png", test::encodedImage(picture, "png"))));
  ShortcutCatalog catalog = catalogWith(ShortcutPresets::creator());
  catalog.shortcuts[0].icon = imported.reference;
  const PendingImages pending{{imported.reference, imported.png}};
  EXPECT_EQ(store->customImage(catalog.shortcuts[0], pending).size(), QSize(40, 20));
  EXPECT_TRUE(store->customImage(catalog.shortcuts[0]).isNull());
  EXPECT_TRUE(store->customImage(catalog.shortcuts[1], pending).isNull());

  {
    test::ChildProcess holder("holdCatalogLock", {catalogFolder() + "/main"});
    ASSERT_TRUE(holder.waitForLine("locked"));
    EXPECT_EQ(messageOf([&] { save(*store, catalog, pending); }),
              "Another Wendle is saving shortcuts. Try again after it finishes.");
  }
  const QByteArray current = *readCatalogFile("main/shortcuts.json");
  test::writeFile(catalogFile("main/shortcuts.json"), current + "\n");
  EXPECT_EQ(messageOf([&] { save(*store, catalog, pending); }), CatalogError::conflict().errorDescription());
  EXPECT_FALSE(store->imageStore().contains(imported.reference));
  EXPECT_FALSE(QFileInfo::exists(store->imageStore().directory()));

  test::writeFile(catalogFile("main/shortcuts.json"), current);
  save(*store, catalog, pending);
  EXPECT_TRUE(store->imageStore().contains(imported.reference));
  EXPECT_EQ(store->customImage(store->shortcuts()[0]).size(), QSize(40, 20));
}

TEST(ShortcutStore, AStoreThatSharesAnotherShowsAndFollowsItsCatalog) {
  const auto main = makeStore("main");
  const auto guest = makeStore("guest");
  const auto other = makeStore("other");
  int guestChanges = 0;
  guest->onChange = [&] { ++guestChanges; };
  guest->setSharedSource(main);
  EXPECT_EQ(guestChanges, 1);
  guest->setSharedSource(main);
  EXPECT_EQ(guestChanges, 2);
  EXPECT_EQ(&guest->imageStore(), &main->imageStore());
  EXPECT_EQ(guest->dataDirectory(), catalogFolder() + "/guest");

  ShortcutCatalog changed = catalogWith(ShortcutPresets::creator());
  changed.shortcuts.push_back(test::shortcut("shared"));
  Recorder recorder(*main);
  save(*main, changed);
  EXPECT_EQ(guestChanges, 3);
  EXPECT_EQ(recorder.events, (QStringList{"onChange", "posted by store"}));
  EXPECT_EQ(guest->shortcuts(), changed.shortcuts);
  EXPECT_EQ(guest->item("shared")->id, "shared");

  save(*other, changed);
  EXPECT_EQ(guestChanges, 3);

  guest->setSharedSource(nullptr);
  EXPECT_EQ(guestChanges, 4);
  EXPECT_EQ(guest->shortcuts(), ShortcutPresets::creator());
  save(*main, catalogWith(ShortcutPresets::creator()));
  EXPECT_EQ(guestChanges, 4);
}

TEST(ShortcutStore, FileDestinationsForFoldersAndApplications) {
  const QString home = test::home();
  QDir().mkpath(home + "/Folder");
  QDir().mkpath(home + "/Bundle.desktop");
  test::writeFile(home + "/file.txt", "x");
  test::writeFile(home + "/editor.desktop", "# comment\n[Desktop Entry]\nName=Editor\nType = Application\nExec=e\n");
  test::writeFile(home + "/link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.com/\n");
  test::writeFile(home + "/other.desktop", "[Other Group]\nType=Application\n[Desktop Entry]\nName=x\n");
  test::writeFile(home + "/upper.Desktop", "[Desktop Entry]\nType=Application\n");
  QFile::link(home + "/editor.desktop", home + "/alias.desktop");

  const auto check = [](const QString& path, ShortcutKind kind) {
    return messageOf([&] { ShortcutStore::validateFile(QUrl::fromLocalFile(path), kind); });
  };
  EXPECT_EQ(check(home + "/Folder", ShortcutKind::folder), "");
  EXPECT_EQ(check(home + "/Missing", ShortcutKind::folder), missingMessage);
  EXPECT_EQ(check(home + "/file.txt", ShortcutKind::folder), missingMessage);
  EXPECT_EQ(messageOf([] { ShortcutStore::validateFile(QUrl("https://example.com/"), ShortcutKind::folder); }),
            missingMessage);

  EXPECT_EQ(check(home + "/editor.desktop", ShortcutKind::application), "");
  EXPECT_EQ(check(home + "/alias.desktop", ShortcutKind::application), "");
  EXPECT_EQ(check(home + "/missing.desktop", ShortcutKind::application), missingMessage);
  for (const char* name :
       {"/link.desktop", "/other.desktop", "/upper.Desktop", "/Bundle.desktop", "/file.txt", "/Folder"})
    EXPECT_EQ(check(home + name, ShortcutKind::application), applicationMessage) << name;
}

WENDLE_TEST_HELPER(holdStoreLock) {
  pf::Files::makeFolders(args.value(0));
  auto lock = pf::FileLock::tryLock(args.value(0) + "/shortcuts.lock");
  if (!lock) return 2;
  test::tellParent("locked");
  QThread::msleep(args.value(1).toULong());
  return 0;
}

TEST(ShortcutStore, AStoreBuiltWhileAnotherCopySavesWaitsForItThenGivesUp) {
  const QString busy =
      QStringLiteral("Shortcuts are unavailable: Another Wendle is saving shortcuts. Try again after it finishes.");
  struct Case {
    const char* name;
    int heldMilliseconds;
    bool writable;
  };
  for (const Case& c : {Case{"a short save", 300, true}, Case{"a lock never released", 60000, false}}) {
    SCOPED_TRACE(c.name);
    const QString folder = catalogFolder() + u'/' + c.name;
    test::ChildProcess holder("holdStoreLock", {folder, QString::number(c.heldMilliseconds)});
    ASSERT_TRUE(holder.waitForLine("locked"));
    ShortcutStore store(defaultsNamed("main"), folder);
    EXPECT_EQ(store.catalogIsWritable(), c.writable);
    EXPECT_EQ(store.catalogNotice(), c.writable ? std::nullopt : std::optional<QString>(busy));
    EXPECT_EQ(store.shortcuts().empty(), !c.writable);
  }
}

TEST(ShortcutStore, AStrayLegacyBookmarkKeyIsLeftOutOfTheSeedAndKept) {
  UserDefaults& defaults = defaultsNamed("main");
  defaults.set("bookmark.docs", QByteArray("docs bookmark"));
  defaults.set("bookmark.not an id", QByteArray("stray"));
  defaults.set("bookmark.", QByteArray("empty id"));
  const auto store = makeStore();
  ASSERT_TRUE(store->catalogIsWritable()) << store->catalogNotice().value_or("").toStdString();
  EXPECT_EQ(ShortcutCatalog::decode(*readCatalogFile("main/shortcuts.json")).bookmarks,
            (std::map<QString, QByteArray>{{"docs", "docs bookmark"}}));
  EXPECT_EQ(defaults.data("bookmark.not an id"), QByteArray("stray"));
  EXPECT_EQ(defaults.data("bookmark."), QByteArray("empty id"));
}

TEST(ShortcutStore, ALegacyRecordOfDataThatDoesNotDecodeLeavesTheStoreReadOnly) {
  defaultsNamed("main").set("shortcuts", QByteArray(R"([{"id": "docs"}])"));
  const auto store = makeStore();
  EXPECT_FALSE(store->catalogIsWritable());
  ASSERT_TRUE(store->catalogNotice());
  EXPECT_TRUE(store->catalogNotice()->startsWith("Shortcuts are unavailable: "));
  EXPECT_EQ(store->catalogNotice(), "Shortcuts are unavailable: The key \"kind\" is missing in [0].");
  EXPECT_FALSE(readCatalogFile("main/shortcuts.json"));
  EXPECT_EQ(defaultsNamed("main").data("shortcuts"), QByteArray(R"([{"id": "docs"}])"));
}

TEST(ShortcutStore, ACatalogWhoseLockCannotBeOpenedIsShownReadOnly) {
  const QString folder = catalogFolder() + "/main";
  ShortcutCatalogRepository(folder).load([] { return catalogOf(3); }, std::nullopt);
  const QByteArray primary = *readCatalogFile("main/shortcuts.json");
  // A lock that cannot be opened, as in a read-only folder that has none.
  ASSERT_TRUE(QFile::remove(folder + "/shortcuts.lock"));
  ASSERT_TRUE(QDir().mkdir(folder + "/shortcuts.lock"));

  const auto store = makeStore();
  EXPECT_EQ(store->shortcuts(), catalogOf(3).shortcuts);
  EXPECT_FALSE(store->catalogIsWritable());
  EXPECT_EQ(store->catalogNotice(), "Shortcuts are unavailable: Cannot open the shortcut catalog lock.");
  EXPECT_EQ(messageOf([&] { save(*store, catalogOf(4)); }), *store->catalogNotice());
  EXPECT_EQ(readCatalogFile("main/shortcuts.json"), primary);

  ShortcutCatalogRepository repository(folder);
  EXPECT_EQ(messageOf([&] { repository.load([] { return catalogOf(1); }, std::nullopt); }),
            "Cannot open the shortcut catalog lock.");
  EXPECT_EQ(messageOf([&] { repository.save(catalogOf(1), {}); }), "Cannot open the shortcut catalog lock.");
  EXPECT_EQ(readCatalogFile("main/shortcuts.json"), primary);
}

TEST(ShortcutStore, ADamagedCatalogIsLoggedWithItsFileItsCauseAndWhereItWasKept) {
  const QString folder = test::home() + "/logged";
  ShortcutCatalogRepository repository(folder);
  repository.load([] { return catalogOf(1); }, std::nullopt);
  repository.save(catalogOf(2), {});
  struct Case {
    const char* name;
    bool withPrevious;
    QStringList logged;
  };
  for (const Case& c :
       {Case{"recovered",
             true,
             {folder + "/shortcuts.json\" could not be read: ", "It was kept as \"" + folder + "/shortcuts.unreadable.",
              "the previous copy was restored"}},
        Case{"lost", false, {folder + "/shortcuts.json\" could not be read: ", "It was left as it is"}}}) {
    SCOPED_TRACE(c.name);
    if (!c.withPrevious) QFile::remove(folder + "/shortcuts.previous.json");
    test::writeFile(folder + "/shortcuts.json", "{\"schemaVersion\": 2, \"shortcuts\": [");
    test::ChildProcess child("openStore", {folder});
    EXPECT_EQ(child.finish(), c.withPrevious ? 0 : 1);
    const QString errors = QString::fromUtf8(child.errors());
    for (const QString& part : c.logged) EXPECT_TRUE(errors.contains(part)) << errors.toStdString();
    EXPECT_TRUE(errors.contains("not valid JSON")) << errors.toStdString();
  }
}

// The store's changing operations, on real files in the test's home, with a
// second real process holding the catalog lock where locking matters.
#include "platform/core/Bookmark.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ImageSupport.h"
#include "shortcuts/RepositorySupport.h"
#include "shortcuts/ShortcutPresets.h"
#include "shortcuts/ShortcutStore.h"
#include "support/ChildProcess.h"
#include "support/DesktopEntries.h"

#include <gtest/gtest.h>

using pf::UserDefaults;
using test::catalogFolder;
using test::idsOf;
using test::messageOf;
using test::shortcut;

namespace {

const QString offeredKey = QStringLiteral("importedCompanionShortcutIDs");
const QString mismatch = QStringLiteral("A selected file no longer matches its shortcut.");
const QString missingDestination =
    QStringLiteral("This destination is missing. Choose its current location in Settings.");

UserDefaults& defaultsOf(const QString& name) {
  return UserDefaults::suite(QStringLiteral("org.wendle.Wendle.companion.") + name);
}

std::shared_ptr<ShortcutStore> makeStore(const QString& name = QStringLiteral("main")) {
  return std::make_shared<ShortcutStore>(defaultsOf(name), catalogFolder() + u'/' + name);
}

QByteArray fileOf(const QString& name) {
  return test::readCatalogFile(name + QStringLiteral("/shortcuts.json")).value_or(QByteArray());
}

ShortcutCatalog savedCatalog(const QString& name) { return ShortcutCatalog::decode(fileOf(name)); }

/// A real folder in the test's home.
QString folderNamed(const QString& name) {
  const QString path = test::home() + u'/' + name;
  QDir().mkpath(path);
  return path;
}

Shortcut folderShortcut(const QString& id, const QString& path) { return shortcut(id, ShortcutKind::folder, path); }

/// The stock shortcuts followed by `extra`.
std::vector<Shortcut> withStock(const std::vector<Shortcut>& extra) {
  std::vector<Shortcut> list = ShortcutPresets::creator();
  list.insert(list.end(), extra.begin(), extra.end());
  return list;
}

ShortcutImageStore::Imported picture(int width) {
  const QString path = test::writeFile(test::home() + QStringLiteral("/picture%1.png").arg(width),
                                       test::encodedImage(test::pattern(width, 20), "png"));
  return ShortcutImageStore::importImage(QUrl::fromLocalFile(path));
}

/// The store's callbacks and notifications, in order.
struct Recorder {
  QStringList events;
  pf::ObserverToken token;

  explicit Recorder(ShortcutStore& store) {
    store.onChange = [this] { events << "onChange"; };
    token = pf::NotificationCenter::defaultCenter().addObserver(
        ShortcutStore::contentsChanged, nullptr, [this](const pf::Notification&) { events << "posted"; });
  }
};

}  // namespace

TEST(ShortcutStoreChanges, ADraftWithoutChangesWritesNothingAndAStaleOneConflicts) {
  const auto store = makeStore();
  const QByteArray before = fileOf("main");
  Recorder recorder(*store);
  store->saveDraft(ShortcutDraft(store->shortcuts()));
  EXPECT_TRUE(recorder.events.isEmpty());
  EXPECT_FALSE(test::readCatalogFile("main/shortcuts.previous.json"));

  ShortcutDraft stale(store->shortcuts());
  stale.items[0].label = "Mine";
  ShortcutDraft other(store->shortcuts());
  other.remove(1);
  store->saveDraft(other);
  const QByteArray saved = fileOf("main");
  EXPECT_NE(saved, before);
  EXPECT_EQ(messageOf([&] { store->saveDraft(stale); }), CatalogError::conflict().errorDescription());
  EXPECT_EQ(fileOf("main"), saved);
  EXPECT_EQ(recorder.events, (QStringList{"onChange", "posted"}));

  store->setCatalogIsWritable(false);
  store->setCatalogNotice(std::nullopt);
  EXPECT_EQ(messageOf([&] { store->saveDraft(ShortcutDraft(store->shortcuts())); }),
            "The shortcut catalog is read-only.");
}

TEST(ShortcutStoreChanges, ABookmarkStaysOnlyWhileItsShortcutPointsWhereItDid) {
  const auto store = makeStore();
  const QStringList ids{"kept", "typed", "rekinded", "deleted"};
  std::vector<Shortcut> folders;
  for (const QString& id : ids) folders.push_back(folderShortcut(id, folderNamed(id)));
  store->replaceShortcuts(withStock(folders));
  for (const QString& id : ids) store->setFile(QUrl::fromLocalFile(folderNamed(id)), id);
  EXPECT_EQ(savedCatalog("main").bookmarks.size(), 4u);

  ShortcutDraft draft(store->shortcuts());
  draft.items[9 + 1].destination = "/typed/elsewhere";
  draft.items[9 + 2].kind = ShortcutKind::application;
  draft.deleteAt(9 + 3);
  store->saveDraft(draft);
  const auto bookmarks = savedCatalog("main").bookmarks;
  ASSERT_EQ(bookmarks.size(), 1u);
  EXPECT_EQ(pf::Bookmark::resolve(bookmarks.at("kept")).path, folderNamed("kept"));

  // Replacing the list drops a bookmark only when its destination changes.
  store->setFile(QUrl::fromLocalFile(folderNamed("typed")), "typed");
  std::vector<Shortcut> replaced = withStock({folderShortcut("typed", folderNamed("typed"))});
  store->replaceShortcuts(replaced);
  EXPECT_EQ(savedCatalog("main").bookmarks.size(), 2u);
  replaced.back().destination = "/moved";
  store->replaceShortcuts(replaced);
  EXPECT_EQ(savedCatalog("main").bookmarks.size(), 1u);
}

TEST(ShortcutStoreChanges, ChosenFilesMustMatchTheirShortcutsAndBeUsable) {
  const QString folder = folderNamed("Projects");
  const QString entry = test::writeDesktopEntry(folderNamed("apps"), "editor", "true");
  struct Case {
    const char* name;
    Shortcut item;
    QString chosen;
    QString message;
  };
  const std::vector<Case> cases{
      {"folder", folderShortcut("f", folder), folder, ""},
      {"application", shortcut("a", ShortcutKind::application, entry), entry, ""},
      {"typed elsewhere", folderShortcut("f", "/typed"), folder, mismatch},
      {"website", shortcut("w", ShortcutKind::web, "https://example.com/"), folder, mismatch},
      {"gone folder", folderShortcut("f", folder + "/gone"), folder + "/gone", missingDestination},
      {"folder as application", shortcut("a", ShortcutKind::application, folder), folder,
       "Choose an installed .app application."},
  };
  for (const Case& c : cases) {
    const auto store = makeStore(c.name);
    ShortcutDraft draft(store->shortcuts());
    draft.items.push_back(c.item);
    draft.selectedFiles[c.item.id] = QUrl::fromLocalFile(c.chosen);
    const QByteArray before = fileOf(c.name);
    EXPECT_EQ(messageOf([&] { store->saveDraft(draft); }), c.message) << c.name;
    if (!c.message.isEmpty()) {
      EXPECT_EQ(fileOf(c.name), before) << c.name;
      continue;
    }
    const auto saved = savedCatalog(c.name);
    EXPECT_EQ(saved.shortcuts.back(), c.item) << c.name;
    EXPECT_EQ(pf::Bookmark::resolve(saved.bookmarks.at(c.item.id)).path, c.chosen) << c.name;
  }
  const auto store = makeStore("unknown");
  ShortcutDraft draft(store->shortcuts());
  draft.selectedFiles["nobody"] = QUrl::fromLocalFile(folder);
  EXPECT_EQ(messageOf([&] { store->saveDraft(draft); }), mismatch);
}

TEST(ShortcutStoreChanges, ChosenPicturesAreSavedOnlyWithTheCatalogAndOnlyWhenShown) {
  const auto store = makeStore();
  const auto shown = picture(30), dropped = picture(40);
  ShortcutDraft draft(store->shortcuts());
  draft.items[0].icon = shown.reference;
  draft.selectedImages = {{shown.reference, shown.png}, {dropped.reference, dropped.png}};
  {
    test::ChildProcess holder("holdCatalogLock", {catalogFolder() + "/main"});
    ASSERT_TRUE(holder.waitForLine("locked"));
    EXPECT_EQ(messageOf([&] { store->saveDraft(draft); }),
              "Another Wendle is saving shortcuts. Try again after it finishes.");
  }
  EXPECT_FALSE(QFileInfo::exists(store->imageStore().directory()));
  store->saveDraft(draft);
  EXPECT_TRUE(store->imageStore().contains(shown.reference));
  EXPECT_FALSE(store->imageStore().contains(dropped.reference));
  EXPECT_EQ(QDir(store->imageStore().directory()).count(), 3u);  // ".", ".." and one picture
  EXPECT_EQ(savedCatalog("main").shortcuts[0].icon, shown.reference);

  // The stored picture is gone: the unchanged shortcut still saves, a new use of it does not.
  QFile::remove(store->imageStore().url(shown.reference)->toLocalFile());
  ShortcutDraft later(store->shortcuts());
  later.items[2].label = "Renamed";
  store->saveDraft(later);
  later = ShortcutDraft(store->shortcuts());
  later.items[1].icon = shown.reference;
  EXPECT_EQ(messageOf([&] { store->saveDraft(later); }),
            "The custom image for " + later.items[1].label + " is missing. Choose it again before saving.");
  later.selectedImages[shown.reference] = dropped.png;
  EXPECT_EQ(messageOf([&] { store->saveDraft(later); }),
            "The selected button image is invalid. Choose the image again.");
  later.items[1].icon = "youtube";  // a built-in icon needs no picture
  later.selectedImages.clear();
  EXPECT_EQ(messageOf([&] { store->saveDraft(later); }), "");
}

TEST(ShortcutStoreChanges, ImportCopiesWhatWasNeverOfferedOnceAndAfterTheGuestsOwn) {
  const auto main = makeStore("main");
  const auto pictured = picture(30);
  ShortcutDraft draft(main->shortcuts());
  draft.items.push_back(folderShortcut("m-folder", folderNamed("Shared")));
  draft.items.push_back(shortcut("m-picture"));
  draft.items.back().icon = pictured.reference;
  draft.selectedFiles["m-folder"] = QUrl::fromLocalFile(folderNamed("Shared"));
  draft.selectedImages[pictured.reference] = pictured.png;
  main->saveDraft(draft);

  const auto guest = makeStore("guest");
  guest->replaceShortcuts(withStock({shortcut("g-own")}));
  Recorder recorder(*guest);
  EXPECT_TRUE(guest->importAvailableShortcuts(*main).missingImages.isEmpty());
  EXPECT_EQ(idsOf(guest->shortcuts()), idsOf(withStock({shortcut("g-own")})) << "m-folder"
                                                                             << "m-picture");
  const auto saved = savedCatalog("guest");
  EXPECT_EQ(saved.bookmarks, savedCatalog("main").bookmarks);
  EXPECT_TRUE(guest->imageStore().contains(pictured.reference));
  QStringList everyID = idsOf(main->shortcuts());
  everyID.sort();
  EXPECT_EQ(guest->defaults().stringArray(offeredKey), everyID);
  EXPECT_EQ(recorder.events, (QStringList{"onChange", "posted"}));

  const QByteArray imported = fileOf("guest");
  EXPECT_TRUE(guest->importAvailableShortcuts(*main).missingImages.isEmpty());
  EXPECT_EQ(fileOf("guest"), imported);
  EXPECT_EQ(recorder.events.size(), 2);

  ShortcutDraft deletion(guest->shortcuts());
  deletion.deleteAt(int(deletion.items.size()) - 2);
  guest->saveDraft(deletion);
  main->replaceShortcuts([&] {
    auto list = main->shortcuts();
    list.insert(list.begin(), shortcut("m-later"));
    return list;
  }());
  guest->importAvailableShortcuts(*main);
  EXPECT_EQ(idsOf(guest->shortcuts()), idsOf(withStock({shortcut("g-own")})) << "m-picture"
                                                                             << "m-later");
  EXPECT_TRUE(guest->defaults().stringArray(offeredKey)->contains("m-folder"));
}

TEST(ShortcutStoreChanges, ImportLeavesBehindAPictureTheSourceNoLongerHas) {
  const auto main = makeStore("main");
  const auto lost = picture(30), damaged = picture(40);
  ShortcutDraft draft(main->shortcuts());
  for (const auto& [id, image] : {std::pair{"lost", lost}, std::pair{"damaged", damaged}}) {
    draft.items.push_back(shortcut(id));
    draft.items.back().icon = image.reference;
    draft.selectedImages[image.reference] = image.png;
  }
  main->saveDraft(draft);
  QFile::remove(main->imageStore().url(lost.reference)->toLocalFile());
  test::writeFile(main->imageStore().url(damaged.reference)->toLocalFile(), "not a picture");

  const auto guest = makeStore("guest");
  EXPECT_EQ(guest->importAvailableShortcuts(*main).missingImages, (QStringList{"Label lost", "Label damaged"}));
  EXPECT_EQ(idsOf(guest->shortcuts()), idsOf(ShortcutPresets::creator()) << "lost"
                                                                         << "damaged");
  EXPECT_EQ(guest->shortcuts().back().icon, damaged.reference);
  EXPECT_FALSE(QFileInfo::exists(guest->imageStore().directory()));
  EXPECT_TRUE(guest->importAvailableShortcuts(*main).missingImages.isEmpty());
}

TEST(ShortcutStoreChanges, AGuestThatSharesImportsIntoItsOwnCatalogAndPictures) {
  const auto main = makeStore("main");
  const auto pictured = picture(30);
  ShortcutDraft draft(main->shortcuts());
  draft.items.push_back(shortcut("m-picture"));
  draft.items.back().icon = pictured.reference;
  draft.selectedImages[pictured.reference] = pictured.png;
  main->saveDraft(draft);
  const auto guest = makeStore("guest");
  guest->setSharedSource(main);
  guest->importAvailableShortcuts(*main);
  EXPECT_EQ(idsOf(savedCatalog("guest").shortcuts), idsOf(main->shortcuts()));
  guest->setSharedSource(nullptr);
  EXPECT_EQ(guest->shortcuts(), main->shortcuts());
  EXPECT_TRUE(guest->imageStore().contains(pictured.reference));
}

TEST(ShortcutStoreChanges, AFailedImportRecordsNothingAsOffered) {
  const auto main = makeStore("main");
  main->replaceShortcuts(withStock({shortcut("m1"), shortcut("m2")}));
  const auto guest = makeStore("guest");
  std::vector<Shortcut> own = withStock(test::catalogOf(118).shortcuts);
  guest->replaceShortcuts(own);
  EXPECT_EQ(messageOf([&] { guest->importAvailableShortcuts(*main); }), "Too many shortcuts (maximum 128).");
  EXPECT_FALSE(guest->defaults().object(offeredKey));
  own.pop_back();
  guest->replaceShortcuts(own);
  guest->importAvailableShortcuts(*main);
  EXPECT_EQ(guest->shortcuts().size(), 128u);
}

TEST(ShortcutStoreChanges, AddressesFilesAndActivePositions) {
  const auto store = makeStore();
  const QString entry = test::writeDesktopEntry(folderNamed("apps"), "editor", "true");
  store->replaceShortcuts(withStock(
      {shortcut("w"), shortcut("off"), folderShortcut("f", "/typed"), shortcut("a", ShortcutKind::application, "")}));
  auto noteOf = [&](const QString& id) { return store->item(id)->note; };

  struct Failure {
    std::function<void()> change;
    QString message;
  };
  const std::vector<Failure> failures{
      {[&] {
         store->saveURLs({{"nobody", "https://example.org/"}});
       },
       "Unknown website shortcut: nobody."},
      {[&] {
         store->saveURLs({{"f", "https://example.org/"}});
       },
       "Unknown website shortcut: f."},
      {[&] {
         store->saveURLs({{"w", "ftp://example.org/"}});
       },
       "Label w needs a complete HTTP(S) URL without embedded login credentials."},
      {[&] { store->setFile(QUrl::fromLocalFile(folderNamed("x")), "w"); }, "Unknown file shortcut: w."},
      {[&] { store->setFile(QUrl::fromLocalFile(folderNamed("x")), "nobody"); }, "Unknown file shortcut: nobody."},
      {[&] { store->setFile(QUrl::fromLocalFile("/gone"), "f"); }, missingDestination},
      {[&] { store->swapActiveShortcut("w", 0, ShortcutPresets::creator()); },
       CatalogError::conflict().errorDescription()},
      {[&] { store->swapActiveShortcut("nobody", 0, store->shortcuts()); },
       "This shortcut is no longer active or its destination position changed."},
      {[&] { store->swapActiveShortcut("w", 99, store->shortcuts()); },
       "This shortcut is no longer active or its destination position changed."},
  };
  const QByteArray before = fileOf("main");
  for (const Failure& failure : failures) EXPECT_EQ(messageOf(failure.change), failure.message);
  EXPECT_EQ(fileOf("main"), before);

  store->saveURLs({{"w", "  https://example.org/new \n"}, {"off", "\t"}});
  EXPECT_EQ(store->item("w")->destination, "https://example.org/new");
  EXPECT_EQ(noteOf("w"), "Your configured destination");
  EXPECT_EQ(store->item("off")->destination, "");
  EXPECT_EQ(noteOf("off"), "Not configured — choose a destination in Settings");
  store->saveURLs({{"w", "https://example.org/new"}, {"off", ""}});
  EXPECT_EQ(noteOf("off"), "Not configured — choose a destination in Settings");
  store->replaceShortcuts([&] {
    auto list = store->shortcuts();
    list[9].note = "Kept";
    return list;
  }());
  store->saveURLs({{"w", " https://example.org/new"}});
  EXPECT_EQ(noteOf("w"), "Kept");  // an unchanged address keeps its note

  store->setFile(QUrl::fromLocalFile(folderNamed("Chosen")), "f");
  EXPECT_EQ(store->item("f")->destination, folderNamed("Chosen"));
  EXPECT_EQ(noteOf("f"), "Your selected folder");
  store->setFile(QUrl::fromLocalFile(entry), "a");
  EXPECT_EQ(noteOf("a"), "Your selected application");
  EXPECT_EQ(pf::Bookmark::resolve(savedCatalog("main").bookmarks.at("a")).path, entry);

  const int active = int(store->activeShortcuts().size());
  store->swapActiveShortcut("w", 0, store->shortcuts());
  EXPECT_EQ(store->activeShortcuts()[0].id, "w");
  EXPECT_EQ(store->activeShortcuts()[9].id, ShortcutPresets::creator()[0].id);
  EXPECT_EQ(int(store->activeShortcuts().size()), active);
}

TEST(ShortcutStoreChanges, AGuestHandsEveryChangeButTheImportToItsSource) {
  const auto main = makeStore("main");
  const auto guest = makeStore("guest");
  guest->setSharedSource(main);
  const QByteArray guestFile = fileOf("guest");
  std::vector<Shortcut> list = withStock({shortcut("w"), folderShortcut("f", "/typed")});
  guest->replaceShortcuts(list);
  guest->saveURLs({{"w", "https://example.org/"}});
  guest->setFile(QUrl::fromLocalFile(folderNamed("F")), "f");
  guest->swapActiveShortcut("w", 0, guest->shortcuts());
  ShortcutDraft draft(guest->shortcuts());
  draft.remove(0);
  guest->saveDraft(draft);
  const auto saved = savedCatalog("main");
  EXPECT_EQ(saved.shortcuts, main->shortcuts());
  EXPECT_EQ(saved.shortcuts[0].id, "w");
  EXPECT_FALSE(saved.shortcuts[0].isActive);
  EXPECT_EQ(saved.shortcuts[0].destination, "https://example.org/");
  EXPECT_EQ(saved.bookmarks.size(), 1u);
  EXPECT_EQ(fileOf("guest"), guestFile);
}

TEST(ShortcutStoreChanges, AChangeWhileAnotherCopyHoldsTheLockChangesNothing) {
  const auto main = makeStore("main");
  const auto guest = makeStore("guest");
  main->replaceShortcuts(withStock({shortcut("w"), folderShortcut("f", "/typed"), shortcut("m")}));
  guest->replaceShortcuts(withStock({}));
  ShortcutDraft draft(guest->shortcuts());
  draft.add(ShortcutKind::web);
  const std::vector<std::function<void()>> changes{
      [&] { guest->saveDraft(draft); },
      [&] { guest->replaceShortcuts(withStock({shortcut("extra")})); },
      [&] { guest->importAvailableShortcuts(*main); },
      [&] {
        main->saveURLs({{"w", "https://example.org/"}});
      },
      [&] { main->setFile(QUrl::fromLocalFile(folderNamed("F")), "f"); },
      [&] { main->swapActiveShortcut("m", 0, main->shortcuts()); },
  };
  const QByteArray mainFile = fileOf("main"), guestFile = fileOf("guest");
  const auto mainShortcuts = main->shortcuts();
  Recorder recorder(*main);
  test::ChildProcess mainHolder("holdCatalogLock", {catalogFolder() + "/main"});
  test::ChildProcess guestHolder("holdCatalogLock", {catalogFolder() + "/guest"});
  ASSERT_TRUE(mainHolder.waitForLine("locked") && guestHolder.waitForLine("locked"));
  for (std::size_t i = 0; i < changes.size(); ++i)
    EXPECT_EQ(messageOf(changes[i]), "Another Wendle is saving shortcuts. Try again after it finishes.") << i;
  EXPECT_EQ(fileOf("main"), mainFile);
  EXPECT_EQ(fileOf("guest"), guestFile);
  EXPECT_EQ(main->shortcuts(), mainShortcuts);
  EXPECT_FALSE(guest->defaults().object(offeredKey));
  EXPECT_TRUE(recorder.events.isEmpty());
}

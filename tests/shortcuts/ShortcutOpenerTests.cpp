#include "platform/core/Bookmark.h"
#include "platform/core/FileLock.h"
#include "platform/core/QtMainQueue.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/Workspace.h"
#include "platform/ui/DesktopWorkspace.h"
#include "shortcuts/RepositorySupport.h"
#include "shortcuts/ShortcutOpener.h"
#include "shortcuts/ShortcutStore.h"
#include "support/DesktopEntries.h"

#include <QDir>
#include <gtest/gtest.h>

using test::catalogFolder;
using test::home;

namespace {

const QString inactiveMessage =
    QStringLiteral("This shortcut is not active. Activate it in Edit Shortcuts first.");
const QString missingMessage =
    QStringLiteral("This destination is missing. Choose its current location in Settings.");
const QString applicationMessage = QStringLiteral("Choose an installed .app application.");
const QString renewalNotice = QStringLiteral("Folder opened, but its refreshed bookmark was not saved: ");

// A workspace nobody may ask: the tests below replace the opener's operations.
class ForbiddenWorkspace final : public pf::Workspace {
 public:
  bool openURL(const QUrl& url) override {
    ADD_FAILURE() << "the real workspace was asked to open " << url.toString().toStdString();
    return false;
  }
  void openApplication(const QUrl& url, LaunchCompletion) override {
    ADD_FAILURE() << "the real workspace was asked to launch " << url.toString().toStdString();
  }
};

Shortcut make(const QString& id, ShortcutKind kind, const QString& destination, bool active = true) {
  return {id, QStringLiteral(" My ") + id, kind, destination, {}, std::nullopt, std::nullopt, active};
}

QString makeFolder(const QString& path) {
  QDir().mkpath(path);
  return path;
}

/// The completion's calls: how many, with what, and whether `open` had returned.
struct Completions {
  int count = 0;
  std::optional<QString> error;
  bool openReturned = false;
  bool arrivedBeforeReturn = false;

  ShortcutOpener::Completion completion() {
    return [this](std::optional<QString> e) {
      ++count;
      error = std::move(e);
      arrivedBeforeReturn = !openReturned;
    };
  }
};

class ShortcutOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    opener.webOpen = [this](const QUrl& url) {
      asked << QStringLiteral("web ") + url.toString();
      return webAccepts;
    };
    opener.folderOpen = [this](const QUrl& url) {
      asked << QStringLiteral("folder ") + url.toLocalFile();
      return folderAccepts;
    };
    opener.applicationOpen = [this](const QUrl& url, ShortcutOpener::Completion completion) {
      asked << QStringLiteral("application ") + url.toLocalFile();
      pf::QtMainQueue::shared().async(nullptr, [completion, error = launchError] { completion(error); });
    };
  }

  /// A store over `folder` (in the catalog folder) whose catalog holds `shortcuts` and `bookmarks`.
  std::shared_ptr<ShortcutStore> storeWith(const std::vector<Shortcut>& shortcuts,
                                           const std::map<QString, QByteArray>& bookmarks = {},
                                           const QString& folder = QStringLiteral("main")) {
    ShortcutCatalog seed{ShortcutCatalog::currentVersion, shortcuts, bookmarks};
    ShortcutCatalogRepository(catalogFolder() + u'/' + folder).load([&] { return seed; }, std::nullopt);
    return std::make_shared<ShortcutStore>(
        pf::UserDefaults::suite(QStringLiteral("org.wendle.Wendle.companion.") + folder),
        catalogFolder() + u'/' + folder);
  }

  /// Opens `shortcut` and records how the completion was called.
  Completions open(const Shortcut& shortcut, ShortcutStore& store) {
    Completions calls;
    opener.open(shortcut, store, calls.completion());
    calls.openReturned = true;
    test::processEventsUntil([&] { return calls.count > 0; }, 5);
    return calls;
  }

  ForbiddenWorkspace forbidden;
  ShortcutOpener opener{forbidden};
  QStringList asked;
  bool webAccepts = true;
  bool folderAccepts = true;
  std::optional<QString> launchError;
};

}  // namespace

TEST_F(ShortcutOpenerTest, InactiveOrUnknownShortcutsFailWithoutAskingTheWorkspace) {
  const QString folder = makeFolder(home() + QStringLiteral("/Work"));
  const auto store = storeWith({make("site", ShortcutKind::web, "https://example.com/", false),
                                make("work", ShortcutKind::folder, folder, false)});
  for (const Shortcut& shortcut :
       {make("site", ShortcutKind::web, "https://example.com/"), make("work", ShortcutKind::folder, folder),
        make("unknown", ShortcutKind::web, "https://example.com/")}) {
    const Completions calls = open(shortcut, *store);
    EXPECT_EQ(calls.count, 1);
    EXPECT_EQ(calls.error, inactiveMessage) << shortcut.id.toStdString();
    EXPECT_TRUE(calls.arrivedBeforeReturn);
  }
  EXPECT_TRUE(asked.isEmpty()) << asked.join(", ").toStdString();
}

TEST_F(ShortcutOpenerTest, DestinationsThatCannotBeOpenedFailWithTheirSentence) {
  const QString folder = makeFolder(home() + QStringLiteral("/Work"));
  test::writeFile(home() + QStringLiteral("/plain.txt"), "text");
  const QString capitalEntry = test::writeDesktopEntry(home() + QStringLiteral("/apps"),
                                                       QStringLiteral("Loud"), QStringLiteral("true"));
  QFile::rename(capitalEntry, home() + QStringLiteral("/apps/Loud.DESKTOP"));
  const auto store =
      storeWith({make("site", ShortcutKind::web, "https://example.com/"),
                 make("work", ShortcutKind::folder, ""), make("tool", ShortcutKind::application, "")});
  struct Row {
    Shortcut shortcut;
    QString message;
  };
  const Row rows[] = {
      // Only the id and the stored state come from the store; the rest is the caller's.
      {make("site", ShortcutKind::web, "https://me@example.com/"),
       QStringLiteral(" My site needs a valid website URL. Open Settings to configure it.")},
      {make("site", ShortcutKind::web, "ftp://example.com/"),
       QStringLiteral(" My site needs a valid website URL. Open Settings to configure it.")},
      {make("work", ShortcutKind::folder, ""),
       QStringLiteral("Choose your  My work destination in Settings first.")},
      {make("tool", ShortcutKind::application, ""),
       QStringLiteral("Choose your  My tool destination in Settings first.")},
      {make("work", ShortcutKind::folder, " "), missingMessage},
      {make("work", ShortcutKind::folder, home() + QStringLiteral("/Gone")), missingMessage},
      {make("work", ShortcutKind::folder, home() + QStringLiteral("/plain.txt")), missingMessage},
      {make("tool", ShortcutKind::application, home() + QStringLiteral("/apps/gone.desktop")),
       missingMessage},
      {make("tool", ShortcutKind::application, folder), applicationMessage},
      {make("tool", ShortcutKind::application, home() + QStringLiteral("/plain.txt")), applicationMessage},
      {make("tool", ShortcutKind::application, home() + QStringLiteral("/apps/Loud.DESKTOP")),
       applicationMessage},
  };
  for (const Row& row : rows) {
    const Completions calls = open(row.shortcut, *store);
    EXPECT_EQ(calls.count, 1);
    EXPECT_EQ(calls.error, row.message) << row.shortcut.destination.toStdString();
    EXPECT_TRUE(calls.arrivedBeforeReturn);
  }
  EXPECT_TRUE(asked.isEmpty()) << asked.join(", ").toStdString();
}

TEST_F(ShortcutOpenerTest, WebsitesAndFoldersAreHandedToTheWorkspaceAndAnsweredAtOnce) {
  const QString folder = makeFolder(home() + QStringLiteral("/My Work"));
  const auto store = storeWith(
      {make("site", ShortcutKind::web, "https://example.com/"), make("work", ShortcutKind::folder, folder)});

  Completions calls = open(make("site", ShortcutKind::web, "  https://example.com/a?b=1  "), *store);
  EXPECT_EQ(calls.error, std::nullopt);
  EXPECT_TRUE(calls.arrivedBeforeReturn);
  calls = open(make("work", ShortcutKind::folder, folder), *store);
  EXPECT_EQ(calls.error, std::nullopt);
  EXPECT_TRUE(calls.arrivedBeforeReturn);
  EXPECT_EQ(asked, (QStringList{"web https://example.com/a?b=1", "folder " + folder}));

  webAccepts = false;
  folderAccepts = false;
  calls = open(make("site", ShortcutKind::web, "https://example.com/"), *store);
  EXPECT_EQ(calls.error, QStringLiteral("Your browser could not open  My site. Check your default browser or "
                                        "change the URL in Settings."));
  EXPECT_TRUE(calls.arrivedBeforeReturn);
  calls = open(make("work", ShortcutKind::folder, folder), *store);
  EXPECT_EQ(calls.error,
            QStringLiteral("The file manager could not open  My work. Reselect the folder in Edit Shortcuts."));
  EXPECT_TRUE(calls.arrivedBeforeReturn);
  EXPECT_EQ(calls.count, 1);
}

TEST_F(ShortcutOpenerTest, ApplicationsAnswerAfterOpenReturnedWithTheWorkspacesOwnError) {
  const QString entry = test::writeDesktopEntry(home() + QStringLiteral("/apps"), "tool", "true");
  const auto store = storeWith({make("tool", ShortcutKind::application, entry)});
  launchError = QStringLiteral("Failed to execute child process “tool”");
  const Completions calls = open(make("tool", ShortcutKind::application, entry), *store);
  EXPECT_EQ(calls.count, 1);
  EXPECT_FALSE(calls.arrivedBeforeReturn);
  EXPECT_EQ(calls.error, launchError);
  EXPECT_EQ(asked, QStringList{"application " + entry});
}

TEST_F(ShortcutOpenerTest, TheDefaultOperationsGoToTheWorkspace) {
  struct Recording final : pf::Workspace {
    QStringList calls;
    bool openURL(const QUrl& url) override {
      calls << url.toString();
      return false;
    }
    void openApplication(const QUrl& url, LaunchCompletion completion) override {
      calls << url.toString();
      completion(QStringLiteral("refused"));
    }
  } workspace;
  const ShortcutOpener plain(workspace);
  EXPECT_FALSE(plain.webOpen(QUrl("https://example.com/")));
  EXPECT_FALSE(plain.folderOpen(QUrl::fromLocalFile("/tmp")));
  std::optional<QString> error;
  plain.applicationOpen(QUrl::fromLocalFile("/x.desktop"), [&](std::optional<QString> e) { error = e; });
  EXPECT_EQ(workspace.calls, (QStringList{"https://example.com/", "file:///tmp", "file:///x.desktop"}));
  EXPECT_EQ(error, QStringLiteral("refused"));
}

// Bookmarks: a folder found elsewhere opens at its new place and its renewed
// bookmark is saved in the catalog that holds it.

class ShortcutOpenerBookmarks : public ShortcutOpenerTest {
 protected:
  void SetUp() override {
    ShortcutOpenerTest::SetUp();
    original = makeFolder(home() + QStringLiteral("/Projects/Alpha"));
    bookmark = pf::Bookmark::create(original);
    moved = home() + QStringLiteral("/Projects/Archive/Alpha 2");
    makeFolder(home() + QStringLiteral("/Projects/Archive"));
  }

  void moveFolder() { ASSERT_TRUE(QDir().rename(original, moved)); }

  /// The bookmark saved under "work" in the catalog file of `folder`.
  QByteArray savedBookmark(const QString& folder = QStringLiteral("main")) {
    return ShortcutCatalog::decode(*test::readCatalogFile(folder + QStringLiteral("/shortcuts.json")))
        .bookmarks.at(QStringLiteral("work"));
  }

  QString original;
  QString moved;
  QByteArray bookmark;
};

TEST_F(ShortcutOpenerBookmarks, AMovedFolderOpensAtItsNewPlaceAndTheRenewedBookmarkIsSaved) {
  const Shortcut work = make("work", ShortcutKind::folder, original);
  const auto store = storeWith({work}, {{"work", bookmark}});
  int changes = 0;
  store->onChange = [&] { ++changes; };
  moveFolder();

  const Completions calls = open(work, *store);
  EXPECT_EQ(calls.error, std::nullopt);
  EXPECT_EQ(asked, QStringList{"folder " + moved});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pf::Bookmark::resolve(savedBookmark()), (pf::BookmarkResolution{moved, false}));
  EXPECT_EQ(store->item("work")->destination, original);  // the stored text is never changed here
  EXPECT_FALSE(store->catalogNotice());

  // The renewed bookmark is found at once the next time: nothing more is written.
  open(work, *store);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(asked.last(), "folder " + moved);
}

TEST_F(ShortcutOpenerBookmarks, AStoreThatSharesTheMainCatalogRenewsItThere) {
  const Shortcut work = make("work", ShortcutKind::folder, original);
  const auto main = storeWith({work}, {{"work", bookmark}});
  const auto guest = storeWith({make("other", ShortcutKind::web, "https://example.com/")}, {}, "guest");
  const QByteArray guestFile = *test::readCatalogFile("guest/shortcuts.json");
  guest->setSharedSource(main);
  QStringList changes;
  main->onChange = [&] { changes << "main"; };
  guest->onChange = [&] { changes << "guest"; };
  moveFolder();

  EXPECT_EQ(open(work, *guest).error, std::nullopt);
  EXPECT_EQ(asked, QStringList{"folder " + moved});
  EXPECT_EQ(pf::Bookmark::resolve(savedBookmark()).path, moved);
  EXPECT_EQ(*test::readCatalogFile("guest/shortcuts.json"), guestFile);
  EXPECT_EQ(changes, (QStringList{"main", "guest"}));
}

TEST_F(ShortcutOpenerBookmarks, ARenewalThatCannotBeSavedLeavesANoticeAndStillOpens) {
  const Shortcut work = make("work", ShortcutKind::folder, original);
  const auto store = storeWith({work}, {{"work", bookmark}});
  const QByteArray before = *test::readCatalogFile("main/shortcuts.json");
  int changes = 0;
  store->onChange = [&] { ++changes; };
  moveFolder();
  {
    // Another running copy is saving.
    const auto lock = pf::FileLock::tryLock(catalogFolder() + QStringLiteral("/main/shortcuts.lock"));
    ASSERT_TRUE(lock);
    EXPECT_EQ(open(work, *store).error, std::nullopt);
  }
  EXPECT_EQ(asked, QStringList{"folder " + moved});
  EXPECT_EQ(
      store->catalogNotice(),
      renewalNotice + QStringLiteral("Another Wendle is saving shortcuts. Try again after it finishes."));
  EXPECT_EQ(*test::readCatalogFile("main/shortcuts.json"), before);
  EXPECT_EQ(changes, 0);
}

TEST_F(ShortcutOpenerBookmarks, ABookmarkThatCannotBeResolvedFallsBackToThePath) {
  const QString other = makeFolder(home() + QStringLiteral("/Other"));
  const auto store =
      storeWith({make("work", ShortcutKind::folder, original)}, {{"work", QByteArray("not one of ours")}});
  const QByteArray before = *test::readCatalogFile("main/shortcuts.json");
  EXPECT_EQ(open(make("work", ShortcutKind::folder, other), *store).error, std::nullopt);
  EXPECT_EQ(asked, QStringList{"folder " + other});
  EXPECT_EQ(*test::readCatalogFile("main/shortcuts.json"), before);

  QDir(home()).rmdir("Other");
  EXPECT_EQ(open(make("work", ShortcutKind::folder, other), *store).error, missingMessage);
}

// Applications are desktop entries launched for real through GIO.

TEST(ShortcutOpenerLaunch, ADesktopEntryIsLaunchedAndAnswersAfterOpenReturned) {
  const QString marker = home() + QStringLiteral("/marker");
  const QString entry = test::writeMarkerEntry(home() + QStringLiteral("/apps"), "marker", marker);
  const Shortcut tool = make("tool", ShortcutKind::application, entry);
  ShortcutCatalogRepository(catalogFolder())
      .load(
          [&] {
            return ShortcutCatalog{2, {tool}, {}};
          },
          std::nullopt);
  ShortcutStore store(pf::UserDefaults::standard(), catalogFolder());
  const ShortcutOpener opener(pf::DesktopWorkspace::shared());

  Completions calls;
  opener.open(tool, store, calls.completion());
  calls.openReturned = true;
  EXPECT_EQ(calls.count, 0);
  ASSERT_TRUE(test::processEventsUntil([&] { return calls.count > 0; }));
  EXPECT_FALSE(calls.arrivedBeforeReturn);
  EXPECT_EQ(calls.error, std::nullopt);
  EXPECT_TRUE(test::processEventsUntil([&] { return test::contentsOf(marker) == "ok\n"; }));
  EXPECT_EQ(calls.count, 1);
}

#include "filedrop/TransferSupport.h"
#include "filedrop/ui/FileDropController.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibLook.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "support/EventLoop.h"
#include "widgets/GlassSurface.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

/// Reaches the store's single write path, to change the catalog behind the window's back.
class ShortcutStoreProbe final {
 public:
  static void commit(ShortcutStore& store, const ShortcutCatalog& catalog) { store.commit(catalog, {}); }
};

namespace {

using test::fileURL;

Shortcut folderShortcut(const QString& id, const QString& label, const QString& destination, bool active = true) {
  return {id, label, ShortcutKind::folder, destination, {}, std::nullopt, std::nullopt, active};
}

Shortcut webShortcut(const QString& id) {
  return {id, "Web " + id, ShortcutKind::web, "https://example.org/", {}, std::nullopt, std::nullopt, true};
}

std::shared_ptr<ShortcutStore> storeWith(const std::vector<Shortcut>& shortcuts) {
  static int made = 0;
  const QString folder = test::home() + QStringLiteral("/catalog%1").arg(++made);
  ShortcutCatalog catalog;
  catalog.shortcuts = shortcuts;
  ShortcutCatalogRepository(folder).load([&] { return catalog; }, std::nullopt);
  return std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), folder);
}

/// A controller over a store of the given shortcuts, whose transfers are
/// recorded and finished by the test.
struct Fixture {
  std::shared_ptr<ShortcutStore> store;
  FileDropController controller;
  QList<bool> holds;
  QList<QUrl> transferredFolders;
  std::function<void(std::vector<FileDropResult>)> complete;

  explicit Fixture(const std::vector<Shortcut>& shortcuts) : store(storeWith(shortcuts)), controller(store) {
    controller.onHold = [this](bool on) { holds << on; };
    controller.execute = [this](const QList<QUrl>&, const QUrl& folder, FileDropOperation, auto completion) {
      transferredFolders << folder;
      complete = [completion](std::vector<FileDropResult> results) {
        completion(std::move(results));
        test::processEventsUntil([] { return true; });
        QCoreApplication::processEvents();
      };
    };
  }

  template <typename Widget>
  Widget* find(const QString& text = {}) const {
    for (Widget* widget : controller.window()->findChildren<Widget*>()) {
      if constexpr (std::is_same_v<Widget, QPushButton>) {
        if (widget->text() != text) continue;
      }
      return widget;
    }
    return nullptr;
  }
  QString label(const char* name) const { return controller.window()->findChild<QLabel*>(name)->text(); }
  QString status() const { return label("status"); }
  QString heading() const { return label("summary"); }
  QString list() const { return find<QPlainTextEdit>()->toPlainText(); }
  QStringList folderTitles() const {
    QStringList titles;
    for (int i = 0; i < find<QComboBox>()->count(); ++i) titles << find<QComboBox>()->itemText(i);
    return titles;
  }
  void click(const QString& title) { QTest::mouseClick(find<QPushButton>(title), Qt::LeftButton); }
};

}  // namespace

TEST(FileDropController, TakesOnlyLocalFilesAndMergesDropsIntoAnOpenBatch) {
  const QString saved = test::folderInHome("Saved");
  Fixture fixture({folderShortcut("docs", "Documents", saved)});
  EXPECT_FALSE(fixture.controller.present({QUrl("https://example.org/a.pdf")}));
  EXPECT_FALSE(fixture.controller.window()->isVisible());
  EXPECT_TRUE(fixture.holds.isEmpty());

  ASSERT_TRUE(fixture.controller.present({fileURL("/data/one/Report.pdf")}));
  EXPECT_TRUE(fixture.controller.window()->isVisible());
  EXPECT_EQ(fixture.controller.window()->windowTitle(), "Move or Copy Files");
  EXPECT_EQ(fixture.heading(), "Where should this item go?");
  EXPECT_EQ(fixture.list(), "Report.pdf\n/data/one");
  EXPECT_EQ(fixture.status(), "Choose a folder, then click Copy or Move.");
  EXPECT_EQ(fixture.label("folderPath"), saved);

  ASSERT_TRUE(fixture.controller.present(
      {fileURL("/data/one/./Report.pdf"), fileURL("/data/two/b.txt"), fileURL("/data/Notes")}));
  EXPECT_EQ(fixture.heading(), "Where should these 3 items go?");
  EXPECT_EQ(fixture.list(), "Report.pdf\n/data/one\n\nb.txt\n/data/two\n\nNotes\n/data");
  EXPECT_EQ(fixture.holds, (QList<bool>{true, true}));

  fixture.controller.window()->performClose();
  EXPECT_FALSE(fixture.controller.window()->isVisible());
  EXPECT_TRUE(fixture.controller.sources().isEmpty());
  EXPECT_EQ(fixture.holds, (QList<bool>{true, true, false}));
  fixture.controller.copyFiles();  // the closed batch is gone: nothing is left to transfer
  EXPECT_TRUE(fixture.transferredFolders.isEmpty());
  ASSERT_TRUE(fixture.controller.present({fileURL("/data/two/b.txt")}));
  EXPECT_EQ(fixture.controller.sources(), (QList<QUrl>{fileURL("/data/two/b.txt")}));
}

TEST(FileDropController, OffersActiveFoldersInOrderOrAsksForOne) {
  Fixture fixture({folderShortcut("a", "Shared", "/srv/a"), webShortcut("w"), folderShortcut("off", "Off", "/srv/off", false),
                   folderShortcut("empty", "Empty", ""), folderShortcut("b", "Shared", "/srv/<b>Bold</b>")});
  fixture.controller.present({fileURL("/data/x")});
  EXPECT_EQ(fixture.folderTitles(), (QStringList{"Shared", "Shared"}));
  fixture.find<QComboBox>()->setCurrentIndex(1);
  EXPECT_EQ(fixture.label("folderPath"), "/srv/<b>Bold</b>");
  for (const char* label : {"folderPath", "status"})
    EXPECT_EQ(fixture.controller.window()->findChild<QLabel*>(label)->textFormat(), Qt::PlainText) << label;
  EXPECT_TRUE(fixture.find<QPushButton>("Copy")->isEnabled());

  Fixture none({webShortcut("w")});
  none.controller.present({fileURL("/data/x")});
  EXPECT_EQ(none.folderTitles(), (QStringList{"No active saved folders"}));
  EXPECT_EQ(none.status(), "Add or activate a folder in Edit Shortcuts, then drop your files again.");
  for (const char* title : {"Copy", "Move"}) EXPECT_FALSE(none.find<QPushButton>(title)->isEnabled()) << title;
  EXPECT_FALSE(none.find<QComboBox>()->isEnabled());
  EXPECT_TRUE(none.find<QPushButton>("Cancel")->isEnabled());
}

TEST(FileDropController, WhileBusyNothingClosesAndNoDropIsTaken) {
  const QString saved = test::folderInHome("Saved");
  Fixture fixture({folderShortcut("docs", "Documents", saved)});
  fixture.controller.present({fileURL("/data/a.txt"), fileURL("/data/b.txt"), fileURL("/data/c.txt")});
  EXPECT_TRUE(fixture.controller.window()->isCloseButtonEnabled());
  fixture.click("Move");
  ASSERT_TRUE(fixture.controller.isBusy());
  EXPECT_EQ(fixture.transferredFolders, (QList<QUrl>{fileURL(saved)}));
  EXPECT_EQ(fixture.status(), "Moving…");
  for (const char* title : {"Copy", "Move", "Cancel", "Edit saved folders…"})
    EXPECT_FALSE(fixture.find<QPushButton>(title)->isEnabled()) << title;
  EXPECT_FALSE(fixture.controller.window()->isCloseButtonEnabled());
  EXPECT_FALSE(fixture.controller.present({fileURL("/data/d.txt")}));
  fixture.controller.copyFiles();
  fixture.controller.cancel();
  fixture.controller.editFolders();
  QTest::keyClick(fixture.controller.window(), Qt::Key_Escape);
  fixture.controller.window()->performClose();
  EXPECT_TRUE(fixture.controller.window()->isVisible());
  EXPECT_EQ(fixture.controller.sources().size(), 3);

  fixture.complete({{fileURL("/data/a.txt"), fileURL(saved + "/a.txt"), std::nullopt},
                    {fileURL("/data/b.txt"), fileURL(saved + "/b 2.txt"), std::nullopt},
                    {fileURL("/data/c.txt"), fileURL(saved + "/c.txt"), "Disk full."}});
  EXPECT_FALSE(fixture.controller.isBusy());
  EXPECT_TRUE(fixture.controller.isFinished());
  EXPECT_EQ(fixture.status(), "Moved 2 of 3. Check the details above; failed items were not retried.");
  EXPECT_EQ(fixture.list(), "a.txt — Moved\n" + saved + "/a.txt\n\nb.txt — Moved\n" + saved +
                                "/b 2.txt\n\nc.txt — Not completed\nDisk full.\nSource: /data/c.txt\n"
                                "Check destination: " + saved + "/c.txt");
  EXPECT_TRUE(fixture.find<QPushButton>("Done")->isEnabled());
  EXPECT_TRUE(fixture.controller.window()->isCloseButtonEnabled());
  EXPECT_FALSE(fixture.find<QPushButton>("Copy")->isEnabled());
  fixture.controller.copyFiles();
  EXPECT_EQ(fixture.transferredFolders.size(), 1);
  EXPECT_EQ(fixture.status(), "Moved 2 of 3. Check the details above; failed items were not retried.");

  ASSERT_TRUE(fixture.controller.present({fileURL("/data/e.txt")}));
  EXPECT_EQ(fixture.controller.sources(), (QList<QUrl>{fileURL("/data/e.txt")}));
  EXPECT_TRUE(fixture.find<QPushButton>("Cancel"));
}

TEST(FileDropController, SummaryCountsItems) {
  const QString saved = test::folderInHome("Saved");
  Fixture fixture({folderShortcut("docs", "Documents", saved)});
  const struct {
    int items;
    const char* summary;
  } cases[] = {{1, "Copied 1 item."}, {2, "Copied 2 items."}};
  for (const auto& c : cases) {
    QList<QUrl> sources;
    std::vector<FileDropResult> results;
    for (int i = 0; i < c.items; ++i) {
      sources << fileURL(QStringLiteral("/data/%1.txt").arg(i));
      results.push_back({sources.last(), fileURL(saved + QStringLiteral("/%1.txt").arg(i)), std::nullopt});
    }
    fixture.controller.present(sources);
    fixture.click("Copy");
    fixture.complete(results);
    EXPECT_EQ(fixture.status(), c.summary);
  }
}

TEST(FileDropController, AFolderChangedOrUnusableSinceListingIsRefused) {
  const QString saved = test::folderInHome("Saved");
  Fixture fixture({folderShortcut("docs", "Documents", saved), folderShortcut("gone", "Gone", test::home() + "/gone")});
  fixture.controller.present({fileURL("/data/a.txt")});
  ShortcutStoreProbe::commit(*fixture.store, [&] {
    ShortcutCatalog catalog;
    catalog.shortcuts = {folderShortcut("docs", "Renamed", saved), folderShortcut("gone", "Gone", test::home() + "/gone"),
                         folderShortcut("other", "Other", saved)};
    return catalog;
  }());
  fixture.find<QComboBox>()->setCurrentIndex(1);
  fixture.click("Copy");
  EXPECT_FALSE(fixture.controller.isBusy());
  EXPECT_TRUE(fixture.status().contains("missing")) << fixture.status().toStdString();

  ShortcutStoreProbe::commit(*fixture.store, [&] {
    ShortcutCatalog catalog;
    catalog.shortcuts = {folderShortcut("docs", "Documents", test::home())};
    return catalog;
  }());
  fixture.find<QComboBox>()->setCurrentIndex(0);
  fixture.click("Copy");
  EXPECT_EQ(fixture.status(), "That saved folder changed. Close this window and drop the files again.");
  EXPECT_TRUE(fixture.transferredFolders.isEmpty());
  EXPECT_EQ(fixture.controller.sources().size(), 1);
}

TEST(FileDropController, TransfersInTheBackgroundWhileTheWindowStaysResponsive) {
  const QString saved = test::folderInHome("Saved");
  const QString big = test::writeFile(test::inHome("Drop/big.bin"), QByteArray(64 << 20, 'b'));
  QList<QUrl> sources{fileURL(big)};
  for (int i = 0; i < 200; ++i) sources << fileURL(test::writeFile(test::inHome(QStringLiteral("Drop/%1.txt").arg(i)), "x"));
  auto store = storeWith({folderShortcut("docs", "Documents", saved)});
  auto controller = std::make_unique<FileDropController>(store);
  controller->present(sources);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(1);
  controller->copyFiles();
  ASSERT_TRUE(controller->isBusy());
  ASSERT_TRUE(test::processEventsUntil([&] { return !controller->isBusy(); }, 60));
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(controller->window()->findChild<QLabel*>("status")->text(), "Copied 201 items.");
  EXPECT_EQ(test::contentsOf(saved + "/big.bin").size(), 64 << 20);

  // Gone mid-transfer: its completion is dropped.
  controller->present({fileURL(big)});
  controller->copyFiles();
  controller.reset();
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::processEvents();
  EXPECT_TRUE(test::exists(saved + "/big 2.bin"));
}

TEST(FileDropController, TheWindowIsGlassInTheSkinsLookAndFollowsALookChange) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QStringLiteral("robotLab"));
  Fixture fixture({folderShortcut("docs", "Documents", test::folderInHome("Saved"))});
  pf::Window* window = fixture.controller.window();
  ASSERT_NE(qobject_cast<GlassSurface*>(window->contentView()), nullptr);
  EXPECT_EQ(pf::ViewStyle::appearance(window), pf::Appearance::dark);
  const auto textOf = [&](const QWidget* view) { return pf::ViewStyle::color(view, pf::ViewStyle::ColorRole::text); };
  const QWidget* heading = window->findChild<QLabel*>("summary");
  const QWidget* path = window->findChild<QLabel*>("folderPath");
  EXPECT_EQ(textOf(heading), QuibTheme::text());
  EXPECT_EQ(textOf(fixture.find<QPlainTextEdit>()), QuibTheme::text());
  EXPECT_EQ(textOf(path), QuibTheme::secondary());
  const pf::Color darkText = QuibTheme::text();
  fixture.controller.present({fileURL("/data/x")});

  QuibLook::selectSkin(QuibSkin::pearlSpace);

  ASSERT_NE(QuibTheme::text(), darkText);
  EXPECT_EQ(pf::ViewStyle::appearance(window), pf::Appearance::light);
  EXPECT_EQ(textOf(heading), QuibTheme::text());
  EXPECT_EQ(textOf(fixture.find<QPlainTextEdit>()), QuibTheme::text());
  EXPECT_EQ(textOf(path), QuibTheme::secondary());
  EXPECT_EQ(textOf(window->findChild<QLabel*>("status")), pf::Color::system(QStringLiteral("systemOrange")));
  pf::UserDefaults::standard().remove(QStringLiteral("visualSkin"));
}

TEST(FileDropController, EverySentenceShowsWholeWithinItsLabel) {
  const QString saved = test::folderInHome("Saved");
  Fixture fixture({folderShortcut("docs", "Documents", saved)});
  Fixture none({webShortcut("w")});
  const QList<QUrl> three{fileURL("/data/a.txt"), fileURL("/data/b.txt"), fileURL("/data/c.txt")};
  const struct {
    const char* state;
    Fixture& window;
    std::function<void()> reach;
  } cases[] = {
      {"choosing", fixture, [&] { fixture.controller.present(three); }},
      {"no saved folder", none, [&] { none.controller.present(three); }},
      {"finished with a failure", fixture,
       [&] {
         fixture.click("Copy");
         fixture.complete({{three[0], fileURL(saved + "/a.txt"), std::nullopt},
                           {three[1], fileURL(saved + "/b.txt"), std::nullopt},
                           {three[2], fileURL(saved + "/c.txt"), "Disk full."}});
       }},
  };
  for (const auto& c : cases) {
    c.reach();
    for (const QLabel* label : c.window.controller.window()->findChildren<QLabel*>()) {
      if (!label->isVisible() || label->text().isEmpty()) continue;
      const QRect room = label->contentsRect();
      const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
      const QRect needed = label->fontMetrics().boundingRect(room, flags, label->text());
      EXPECT_TRUE(room.contains(needed)) << c.state << ": \"" << label->text().toStdString() << "\" needs "
                                         << needed.width() << "x" << needed.height() << " in " << room.width()
                                         << "x" << room.height();
    }
  }
}

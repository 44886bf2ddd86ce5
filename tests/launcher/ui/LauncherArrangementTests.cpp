#include "launcher/LauncherAssignmentStore.h"
#include "launcher/LauncherSlot.h"
#include "launcher/ui/GlassSurface.h"
#include "launcher/ui/LauncherFixture.h"
#include "launcher/ui/LauncherViewController.h"
#include "launcher/ui/ShortcutButton.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/ViewLayer.h"
#include "shortcuts/CatalogError.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QString conflict = CatalogError::conflict().errorDescription();

/// What the launcher tells its owner, in order.
struct Journal {
  QStringList events;
  void watch(LauncherViewController& launcher) {
    launcher.onArrangeInteraction = [this](bool on) { events << (on ? "arranging" : "arranged"); };
    launcher.onArrangeError = [this](const QString& message) { events << "error: " + message; };
    launcher.onOpen = [this](const Shortcut& s) { events << "open " + s.id; };
    launcher.onDismiss = [this] { events << "dismiss"; };
  }
};

QPoint centerOf(const QWidget* view) { return view->geometry().center(); }

/// The launcher's window, where the pointer's events arrive as they do from the system.
QWindow* windowOf(LauncherViewController& launcher) { return launcher.view()->window()->windowHandle(); }

void show(LauncherViewController& launcher) {
  launcher.view()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(launcher.view()));
}

/// A launcher over positions made afresh, shown, telling `journal`.
std::unique_ptr<LauncherViewController> shownAfresh(ShortcutStore& store, Journal& journal) {
  LauncherAssignmentStore::resetShared();
  auto launcher = std::make_unique<LauncherViewController>(store);
  journal.watch(*launcher);
  show(*launcher);
  return launcher;
}

void moveTo(LauncherViewController& launcher, QPoint inRoot) { QTest::mouseMove(windowOf(launcher), inRoot); }

/// Presses the button and moves the pointer past the drag threshold.
void startDrag(LauncherViewController& launcher, int index) {
  const QPoint center = centerOf(launcher.buttons()[std::size_t(index)]);
  QTest::mousePress(windowOf(launcher), Qt::LeftButton, {}, center);
  moveTo(launcher, center + QPoint(12, 12));
}

void releaseAt(LauncherViewController& launcher, QPoint inRoot) {
  QTest::mouseRelease(windowOf(launcher), Qt::LeftButton, {}, inRoot);
  QCoreApplication::processEvents();
}

std::map<QString, QString> savedSlots(const LauncherViewController& launcher) {
  return LauncherAssignments::decode(test::contentsOf(launcher.assignments().url())).slotIDs;
}

QStringList titles(const QMenu& menu) {
  QStringList list;
  for (const QAction* action : menu.actions())
    if (!action->isSeparator()) list << action->text();
  return list;
}

/// Runs `act` on the next menu to open, once it shows; gives up after two seconds.
void whenMenuShows(const std::function<void(QMenu&)>& act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act, ticks = 0]() mutable {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    const bool shown = menu && menu->isVisible();
    if (!shown && ++ticks < 200) return;
    poll->stop();
    poll->deleteLater();
    ASSERT_TRUE(shown) << "no menu opened";
    act(*menu);
  });
  poll->start(10);
}

/// Clicks the item of `menu` titled `title`, as the pointer would.
void clickItem(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions())
    if (action->text() == title) QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
}

/// Renames the first shortcut, as another copy or the editor would while a menu is open.
void editCatalog(ShortcutStore& store) {
  std::vector<Shortcut> edited = store.shortcuts();
  edited[0].label += " (edited)";
  store.replaceShortcuts(edited);
}

}  // namespace

WENDLE_TEST_HELPER(writePositions) {
  test::writeFile(args.value(0), args.value(1).toUtf8());
  return 0;
}

using LauncherArrangement = LauncherFixture;

TEST_F(LauncherArrangement, DroppingAButtonOnAnotherSwapsThemAndSavesThePositions) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  startDrag(launcher, 0);
  ASSERT_NE(launcher.dragGhost(), nullptr);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(launcher.dropIndex(), 2);
  EXPECT_FALSE(launcher.swapMarker()->isHidden());
  EXPECT_EQ(launcher.swapMarker()->geometry(), launcher.buttons()[2]->geometry().adjusted(1, 1, -1, -1));
  EXPECT_EQ(pf::ViewLayer::ensure(launcher.swapMarker())->cornerRadius(), 12);
  EXPECT_NE(launcher.buttons()[0]->graphicsEffect(), nullptr);
  EXPECT_EQ(launcher.buttons()[2]->graphicsEffect(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));

  EXPECT_EQ(launcher.buttons()[0]->shortcutID(), "s3");
  EXPECT_EQ(launcher.buttons()[2]->shortcutID(), "s1");
  const auto saved = savedSlots(launcher);
  EXPECT_EQ(saved.at("0:s:0:0"), "s3");
  EXPECT_EQ(saved.at("0:s:0:2"), "s1");
  EXPECT_EQ(launcher.dragGhost(), nullptr);
  EXPECT_TRUE(launcher.swapMarker()->isHidden());
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangement, DropsOnItselfOnEmptyPanelOrOnAPageButtonChangeNothing) {
  auto store = makeStore(6);
  saveSize(500.0, 314.0);  // a 2 x 1 grid: 4 small buttons a page
  LauncherViewController launcher(*store);
  show(launcher);
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  const QPoint places[] = {centerOf(launcher.buttons()[0]), QPoint(250, 30), QPoint(-40, 40),
                           centerOf(launcher.nextButton())};
  for (const QPoint& place : places) {
    startDrag(launcher, 0);
    moveTo(launcher, place);
    EXPECT_EQ(launcher.dropIndex(), std::nullopt) << place.x() << "," << place.y();
    releaseAt(launcher, place);
    EXPECT_EQ(launcher.page(), 0);
    EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
  }
  startDrag(launcher, 4);  // a placeholder
  EXPECT_EQ(launcher.dragGhost(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[0]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
}

TEST_F(LauncherArrangement, HoldingOverNextTurnsExactlyOnePageAndTheDropLandsThere) {
  saveSize(500.0, 314.0);  // 8 buttons a page, 4 of them small
  auto store = makeStore(10);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  ASSERT_EQ(launcher.pageCount(), 3);
  const QPoint next = centerOf(launcher.nextButton());
  startDrag(launcher, 0);
  moveTo(launcher, next);
  QTest::qWait(150);
  moveTo(launcher, QPoint(250, 150));
  QTest::qWait(350);
  EXPECT_EQ(launcher.page(), 0) << "leaving Next early turns no page";

  moveTo(launcher, next);
  QTest::qWait(1000);
  EXPECT_EQ(launcher.page(), 1) << "one turn per hover";
  EXPECT_EQ(launcher.swapMarker()->geometry(), launcher.nextButton()->geometry().adjusted(1, 1, -1, -1));
  EXPECT_EQ(pf::ViewLayer::ensure(launcher.swapMarker())->cornerRadius(), 6);
  for (const ShortcutButton* button : launcher.buttons()) EXPECT_EQ(button->graphicsEffect(), nullptr);
  EXPECT_NE(launcher.dragGhost(), nullptr);
  moveTo(launcher, centerOf(launcher.buttons()[1]));
  EXPECT_EQ(launcher.dropIndex(), 8 + 1);
  releaseAt(launcher, centerOf(launcher.buttons()[1]));

  EXPECT_EQ(launcher.page(), 1);
  const auto saved = savedSlots(launcher);
  EXPECT_EQ(saved.at("1:s:0:1"), "s1");
  EXPECT_EQ(saved.at("0:s:0:0"), "s6");
  EXPECT_EQ(launcher.buttons()[1]->shortcutID(), "s1");
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangement, EscapeCancelsADragWithoutDismissingAndAClickStillOpens) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  QTest::keyClick(launcher.view(), Qt::Key_Escape);
  EXPECT_FALSE(launcher.isArranging());
  EXPECT_EQ(launcher.dragGhost(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);

  QTest::mouseClick(launcher.buttons()[1], Qt::LeftButton, {}, QPoint(20, 20));
  QCoreApplication::processEvents();
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged", "arranging", "arranged", "open s2"}));
}

struct MenuCase {
  QString id;
  bool writable;
  QStringList enabled;
  QStringList pages;
};

/// Builds the "Arrange Shortcut" menu of each case and compares its enabled items and page items.
void checkMoveMenus(ShortcutStore& store, const std::vector<MenuCase>& cases) {
  LauncherViewController launcher(store);
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(c.id.toStdString() + (c.writable ? "" : " read-only"));
    store.setCatalogIsWritable(c.writable);
    const auto menu = launcher.moveMenu(c.id);
    EXPECT_EQ(menu->title(), "Arrange Shortcut");
    QStringList enabled;
    QStringList pages;
    for (const QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->isEnabled()) enabled << action->text();
      if (action->menu())
        for (const QAction* item : action->menu()->actions())
          if (item->isEnabled()) pages << item->text();
    }
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(pages, c.pages);
  }
}

TEST_F(LauncherArrangement, APointerDraggedInAnotherWindowEndsTheArrangement) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  QWidget other;
  other.resize(200, 200);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  const QByteArray before = test::contentsOf(launcher.assignments().url());
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  QTest::mouseMove(other.windowHandle(), QPoint(50, 50));
  EXPECT_FALSE(launcher.isArranging());
  EXPECT_EQ(launcher.dragGhost(), nullptr);
  releaseAt(launcher, centerOf(launcher.buttons()[2]));
  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
  EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
}

TEST_F(LauncherArrangement, ArrangeMenuItemsOfOnePageAreEnabledOnlyForRealMoves) {
  auto store = makeStore(3);
  const QStringList all{"Swap with Previous", "Swap with Next", "Swap with First", "Swap with Last"};
  checkMoveMenus(*store, {
                             {"s1", true, {"Swap with Next", "Swap with Last"}, {}},
                             {"s2", true, all, {}},
                             {"s3", true, {"Swap with Previous", "Swap with First"}, {}},
                             {"s2", false, {}, {}},
                         });
}

TEST_F(LauncherArrangement, ArrangeMenusOfSeveralPagesOfferEachPageButTheOwn) {
  auto store = makeStore(10);  // 8 small buttons a page: s9 and s10 open page 2, whose first slot is index 12
  const QString page = QStringLiteral("Swap with Page");
  const QStringList all{"Swap with Previous", "Swap with Next", "Swap with First", "Swap with Last"};
  checkMoveMenus(*store, {
                             {"s1", true, {"Swap with Next", "Swap with Last", page}, {"Page 2"}},
                             {"s10", true, {"Swap with Previous", "Swap with First", page}, {"Page 1", "Page 2"}},
                             {"s9", true, all + QStringList{page}, {"Page 1"}},
                             {"s9", false, {page}, {}},
                         });
}

TEST_F(LauncherArrangement, ChooseMenuSortsNaturallyAndOnlyClearingSurvivesAReadOnlyCatalog) {
  std::vector<Shortcut> shortcuts{web(10), web(2), web(1)};
  shortcuts[0].label = "Item 10";
  shortcuts[1].label = "item 2";
  shortcuts[2].label = "Item 1";
  auto store = makeStore(shortcuts);
  LauncherViewController launcher(*store);
  const LauncherSlot wide{0, true, 0, 0};
  launcher.assignments().assign(QStringLiteral("s2"), wide, store->shortcuts(), launcher.grid());

  const auto menu = launcher.assignmentMenu(wide);
  EXPECT_EQ(menu->title(), "Choose shortcut");
  EXPECT_EQ(titles(*menu), (QStringList{"Item 1", "item 2", "Item 10", "Clear large button"}));
  EXPECT_TRUE(menu->actions()[1]->isChecked());
  EXPECT_FALSE(menu->actions()[0]->isChecked());

  store->setCatalogIsWritable(false);
  const auto readOnly = launcher.assignmentMenu(wide);
  QStringList enabled;
  for (const QAction* action : readOnly->actions())
    if (action->isEnabled() && !action->isSeparator()) enabled << action->text();
  EXPECT_EQ(enabled, QStringList{"Clear large button"});
  EXPECT_EQ(titles(*launcher.assignmentMenu({0, true, 1, 0})), (QStringList{"Item 1", "item 2", "Item 10"}));
}

TEST_F(LauncherArrangement, APositionsFileWrittenByAnotherCopyMidDragRefusesTheSwapAndKeepsItsBytes) {
  auto store = makeStore(3);
  LauncherViewController launcher(*store);
  Journal journal;
  journal.watch(launcher);
  show(launcher);
  startDrag(launcher, 0);
  moveTo(launcher, centerOf(launcher.buttons()[2]));
  LauncherAssignments other(store->shortcuts(), launcher.grid());
  other.assign(QStringLiteral("s2"), {0, true, 1, 1}, store->shortcuts());
  test::ChildProcess writer("writePositions", {launcher.assignments().url(), QString::fromUtf8(other.encoded())});
  ASSERT_EQ(writer.finish(), 0) << writer.errors().toStdString();
  releaseAt(launcher, centerOf(launcher.buttons()[2]));

  EXPECT_EQ(test::contentsOf(launcher.assignments().url()), other.encoded());
  ASSERT_EQ(journal.events.size(), 3);
  EXPECT_EQ(journal.events.last(), "error: " + conflict);
}

/// How a test closes the menu it opened: the launcher, its store and the journal it writes to.
using MenuClosing = std::function<void(QMenu&, LauncherViewController&, ShortcutStore&, Journal&)>;

MenuClosing choose(const QString& title, bool editFirst = false) {
  return [title, editFirst](QMenu& menu, LauncherViewController&, ShortcutStore& store, Journal& journal) {
    if (editFirst) editCatalog(store);
    // Connected after the menu's own handler, so this runs once the item's action has.
    for (QAction* action : menu.actions())
      if (action->text() == title)
        QObject::connect(action, &QAction::triggered, [&journal, title] { journal.events << "chose " + title; });
    clickItem(menu, title);
  };
}

struct MenuRun {
  const char* name;
  int button;
  Qt::MouseButton mouse;
  MenuClosing close;
  QStringList events;
  /// Slots the choice saved; none: the positions file keeps its bytes.
  std::map<QString, QString> saved;
};

TEST_F(LauncherArrangement, AMenuKeepsArrangingUntilItsChoiceHasRunAndEndsItWhenClosedWithoutOne) {
  auto store = makeStore(3);  // buttons 0-2 show s1-s3, 3-7 are empty small slots, 8-11 empty wide ones
  const MenuClosing escape = [](QMenu& menu, auto&, auto&, auto&) { QTest::keyClick(&menu, Qt::Key_Escape); };
  const MenuClosing clickOutside = [](QMenu& menu, auto&, auto&, auto&) {
    QTest::mouseClick(&menu, Qt::LeftButton, {}, QPoint(-30, -30));
  };
  const MenuClosing cancel = [](QMenu&, LauncherViewController& launcher, auto&, auto&) {
    launcher.cancelArrangement();
  };
  const QStringList pressed{"arranging", "arranged"};
  const QStringList open{"arranging", "menu while arranging"};
  const MenuRun cases[] = {
      {"arrange, chosen", 0, Qt::RightButton, choose("Swap with Next"),
       open + QStringList{"chose Swap with Next", "arranged"}, {{"0:s:0:1", "s1"}}},
      {"arrange, chosen after an edit elsewhere", 0, Qt::RightButton, choose("Swap with Last", true),
       open + QStringList{"chose Swap with Last", "arranged", "error: " + conflict}, {}},
      {"arrange, Escape", 0, Qt::RightButton, escape, open + QStringList{"arranged"}, {}},
      {"arrange, click outside", 0, Qt::RightButton, clickOutside, open + QStringList{"arranged"}, {}},
      {"arrange, cancelled by the owner", 0, Qt::RightButton, cancel, open + QStringList{"arranged"}, {}},
      {"empty slot clicked, chosen", 3, Qt::LeftButton, choose("Shortcut 2"),
       pressed + open + QStringList{"chose Shortcut 2", "arranged"}, {{"0:s:0:1", "s3"}, {"0:s:0:2", "s2"}}},
      {"empty slot clicked, Escape", 3, Qt::LeftButton, escape, pressed + open + QStringList{"arranged"}, {}},
      {"wide slot, chosen", 8, Qt::RightButton, choose("Shortcut 3"),
       open + QStringList{"chose Shortcut 3", "arranged"}, {{"0:w:0:0", "s3"}}},
      {"wide slot, chosen after an edit elsewhere", 8, Qt::RightButton, choose("Shortcut 2", true),
       open + QStringList{"chose Shortcut 2", "arranged", "error: " + conflict}, {}},
  };
  for (const MenuRun& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    const auto shown = shownAfresh(*store, journal);
    LauncherViewController& launcher = *shown;
    const QByteArray before = test::contentsOf(launcher.assignments().url());
    bool closed = false;
    whenMenuShows([&](QMenu& menu) {
      journal.events << (launcher.isArranging() ? "menu while arranging" : "menu while idle");
      EXPECT_EQ(launcher.activeMoveMenu(), &menu);
      c.close(menu, launcher, *store, journal);
      if (menu.isVisible()) {
        journal.events << "menu left open";
        menu.close();
      }
      closed = true;
    });
    QTest::mouseClick(launcher.buttons()[std::size_t(c.button)], c.mouse, {}, QPoint(20, 20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed && !launcher.isArranging(); }, 2000));

    EXPECT_EQ(journal.events, c.events);
    EXPECT_EQ(launcher.activeMoveMenu(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    if (c.saved.empty()) {
      EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
    }
    for (const auto& [key, id] : c.saved) EXPECT_EQ(savedSlots(launcher)[key], id) << key.toStdString();
    QFile::remove(launcher.assignments().url());  // the next case starts from the catalog order again
  }
}

TEST_F(LauncherArrangement, ARebuildWhileAButtonIsHeldEndsItsPressAndArranging) {
  auto store = makeStore(3);
  const struct {
    const char* name;
    std::function<void(LauncherViewController&, ShortcutStore&)> rebuild;
  } cases[] = {
      {"the catalog changed",
       [](auto& launcher, auto& store) {
         editCatalog(store);
         launcher.refresh();
       }},
      {"another launcher arranged", [](auto& launcher, auto& store) {
         launcher.assignments().assign(QStringLiteral("s1"), {0, true, 0, 0}, store.shortcuts(), launcher.grid());
       }},
      {"the grid changed", [](auto& launcher, auto&) { launcher.view()->resize(700, 500); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    const auto shown = shownAfresh(*store, journal);
    LauncherViewController& launcher = *shown;
    const QPoint held = centerOf(launcher.buttons()[1]);
    QTest::mousePress(windowOf(launcher), Qt::LeftButton, {}, held);
    c.rebuild(launcher, *store);
    releaseAt(launcher, held);
    EXPECT_FALSE(launcher.isArranging());
    EXPECT_EQ(journal.events, (QStringList{"arranging", "arranged"}));
  }
}

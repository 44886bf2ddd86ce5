#include "launcher/LauncherSlot.h"
#include "launcher/ui/ArrangementSupport.h"
#include "launcher/ui/LauncherArrangementMenus.h"
#include "launcher/ui/LauncherFixture.h"
#include "launcher/ui/ShortcutButton.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTimer>

using namespace arrangement;

namespace {

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
    const auto menu = launcher.arrangementMenus().moveMenu(c.id);
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

}  // namespace

using LauncherArrangementMenusTest = LauncherFixture;

TEST_F(LauncherArrangementMenusTest, ArrangeMenuItemsOfOnePageAreEnabledOnlyForRealMoves) {
  auto store = makeStore(3);
  const QStringList all{"Swap with Previous", "Swap with Next", "Swap with First", "Swap with Last"};
  checkMoveMenus(*store, {
                             {"s1", true, {"Swap with Next", "Swap with Last"}, {}},
                             {"s2", true, all, {}},
                             {"s3", true, {"Swap with Previous", "Swap with First"}, {}},
                             {"s2", false, {}, {}},
                         });
}

TEST_F(LauncherArrangementMenusTest, ArrangeMenusOfSeveralPagesOfferEachPageButTheOwn) {
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

TEST_F(LauncherArrangementMenusTest, ChooseMenuSortsNaturallyAndOnlyClearingSurvivesAReadOnlyCatalog) {
  std::vector<Shortcut> shortcuts{web(10), web(2), web(1)};
  shortcuts[0].label = "Item 10";
  shortcuts[1].label = "item 2";
  shortcuts[2].label = "Item 1";
  auto store = makeStore(shortcuts);
  LauncherViewController launcher(*store);
  const LauncherSlot wide{0, true, 0, 0};
  launcher.assignments().assign(QStringLiteral("s2"), wide, store->shortcuts(), launcher.grid());

  const auto menu = launcher.arrangementMenus().assignmentMenu(wide);
  EXPECT_EQ(menu->title(), "Choose shortcut");
  EXPECT_EQ(titles(*menu), (QStringList{"Item 1", "item 2", "Item 10", "Clear large button"}));
  EXPECT_TRUE(menu->actions()[1]->isChecked());
  EXPECT_FALSE(menu->actions()[0]->isChecked());

  store->setCatalogIsWritable(false);
  const auto readOnly = launcher.arrangementMenus().assignmentMenu(wide);
  QStringList enabled;
  for (const QAction* action : readOnly->actions())
    if (action->isEnabled() && !action->isSeparator()) enabled << action->text();
  EXPECT_EQ(enabled, QStringList{"Clear large button"});
  EXPECT_EQ(titles(*launcher.arrangementMenus().assignmentMenu({0, true, 1, 0})), (QStringList{"Item 1", "item 2", "Item 10"}));
}


TEST_F(LauncherArrangementMenusTest, AMenuKeepsArrangingUntilItsChoiceHasRunAndEndsItWhenClosedWithoutOne) {
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
      EXPECT_EQ(launcher.arrangementMenus().activeMenu(), &menu);
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
    EXPECT_EQ(launcher.arrangementMenus().activeMenu(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    if (c.saved.empty()) {
      EXPECT_EQ(test::contentsOf(launcher.assignments().url()), before);
    }
    for (const auto& [key, id] : c.saved) EXPECT_EQ(savedSlots(launcher)[key], id) << key.toStdString();
    QFile::remove(launcher.assignments().url());  // the next case starts from the catalog order again
  }
}

#include "app/AppDelegate.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "character/ui/RobotView.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "launcher/LauncherAssignmentStore.h"
#include "launcher/ui/LauncherOuterResize.h"
#include "launcher/ui/LauncherPanel.h"
#include "launcher/ui/LauncherViewController.h"
#include "launcher/ui/ShortcutButton.h"
#include "motion/HoverCoordinator.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Panel.h"
#include "settings/ui/SettingsWindowController.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "support/DropEvents.h"
#include "support/EventLoop.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "widgets/GlassSurface.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEnterEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

Shortcut web(const QString& id, const QString& label, const QString& address) {
  return {id, label, ShortcutKind::web, address, {}, std::nullopt, std::nullopt, true};
}

/// The whole program's objects over a catalog of two websites, with an opener
/// that only writes down what it is asked to open.
class LauncherRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    LauncherAssignmentStore::resetShared();
    pf::Compositor::overrideActive(true);
    pf::Accessibility::overrideReduceMotion(false);
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    const QString saved = test::home() + QStringLiteral("/Saved");
    QDir().mkpath(saved);
    const std::vector<Shortcut> shortcuts{
        web("docs", "Docs", "https://docs.example/"), web("tube", "Videos", "https://www.youtube.com/"),
        {"saved", "Saved", ShortcutKind::folder, saved, {}, std::nullopt, std::nullopt, true}};
    ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, shortcuts, {}}; }, std::nullopt);
    delegate = std::make_unique<AppDelegate>(
        std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory), pf::UserDefaults::standard(),
        QStringLiteral(WENDLE_ASSETS));
    delegate->shortcutOpener().webOpen = [this](const QUrl& url) {
      opened << url.toString();
      return true;
    };
    // Near the right of the screen, with room for the launcher on its left.
    pf::UserDefaults::standard().set(AppDelegate::robotXKey, 650.0);
    pf::UserDefaults::standard().set(AppDelegate::robotYKey, 0.0);
    delegate->applicationDidFinishLaunching();
  }
  void TearDown() override {
    delegate.reset();
    LauncherAssignmentStore::resetShared();
    pf::Accessibility::overrideReduceMotion(std::nullopt);
    pf::Compositor::overrideActive(std::nullopt);
    pf::UserDefaults::resetAll();
  }

  /// The pointer comes over the companion, as the window system reports it.
  void hoverCompanion() {
    RobotView* view = delegate->companionPanel()->robotView();
    const QPointF centre = QRectF(view->rect()).center();
    QCursor::setPos(view->mapToGlobal(centre.toPoint()));
    QEnterEvent enter(centre, centre, view->mapToGlobal(centre));
    QApplication::sendEvent(view, &enter);
  }

  ShortcutButton* button(const QString& id) const {
    for (ShortcutButton* b : delegate->launcher()->buttons())
      if (b->shortcutID() == id) return b;
    return nullptr;
  }

  std::unique_ptr<AppDelegate> delegate;
  QStringList opened;
};

}  // namespace

TEST_F(LauncherRoad, HoverOpensTheLauncherBesideTheCompanionAndAClickOpensTheShortcutAndClosesIt) {
  LauncherPanel* panel = delegate->launcherPanel();
  EXPECT_FALSE(panel->isVisible());
  hoverCompanion();
  ASSERT_TRUE(panel->isVisible());
  const pf::Rect companion = delegate->companionPanel()->frame();
  const pf::Rect launcher = panel->frame();
  EXPECT_EQ(launcher.maxX(), companion.minX() + 2);
  EXPECT_EQ(launcher.minY(), 2);  // level with the companion's bottom, held just above the screen's edge

  ShortcutButton* tube = button(QStringLiteral("tube"));
  ASSERT_TRUE(tube);
  // The pointer goes to the button, off the companion.
  QCursor::setPos(tube->mapToGlobal(tube->rect().center()));
  QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, tube->mapTo(panel, tube->rect().center()));
  ASSERT_TRUE(test::processEventsUntil([&] { return !opened.isEmpty(); }));
  EXPECT_EQ(opened, QStringList{"https://www.youtube.com/"});
  EXPECT_EQ(delegate->lastReaction(), "action-videos");
  EXPECT_TRUE(delegate->performancePlayer()->isPlaying());
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(LauncherRoad, AResizeFromAnOuterHandleEndsAtItsGridsSizeBesideTheCompanionAndIsKept) {
  hoverCompanion();
  LauncherPanel* panel = delegate->launcherPanel();
  ASSERT_TRUE(panel->isVisible());
  ASSERT_TRUE(panel->outerResize()) << "the launcher has no handles outside its edges";
  // The top handle's right end, dragged up and right over the companion: 634 × 556 while dragging.
  pf::Panel* top = panel->outerResize()->handles()[3].get();
  const QPoint corner(top->width() - 8, 6);
  const QPoint released = top->mapToGlobal(corner) + QPoint(134, -154);
  QCursor::setPos(top->mapToGlobal(corner));
  QTest::mousePress(top->windowHandle(), Qt::LeftButton, {}, corner);
  QTest::mouseMove(top->windowHandle(), top->mapFromGlobal(released));
  EXPECT_EQ(panel->contentSize(), (pf::Size{634, 556}));
  // Neither a pointer far off while resizing nor a release where the panel no longer lies closes it.
  QCursor::setPos(10, 10);
  QTest::qWait(int(HoverCoordinator::grace * 2000));
  ASSERT_TRUE(panel->isVisible());
  // The handle followed the growing panel: the same screen point lies elsewhere in it now.
  QTest::mouseRelease(top->windowHandle(), Qt::LeftButton, {}, top->mapFromGlobal(released));
  QTest::qWait(int(HoverCoordinator::grace * 2000));

  EXPECT_EQ(delegate->launcher()->grid(), (LauncherGrid{2, 3, 1.0}));
  EXPECT_EQ(panel->contentSize(), (pf::Size{500, 490}));
  const pf::Rect companion = delegate->companionPanel()->frame();
  EXPECT_EQ(panel->frame().maxX(), companion.minX() + 2);
  EXPECT_EQ(panel->frame().minY(), 2);
  EXPECT_EQ(pf::UserDefaults::standard().dictionary(QStringLiteral("contentSize.launcher")),
            (QVariantMap{{QStringLiteral("width"), 500.0}, {QStringLiteral("height"), 490.0}}));
  EXPECT_TRUE(panel->isVisible());
}

TEST_F(LauncherRoad, OpenShortcutsInTheMenuShowsTheLauncherAndEscapeClosesIt) {
  delegate->statusMenu().item(QStringLiteral("Open Shortcuts"))->trigger();
  LauncherPanel* panel = delegate->launcherPanel();
  ASSERT_TRUE(panel->isVisible());
  // The launcher waits for the pointer, which is elsewhere, instead of closing at once.
  QTest::qWait(400);
  EXPECT_TRUE(panel->isVisible());
  QTest::keyClick(delegate->launcher()->view(), Qt::Key_Escape);
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(LauncherRoad, SettingsInTheMenuOpensTheSettingsWindowWhereACharacterChangesTheFigure) {
  delegate->statusMenu().item(QStringLiteral("Settings…"))->trigger();
  pf::Window* window = delegate->settings()->window();
  ASSERT_TRUE(window && window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Wendle Settings");
  auto* character = window->findChild<QComboBox*>();
  character->setFocus();
  QTest::keyClick(character, Qt::Key_End);
  EXPECT_EQ(delegate->companionPanel()->robotView()->character(), CharacterSkin::vezu);
  EXPECT_EQ(CharacterSkin::selected(pf::UserDefaults::standard()), CharacterSkin::vezu);
}

TEST_F(LauncherRoad, FilesDroppedOnTheCompanionCloseTheLauncher) {
  delegate->statusMenu().item(QStringLiteral("Open Shortcuts"))->trigger();
  ASSERT_TRUE(delegate->launcherPanel()->isVisible());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(test::writeFile(test::home() + QStringLiteral("/note.txt"), "hello"))});
  EXPECT_TRUE(test::dropOn(delegate->companionPanel()->robotView(), data));
  EXPECT_FALSE(delegate->launcherPanel()->isVisible());
}

TEST_F(LauncherRoad, TheClipboardItemAndTheLaunchersButtonShowTheFavoritesAndHoldTheCompanion) {
  pf::Window* favorites = delegate->clipboardFavorites()->window();
  delegate->statusMenu().item(QStringLiteral("Clipboard…"))->trigger();
  EXPECT_TRUE(favorites->isVisible());
  EXPECT_TRUE(delegate->holds().contains(PacingController::Hold::clipboard));
  favorites->close();
  ASSERT_TRUE(test::processEventsUntil([&] { return !delegate->holds().contains(PacingController::Hold::clipboard); }));

  hoverCompanion();
  ASSERT_TRUE(delegate->launcherPanel()->isVisible());
  delegate->launcher()->clipboardButton()->click();
  EXPECT_TRUE(favorites->isVisible());
  EXPECT_TRUE(delegate->holds().contains(PacingController::Hold::clipboard));
}

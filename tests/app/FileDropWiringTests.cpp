#include "app/AppDelegate.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/RobotView.h"
#include "filedrop/ui/FileDropController.h"
#include "filedrop/ui/RobotDropTarget.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/ShortcutEditorController.h"
#include "support/DropEvents.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

/// Drops `urls` on the companion; gives whether the drop was taken.
bool dropOnCompanion(AppDelegate& delegate, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  return test::dropOn(delegate.companionPanel()->robotView(), data);
}

}  // namespace

TEST(FileDropWiring, DropsOnTheCompanionOpenTheWindowAndABusyTransferHoldsOffDropsAndQuitting) {
  const QString saved = test::home() + "/Saved";
  QDir().mkpath(saved);
  const QString directory = ShortcutCatalogRepository::applicationDirectory();
  ShortcutCatalogRepository(directory).load(
      [&] {
        return ShortcutCatalog{
            2, {{"saved", "Saved", ShortcutKind::folder, saved, {}, std::nullopt, std::nullopt, true}}, {}};
      },
      std::nullopt);
  AppDelegate delegate(std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory),
                       pf::UserDefaults::standard(), QString());
  delegate.applicationDidFinishLaunching();
  FileDropController& fileDrop = delegate.fileDrop();
  std::function<void(std::vector<FileDropResult>)> finishTransfer;
  fileDrop.execute = [&](const QList<QUrl>&, const QUrl&, FileDropOperation, auto completion) {
    finishTransfer = completion;
  };

  EXPECT_FALSE(dropOnCompanion(delegate, {QUrl("https://example.org/")}));
  const QUrl file = QUrl::fromLocalFile(test::writeFile(test::home() + "/a.txt", "a"));
  ASSERT_TRUE(delegate.dropTarget().onDrop({file}));
  ASSERT_TRUE(dropOnCompanion(delegate, {file}));
  EXPECT_TRUE(fileDrop.window()->isVisible());
  EXPECT_TRUE(delegate.holds().contains(PacingController::Hold::fileTransfer));

  fileDrop.copyFiles();
  ASSERT_TRUE(fileDrop.isBusy());
  EXPECT_FALSE(dropOnCompanion(delegate, {file}));
  EXPECT_FALSE(delegate.dropTarget().onDrop({file}));
  // A quit inside the event loop would end it with status 0 before the timer's 7.
  fileDrop.window()->hide();
  QTimer::singleShot(0, qApp, [&] { delegate.statusMenu().item(QStringLiteral("Quit Wendle"))->trigger(); });
  QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QCoreApplication::exec(), 7);
  EXPECT_TRUE(fileDrop.window()->isVisible());

  finishTransfer({});
  QCoreApplication::processEvents();
  fileDrop.cancel();
  EXPECT_FALSE(delegate.holds().contains(PacingController::Hold::fileTransfer));
}

TEST(FileDropWiring, EditSavedFoldersClosesTheWindowAndOpensTheShortcutEditor) {
  const QString directory = ShortcutCatalogRepository::applicationDirectory();
  AppDelegate delegate(std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory),
                       pf::UserDefaults::standard(), QString());
  delegate.applicationDidFinishLaunching();
  const QUrl file = QUrl::fromLocalFile(test::writeFile(test::home() + "/b.txt", "b"));
  ASSERT_TRUE(dropOnCompanion(delegate, {file}));
  pf::Window* window = delegate.fileDrop().window();
  QPushButton* edit = nullptr;
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (button->text() == "Edit saved folders…") edit = button;
  ASSERT_NE(edit, nullptr);

  QTest::mouseClick(edit, Qt::LeftButton);

  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(delegate.shortcutEditor().window()->isVisible());
  EXPECT_FALSE(delegate.holds().contains(PacingController::Hold::fileTransfer));
}

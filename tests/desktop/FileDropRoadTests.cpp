#include "desktop/DesktopTest.h"
#include "support/TestFiles.h"

#include <QDir>

namespace desk {

TEST_F(DesktopTest, FilesDroppedOnTheCompanionAreCopiedIntoTheChosenFolderAndNeverOverwritten) {
  const QString inbox = home.path(QStringLiteral("Inbox"));
  const QString photos = home.path(QStringLiteral("Photos"));
  QDir().mkpath(inbox);
  QDir().mkpath(photos);
  writeShortcuts({shortcut(QStringLiteral("Photos"), ShortcutKind::folder, photos),
                  shortcut(QStringLiteral("Inbox"), ShortcutKind::folder, inbox)});
  const QStringList files{test::writeFile(home.path(QStringLiteral("Outgoing/letter.txt")), "Dear Tess,\n"),
                          test::writeFile(home.path(QStringLiteral("Outgoing/sketch.png")), QByteArray(3000, 'p'))};
  DesktopPeer fileManager({40, 40, 300, 200}, files);
  ASSERT_TRUE(fileManager.said("ready"));
  RunningWendle& wendle = start();

  for (const QString& suffix : {QString(), QStringLiteral(" 2")}) {
    // Dragged from another program onto the companion.
    ASSERT_TRUE(dropOnCompanion(fileManager, {190, 140}));
    const std::optional<TopWindow> transfer = windows.waitFor(QStringLiteral("Move or Copy Files"));
    ASSERT_TRUE(transfer) << "the drop opened no window";
    EXPECT_FALSE(windows.find(launcherTitle)) << "the launcher opened over the dropped files";
    std::optional<Seen> folders;
    ASSERT_TRUE(waitUntil(
        [&] { return (folders = wendle.labelled(transfer->id, QStringLiteral("Saved folder"))).has_value(); }));
    input.click(folders->rect.center());
    clickOn(wendle, *transfer, QStringLiteral("Inbox"));
    EXPECT_TRUE(waitUntil(
        [&] {
          return wendle.labelled(transfer->id, QStringLiteral("Saved folder")).value_or(Seen{}).value ==
                 QStringLiteral("Inbox");
        },
        3000));
    shot(QStringLiteral("chosen") + suffix);
    clickOn(wendle, *transfer, QStringLiteral("Copy"));
    EXPECT_TRUE(waitUntil([&] {
      return test::contentsOf(inbox + QStringLiteral("/letter%1.txt").arg(suffix)) == "Dear Tess,\n" &&
             test::contentsOf(inbox + QStringLiteral("/sketch%1.png").arg(suffix)) == QByteArray(3000, 'p');
    })) << "the files did not arrive as \"letter"
        << suffix.toStdString() << ".txt\" and \"sketch" << suffix.toStdString() << ".png\"";
    clickOn(wendle, *transfer, QStringLiteral("Done"));
    EXPECT_TRUE(windows.waitGone(transfer->title));
  }
  EXPECT_EQ(QDir(inbox).entryList(QDir::Files).size(), 4);
  EXPECT_EQ(QDir(photos).entryList(QDir::Files).size(), 0);
}

}  // namespace desk

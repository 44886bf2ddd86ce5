#include "desktop/DesktopTest.h"
#include "shortcuts/ShortcutCatalog.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>

namespace desk {

TEST_F(DesktopTest, FoldersApplicationsAndPicturesChosenInRealDialogsReachTheCatalogAndTheLauncher) {
  const QString projects = home.path(QStringLiteral("Projects"));
  QDir().mkpath(projects);
  QImage badge(64, 64, QImage::Format_RGB32);
  badge.fill(Qt::darkGreen);
  ASSERT_TRUE(badge.save(home.path(QStringLiteral("Pictures/badge.png"))));
  RunningWendle& wendle = start();
  const std::optional<TopWindow> editor =
      openFromHook(wendle, QStringLiteral("Edit Shortcuts…"), QStringLiteral("Edit Shortcuts — Wendle"));
  ASSERT_TRUE(editor);

  // Each choice is typed into its real dialog, as a person may.
  const auto choose = [&](const QString& button, const QString& dialogTitle, const QString& typed) {
    clickOn(wendle, *editor, button);
    const std::optional<TopWindow> dialog = windows.waitFor(dialogTitle);
    ASSERT_TRUE(dialog) << button.toStdString() << " opened no dialog";
    input.type(typed);
    input.key(QStringLiteral("Return"));
    if (windows.waitGone(dialogTitle, 3000)) return;
    ADD_FAILURE() << dialogTitle.toStdString() << " did not take " << typed.toStdString();
    // Escape closes its complaint, then the dialog itself.
    for (int tries = 0; tries < 3 && windows.find(dialogTitle); ++tries) {
      input.key(QStringLiteral("Escape"));
      windows.waitGone(dialogTitle, 500);
    }
  };
  const auto add = [&](const QString& kind, const QString& name) {
    clickOn(wendle, *editor, QStringLiteral("Add shortcut"));
    clickShown(wendle, kind);
    clickOn(wendle, *editor, QStringLiteral("Shortcut name"));
    input.key(QStringLiteral("ctrl+a"));
    input.type(name);
  };
  const auto destination = [&] {
    return wendle.find(editor->id, QStringLiteral("Shortcut destination")).value_or(Seen{}).value;
  };

  // A website, chosen first, has no destination to choose.
  EXPECT_FALSE(wendle.find(editor->id, QStringLiteral("Choose shortcut destination")));
  add(QStringLiteral("Folder"), QStringLiteral("Projects"));
  choose(QStringLiteral("Choose shortcut destination"), QStringLiteral("Choose folder"), projects);
  EXPECT_TRUE(waitUntil([&] { return destination() == projects; }, 3000))
      << "the folder shows " << destination().toStdString();
  // The picture is looked for in the Pictures folder, by its name alone.
  choose(QStringLiteral("Choose custom button image"), QStringLiteral("Choose Button Image"),
         QStringLiteral("badge.png"));
  shot(QStringLiteral("folder"));

  add(QStringLiteral("Application"), QStringLiteral("Notes"));
  // The application is found by the name it is listed under.
  choose(QStringLiteral("Choose shortcut destination"), QStringLiteral("Choose application"),
         DesktopHome::applicationName);
  EXPECT_TRUE(waitUntil([&] { return destination() == home.applicationEntry(); }, 3000))
      << "the application shows " << destination().toStdString();
  shot(QStringLiteral("application"));
  clickOn(wendle, *editor, QStringLiteral("Save shortcuts"));
  EXPECT_TRUE(windows.waitGone(editor->title));

  // Saved in the catalog, and shown on the launcher.
  const ShortcutCatalog catalog = ShortcutCatalog::decode(
      test::contentsOf(ShortcutCatalogRepository::applicationDirectory() + QStringLiteral("/shortcuts.json")));
  const auto saved = [&](const QString& label) {
    const auto found = std::find_if(catalog.shortcuts.begin(), catalog.shortcuts.end(),
                                    [&](const Shortcut& shortcut) { return shortcut.label == label; });
    return found == catalog.shortcuts.end() ? Shortcut{} : *found;
  };
  EXPECT_EQ(saved(QStringLiteral("Projects")).destination, projects);
  EXPECT_TRUE(saved(QStringLiteral("Projects")).icon.has_value()) << "the picture was not kept";
  EXPECT_EQ(saved(QStringLiteral("Notes")).destination, home.applicationEntry());
  // The stock shortcuts fill the first page; a person turns the pages to find new ones.
  const TopWindow launcher = openLauncher();
  QStringList found;
  for (int page = 0; page < 3 && found.size() < 2; ++page) {
    if (page > 0) clickOn(wendle, launcher, QStringLiteral("Next shortcut page"));
    for (const QString& label : {QStringLiteral("Projects"), QStringLiteral("Notes")})
      if (!found.contains(label) && wendle.find(launcher.id, label)) found << label;
  }
  EXPECT_EQ(found.size(), 2) << "the launcher shows only " << found.join(u',').toStdString();
  shot(QStringLiteral("launcher"));
}

}  // namespace desk

#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ShortcutCatalog.h"
#include "shortcuts/ShortcutPresets.h"
#include "shortcuts/ShortcutReaction.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

int countOf(const std::vector<Shortcut>& table, ShortcutKind kind) {
  return int(std::count_if(table.begin(), table.end(), [&](const Shortcut& s) { return s.kind == kind; }));
}

QStringList idsOf(const std::vector<Shortcut>& table) {
  QStringList ids;
  for (const Shortcut& s : table) ids << s.id;
  return ids;
}

}  // namespace

TEST(ShortcutPresets, FourteenStockIDsFromBothTables) {
  const QSet<QString> expected{"youtube", "instagram", "tiktok",         "facebook", "threads",
                               "x",       "pinterest", "corvane",        "suno",     "fizzcast",
                               "videos",  "images",    "youtube-studio", "downloads"};
  EXPECT_EQ(ShortcutPresets::stockIDs(), expected);
  EXPECT_EQ(idsOf(ShortcutPresets::creator()), (QStringList{"youtube", "instagram", "tiktok", "facebook", "threads",
                                                            "x", "pinterest", "youtube-studio", "downloads"}));
  EXPECT_EQ(idsOf(ShortcutPresets::legacyPersonal()),
            (QStringList{"youtube", "instagram", "tiktok", "facebook", "threads", "x", "pinterest", "corvane", "suno",
                         "fizzcast", "videos", "images"}));
}

TEST(ShortcutPresets, StockIsDecidedByTheIDAlone) {
  Shortcut mine{"suno", "My own", ShortcutKind::folder, "/tmp", "", std::nullopt, std::nullopt, false};
  EXPECT_TRUE(mine.isStock());
  mine.id = "suno2";
  EXPECT_FALSE(mine.isStock());
  EXPECT_TRUE(ShortcutPresets::creator().back().isStock());
}

TEST(ShortcutPresets, TablesAreValidCatalogsOfTheRightKinds) {
  for (const auto* table : {&ShortcutPresets::creator(), &ShortcutPresets::legacyPersonal()}) {
    ShortcutCatalog catalog;
    catalog.shortcuts = *table;
    EXPECT_NO_THROW(catalog.validate());
    for (const Shortcut& s : *table) {
      EXPECT_TRUE(s.isActive);
      EXPECT_FALSE(s.group);
      if (s.kind == ShortcutKind::web) {
        EXPECT_TRUE(s.destination.startsWith("https://")) << s.id.toStdString();
      }
    }
  }
  EXPECT_EQ(countOf(ShortcutPresets::creator(), ShortcutKind::folder), 1);
  EXPECT_EQ(countOf(ShortcutPresets::creator(), ShortcutKind::application), 0);
  EXPECT_EQ(countOf(ShortcutPresets::legacyPersonal(), ShortcutKind::folder), 2);
  EXPECT_EQ(countOf(ShortcutPresets::legacyPersonal(), ShortcutKind::application), 1);
}

// The tables are built once a process, so each home is tried in a fresh one.
WENDLE_TEST_HELPER(printStockFolders) {
  for (const auto* table : {&ShortcutPresets::creator(), &ShortcutPresets::legacyPersonal()})
    for (const Shortcut& shortcut : *table)
      if (shortcut.kind == ShortcutKind::folder) test::tellParent(shortcut.destination.toUtf8());
  return 0;
}

TEST(ShortcutPresets, StockFoldersLieInTheDownloadFolderTheDesktopNames) {
  const QByteArray home = QDir::homePath().toUtf8();
  struct Case {
    const char* name;
    QByteArray userDirs;
    QByteArray downloads;
  };
  for (const Case& c : {Case{"not set", {}, home + "/Downloads"},
                        Case{"localised", "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n", home + "/Téléchargements"}}) {
    SCOPED_TRACE(c.name);
    if (!c.userDirs.isEmpty()) test::writeFile(QDir::homePath() + "/.config/user-dirs.dirs", c.userDirs);
    test::ChildProcess child("printStockFolders", {});
    for (const QByteArray& expected : {c.downloads, c.downloads + "/Videos", c.downloads + "/Images"})
      EXPECT_TRUE(child.waitForLine(expected)) << expected.toStdString() << child.errors().toStdString();
    EXPECT_EQ(child.finish(), 0);
  }
}

TEST(ShortcutPresets, EveryStockWebShortcutKeepsItsReactionWhenRenamed) {
  for (const auto* table : {&ShortcutPresets::creator(), &ShortcutPresets::legacyPersonal()})
    for (const Shortcut& shortcut : *table) {
      if (shortcut.kind != ShortcutKind::web) continue;
      EXPECT_EQ(ShortcutReaction::role(QStringLiteral("Renamed"), shortcut.destination),
                ShortcutReaction::role(shortcut.label, shortcut.destination))
          << shortcut.id.toStdString();
    }
}

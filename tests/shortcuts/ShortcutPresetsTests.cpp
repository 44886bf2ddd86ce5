#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ShortcutCatalog.h"
#include "shortcuts/ShortcutPresets.h"

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
  EXPECT_EQ(idsOf(ShortcutPresets::creator()),
            (QStringList{"youtube", "instagram", "tiktok", "facebook", "threads", "x", "pinterest",
                         "youtube-studio", "downloads"}));
  EXPECT_EQ(idsOf(ShortcutPresets::legacyPersonal()),
            (QStringList{"youtube", "instagram", "tiktok", "facebook", "threads", "x", "pinterest", "corvane",
                         "suno", "fizzcast", "videos", "images"}));
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

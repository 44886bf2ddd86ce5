#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ShortcutDraft.h"
#include "shortcuts/ShortcutPages.h"
#include "shortcuts/ShortcutPresets.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using test::idsOf;
using test::shortcut;

namespace {

/// Shortcuts with the given ids, active unless the id starts with "-".
std::vector<Shortcut> listOf(const QStringList& ids) {
  std::vector<Shortcut> list;
  for (const QString& id : ids) {
    list.push_back(shortcut(id.startsWith(u'-') ? id.mid(1) : id));
    list.back().isActive = !id.startsWith(u'-');
  }
  return list;
}

ShortcutDraft fullDraft() { return ShortcutDraft(test::catalogOf(128).shortcuts); }

}  // namespace

TEST(ShortcutDraft, AddAppendsAnUnconfiguredActiveShortcutUntilTheListIsFull) {
  ShortcutDraft draft;
  const std::vector<std::pair<ShortcutKind, QString>> kinds{
      {ShortcutKind::web, "New Website"}, {ShortcutKind::application, "New App"}, {ShortcutKind::folder, "New Folder"}};
  for (const auto& [kind, label] : kinds) {
    const auto index = draft.add(kind);
    ASSERT_TRUE(index);
    const Shortcut& added = draft.items[*index];
    EXPECT_EQ(added.label, label);
    EXPECT_EQ(added.kind, kind);
    EXPECT_TRUE(added.isActive);
    EXPECT_EQ(added.destination, "");
    EXPECT_EQ(added.note, "Not configured — choose a destination");
    EXPECT_FALSE(added.icon || added.group);
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$").match(added.id).hasMatch());
  }
  const QStringList ids = idsOf(draft.items);
  EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), 3);

  ShortcutDraft almost(test::catalogOf(127).shortcuts);
  EXPECT_EQ(almost.add(ShortcutKind::web), 127);
  EXPECT_EQ(almost.add(ShortcutKind::web), std::nullopt);
  EXPECT_EQ(almost.items.size(), 128u);
}

TEST(ShortcutDraft, DeletionsAreUndoneLastFirstWithTheirChosenFiles) {
  ShortcutDraft draft(listOf({"a", "b", "c", "d", "e"}));
  const QUrl fileOfC = QUrl::fromLocalFile("/srv/c");
  draft.selectedFiles["c"] = fileOfC;
  draft.selectedImages["custom-c"] = "png of c";
  draft.deleteAt(2);
  draft.deleteAt(0);
  EXPECT_EQ(idsOf(draft.items), (QStringList{"b", "d", "e"}));
  EXPECT_TRUE(draft.selectedFiles.empty());
  EXPECT_EQ(draft.selectedImages.size(), 1u);
  EXPECT_EQ(draft.undoRemoval(), 0);
  EXPECT_EQ(draft.undoRemoval(), 2);
  EXPECT_EQ(draft.undoRemoval(), std::nullopt);
  EXPECT_EQ(draft.items, draft.original);
  EXPECT_EQ(draft.selectedFiles, (std::map<QString, QUrl>{{"c", fileOfC}}));
  EXPECT_EQ(draft.selectedImages.size(), 1u);

  // An undo clears a file chosen after the deletion; an entry whose index is
  // past the end is appended.
  draft.deleteAt(3);
  draft.selectedFiles["d"] = fileOfC;
  EXPECT_EQ(draft.undoRemoval(), 3);
  EXPECT_FALSE(draft.selectedFiles.contains("d"));
  draft.removed.push_back({shortcut("z"), 9, std::nullopt});
  EXPECT_EQ(draft.undoRemoval(), 5);
  EXPECT_EQ(idsOf(draft.items), (QStringList{"a", "b", "c", "d", "e", "z"}));

  ShortcutDraft stock(ShortcutPresets::creator());
  for (int index : {0, -1, 9}) stock.deleteAt(index);
  EXPECT_EQ(stock.items, ShortcutPresets::creator());
  EXPECT_FALSE(stock.canUndoRemoval());
}

TEST(ShortcutDraft, UndoWaitsWhileTheListIsFull) {
  ShortcutDraft draft = fullDraft();
  draft.deleteAt(5);
  EXPECT_TRUE(draft.canUndoRemoval());
  ASSERT_TRUE(draft.add(ShortcutKind::folder));
  EXPECT_FALSE(draft.canUndoRemoval());
  EXPECT_EQ(draft.undoRemoval(), std::nullopt);
  draft.deleteAt(127);
  EXPECT_TRUE(draft.canUndoRemoval());
  EXPECT_EQ(draft.undoRemoval(), 127);
  EXPECT_EQ(draft.items.size(), 128u);
  EXPECT_FALSE(draft.canUndoRemoval());
  EXPECT_EQ(draft.removed.size(), 1u);
}

TEST(ShortcutDraft, ChangesCountTheListAndWhatIsChosen) {
  ShortcutDraft draft(listOf({"a", "b"}));
  EXPECT_FALSE(draft.hasChanges());
  draft.remove(0);
  EXPECT_FALSE(draft.items[0].isActive);
  EXPECT_TRUE(draft.hasChanges());
  draft.activate(0);
  EXPECT_FALSE(draft.hasChanges());
  draft.remove(2);
  draft.activate(-1);
  EXPECT_FALSE(draft.hasChanges());
  draft.selectedFiles["a"] = QUrl::fromLocalFile("/srv");
  EXPECT_TRUE(draft.hasChanges());
  draft.selectedFiles.clear();
  draft.selectedImages["custom-x"] = "png";
  EXPECT_TRUE(draft.hasChanges());
}

TEST(ShortcutDraft, MovesStayWithinTheirOwnList) {
  struct Case {
    int index, offset;
    std::optional<int> result;
    QStringList order;
  };
  const std::vector<Case> cases{
      {0, 1, 2, {"c", "-b", "a", "d"}},   {2, -1, 0, {"c", "-b", "a", "d"}},  {2, 1, 3, {"a", "-b", "d", "c"}},
      {0, 2, 3, {"d", "-b", "c", "a"}},   {1, -1, {}, {"a", "-b", "c", "d"}}, {1, 1, {}, {"a", "-b", "c", "d"}},
      {0, -1, {}, {"a", "-b", "c", "d"}}, {3, 1, {}, {"a", "-b", "c", "d"}},  {4, -1, {}, {"a", "-b", "c", "d"}},
      {-1, 1, {}, {"a", "-b", "c", "d"}},
  };
  for (const Case& c : cases) {
    ShortcutDraft draft(listOf({"a", "-b", "c", "d"}));
    EXPECT_EQ(draft.move(c.index, c.offset), c.result) << c.index << " by " << c.offset;
    EXPECT_EQ(draft.items, listOf(c.order)) << c.index << " by " << c.offset;
  }
}

TEST(ShortcutDraft, SwapActiveExchangesActivePositionsOnly) {
  struct Case {
    QString id;
    int position;
    bool result;
    QStringList order;
  };
  const std::vector<Case> cases{
      {"a", 2, true, {"d", "-b", "c", "a"}},  {"d", 1, true, {"a", "-b", "d", "c"}},
      {"c", 1, true, {"a", "-b", "c", "d"}},  {"b", 0, false, {"a", "-b", "c", "d"}},
      {"x", 0, false, {"a", "-b", "c", "d"}}, {"a", -1, false, {"a", "-b", "c", "d"}},
      {"a", 3, false, {"a", "-b", "c", "d"}},
  };
  for (const Case& c : cases) {
    ShortcutDraft draft(listOf({"a", "-b", "c", "d"}));
    EXPECT_EQ(draft.swapActive(c.id, c.position), c.result) << c.id.toStdString() << " to " << c.position;
    EXPECT_EQ(draft.items, listOf(c.order)) << c.id.toStdString() << " to " << c.position;
  }
  ShortcutDraft inactive(listOf({"-a"}));
  EXPECT_FALSE(inactive.swapActive("a", 0));
}

TEST(ShortcutPages, ActiveShortcutsArePaged) {
  // Not active shortcuts before, between and after the active ones are never paged.
  auto activeList = [](int active) {
    QStringList ids{"-off0"};
    for (int i = 0; i < active; ++i) ids << QStringLiteral("s%1").arg(i) << (i == 2 ? "-off1" : "");
    ids.removeAll("");
    return listOf(ids << "-off2");
  };
  const QStringList firstTwelve{"s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9", "s10", "s11"};
  struct Case {
    int active, page, capacity, pages;
    QStringList shown;
  };
  const std::vector<Case> cases{
      {0, 0, 12, 1, {}},       {12, 0, 12, 1, firstTwelve},  {13, 1, 12, 2, {"s12"}},
      {13, 5, 12, 2, {"s12"}}, {13, -3, 12, 2, firstTwelve}, {3, 2, 0, 3, {"s2"}},
      {3, 1, -4, 3, {"s1"}},   {5, 1, 2, 3, {"s2", "s3"}},
  };
  for (const Case& c : cases) {
    const auto list = activeList(c.active);
    EXPECT_EQ(ShortcutPages::count(list, c.capacity), c.pages) << c.active << " by " << c.capacity;
    EXPECT_EQ(idsOf(ShortcutPages::items(list, c.page, c.capacity)), c.shown)
        << c.active << " page " << c.page << " by " << c.capacity;
  }
  EXPECT_EQ(ShortcutPages::capacity, 12);
  EXPECT_EQ(ShortcutPages::count(activeList(25)), 3);
}

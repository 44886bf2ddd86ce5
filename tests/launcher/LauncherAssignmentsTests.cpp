#include "launcher/LauncherAssignments.h"
#include "platform/core/Json.h"
#include "shortcuts/CatalogError.h"

#include <gtest/gtest.h>

using Slots = std::map<QString, QString>;

namespace {

const QString unreadable = QStringLiteral("The saved button positions cannot be read. They were preserved unchanged.");

Shortcut shortcut(const QString& id, bool active = true) {
  Shortcut item;
  item.id = id;
  item.label = id;
  item.isActive = active;
  return item;
}

std::vector<Shortcut> items(std::initializer_list<const char*> ids) {
  std::vector<Shortcut> list;
  for (const char* id : ids) list.push_back(shortcut(QString::fromUtf8(id)));
  return list;
}

LauncherAssignments model(Slots slotIDs, QStringList waiting = {}) {
  LauncherAssignments result;
  result.slotIDs = std::move(slotIDs);
  result.waiting = std::move(waiting);
  return result;
}

const LauncherGrid twoByOne{2, 1, 1.0};

QString errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CatalogError& error) {
    return error.errorDescription();
  }
  return QStringLiteral("no error");
}

}  // namespace

TEST(LauncherReconcile, SmallButtonsKeepTheirOrderThenWaitingThenNewShortcutsInCatalogOrder) {
  LauncherAssignments m = model({{"0:s:0:1", "alpha"}, {"0:w:0:0", "beta"}}, {"gamma"});
  m.reconcile(items({"beta", "gamma", "delta", "alpha"}), twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:0", "beta"}, {"0:s:0:0", "alpha"}, {"0:s:0:1", "gamma"}, {"0:s:0:2", "delta"}}));
  EXPECT_TRUE(m.waiting.isEmpty());
  EXPECT_EQ(m.columns, 2);
  EXPECT_EQ(m.rows, 1);
}

TEST(LauncherReconcile, NewShortcutsFillFreeSlotsAcrossPages) {
  const LauncherAssignments fresh(items({"a", "b", "c", "d", "e"}), twoByOne);
  EXPECT_EQ(fresh.slotIDs,
            (Slots{{"0:s:0:0", "a"}, {"0:s:0:1", "b"}, {"0:s:0:2", "c"}, {"0:s:0:3", "d"}, {"1:s:0:0", "e"}}));
  EXPECT_EQ(fresh.pageCount(items({"a", "b", "c", "d", "e"})), 2);

  // A shortcut added to the catalog takes the first free button after the saved ones.
  LauncherAssignments m = model({{"0:s:0:0", "c"}, {"0:s:0:1", "a"}});
  m.reconcile(items({"new", "a", "b", "c"}), twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:s:0:0", "c"}, {"0:s:0:1", "a"}, {"0:s:0:2", "new"}, {"0:s:0:3", "b"}}));
}

TEST(LauncherReconcile, RemovedAndInactiveShortcutsFreeTheirSlotsAndNeverAppear) {
  LauncherAssignments m(items({"a", "b", "c", "d"}), twoByOne);
  m.slotIDs.emplace("0:w:1:0", "wide");
  std::vector<Shortcut> list = items({"a", "c", "d"});
  list.push_back(shortcut("b", false));
  list.push_back(shortcut("wide", false));
  list.push_back(shortcut("sleeping", false));
  m.waiting = {"sleeping", "gone"};
  m.reconcile(list, twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:s:0:0", "a"}, {"0:s:0:1", "c"}, {"0:s:0:2", "d"}}));
  EXPECT_TRUE(m.waiting.isEmpty());
  EXPECT_FALSE(m.id(LauncherSlot{0, false, 0, 1}, items({"a"})));
  EXPECT_EQ(m.id(LauncherSlot{0, false, 0, 1}, list), "c");
  EXPECT_FALSE(m.id(LauncherSlot{0, false, 0, 1}, {shortcut("c", false)}));
}

TEST(LauncherReconcile, WideButtonsKeepTheirPlaceWhateverTheGrid) {
  const std::vector<Shortcut> list = items({"a", "far", "late", "b"});
  LauncherAssignments m = model({{"0:w:1:5", "far"}, {"9:w:0:0", "late"}, {"0:s:0:0", "b"}});
  m.reconcile(list, twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:1:5", "far"}, {"9:w:0:0", "late"}, {"0:s:0:0", "b"}, {"0:s:0:1", "a"}}));
  EXPECT_EQ(m.pageCount(list), 10);
  m.reconcile(list, {5, 3, 1.0});
  EXPECT_EQ(m.slotIDs.at("0:w:1:5"), "far");
  EXPECT_EQ(m.slotIDs.at("9:w:0:0"), "late");
  EXPECT_EQ(m.columns, 5);
  EXPECT_EQ(m.rows, 3);
}

TEST(LauncherReconcile, AGridWithoutSmallButtonsKeepsEveryoneWaiting) {
  LauncherAssignments m = model({{"0:s:0:0", "b"}, {"0:w:0:0", "w"}});
  m.reconcile(items({"a", "b", "w"}), {2, 0, 1.0});
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:0", "w"}}));
  EXPECT_EQ(m.waiting, (QStringList{"b", "a"}));
  m.reconcile(items({"a", "b", "w"}), twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:0", "w"}, {"0:s:0:0", "b"}, {"0:s:0:1", "a"}}));
}

TEST(LauncherReconcile, ASmallKeyInAnotherSpellingIsPlacedInCatalogOrder) {
  LauncherAssignments m = model({{"+1:s:0:0", "x"}, {"0:s:0:0", "y"}});
  m.reconcile(items({"a", "x", "y"}), twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:s:0:0", "y"}, {"0:s:0:1", "a"}, {"0:s:0:2", "x"}}));
}

TEST(LauncherReconcile, AWideKeyInAnotherSpellingIsRewrittenUnderItsCanonicalKey) {
  const std::vector<Shortcut> list = items({"a", "wide"});
  LauncherAssignments m = model({{"0:w:0:+1", "wide"}, {"0:s:0:0", "a"}});
  m.reconcile(list, twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:1", "wide"}, {"0:s:0:0", "a"}}));
  EXPECT_EQ(m.id(LauncherSlot{0, true, 0, 1}, list), "wide");
  EXPECT_NO_THROW(m.validate());

  // Two spellings of one slot: the canonical one, the shown one, keeps it;
  // the other shortcut returns to a small button instead of vanishing.
  LauncherAssignments both = model({{"0:w:00:1", "hidden"}, {"0:w:0:1", "shown"}});
  both.reconcile(items({"hidden", "shown"}), twoByOne);
  EXPECT_EQ(both.slotIDs, (Slots{{"0:w:0:1", "shown"}, {"0:s:0:0", "hidden"}}));
}

TEST(LauncherAssign, MovingToAnEmptyWideSlotFreesTheSmallOne) {
  const std::vector<Shortcut> list = items({"alpha", "b", "c"});
  LauncherAssignments m(list, twoByOne);
  m.assign(QStringLiteral("alpha"), {0, true, 1, 1}, list);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:1:1", "alpha"}, {"0:s:0:1", "b"}, {"0:s:0:2", "c"}}));
  m.reconcile(list, twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:1:1", "alpha"}, {"0:s:0:0", "b"}, {"0:s:0:1", "c"}}));
  EXPECT_EQ(m.slot("alpha"), (LauncherSlot{0, true, 1, 1}));
  EXPECT_FALSE(m.slot("nobody"));
}

TEST(LauncherAssign, DroppingOnAnOccupiedSlotSwaps) {
  const std::vector<Shortcut> list = items({"alpha", "b", "c", "d", "e", "f", "echo"});
  LauncherAssignments m(list, {2, 2, 1.0});
  ASSERT_EQ(m.slotIDs.at("0:s:1:2"), "echo");
  m.assign(QStringLiteral("alpha"), {0, false, 1, 2}, list);
  EXPECT_EQ(m.slotIDs.at("0:s:0:0"), "echo");
  EXPECT_EQ(m.slotIDs.at("0:s:1:2"), "alpha");
  const LauncherAssignments before = m;
  m.reconcile(list, {2, 2, 1.0});
  EXPECT_EQ(m, before);
  m.assign(QStringLiteral("alpha"), {0, false, 1, 2}, list);
  EXPECT_EQ(m, before);
}

TEST(LauncherAssign, ClearingAWideButtonSendsItsShortcutAfterAllSmallOnes) {
  const std::vector<Shortcut> list = items({"w", "a", "b"});
  LauncherAssignments m = model({{"0:w:0:0", "w"}, {"0:s:0:0", "a"}, {"0:s:0:1", "b"}});
  m.assign(std::nullopt, {0, true, 0, 0}, list);
  EXPECT_EQ(m.waiting, (QStringList{"w"}));
  m.reconcile(list, twoByOne);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:s:0:0", "a"}, {"0:s:0:1", "b"}, {"0:s:0:2", "w"}}));
  const LauncherAssignments before = m;
  m.assign(std::nullopt, {0, true, 1, 0}, list);
  EXPECT_EQ(m, before);
}

TEST(LauncherAssign, AWaitingShortcutTakesASlotAndItsOccupantWaits) {
  const std::vector<Shortcut> list = items({"a", "b"});
  LauncherAssignments m = model({{"0:w:0:0", "a"}}, {"b", "b"});
  m.assign(QStringLiteral("b"), {0, true, 0, 0}, list);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:0", "b"}}));
  EXPECT_EQ(m.waiting, (QStringList{"a"}));
}

TEST(LauncherAssign, OnlyActiveShortcutsCanBeChosen) {
  const std::vector<Shortcut> list = {shortcut("a"), shortcut("off", false)};
  LauncherAssignments m(list, twoByOne);
  const LauncherAssignments before = m;
  EXPECT_EQ(errorOf([&] { m.assign(QStringLiteral("off"), {0, true, 0, 0}, list); }), "Choose an active shortcut.");
  EXPECT_EQ(errorOf([&] { m.assign(QStringLiteral("gone"), {0, true, 0, 0}, list); }), "Choose an active shortcut.");
  EXPECT_EQ(m, before);
}

TEST(LauncherAssign, AShortcutUnderAnotherSpellingMovesWithoutLeavingACopy) {
  const std::vector<Shortcut> list = items({"a", "w"});
  LauncherAssignments m = model({{"0:w:0:+1", "w"}, {"0:s:0:0", "a"}});
  m.assign(QStringLiteral("w"), {0, false, 0, 0}, list);
  EXPECT_EQ(m.slotIDs, (Slots{{"0:w:0:+1", "a"}, {"0:s:0:0", "w"}}));
  EXPECT_NO_THROW(m.validate());
}

TEST(LauncherAssignments, ValidationLimitsAtTheirEdges) {
  const auto check = [](const LauncherAssignments& m) { return errorOf([&] { m.validate(); }) == "no error"; };
  LauncherAssignments m;
  EXPECT_TRUE(check(m));
  for (const auto& [columns, ok] : {std::pair{1, false}, {2, true}, {127, true}, {128, false}}) {
    m.columns = columns;
    EXPECT_EQ(check(m), ok) << columns;
  }
  m.columns = 2;
  for (const auto& [rows, ok] : {std::pair{-1, false}, {0, true}, {127, true}, {128, false}}) {
    m.rows = rows;
    EXPECT_EQ(check(m), ok) << rows;
  }
  m.rows = 2;
  m.version = 2;
  EXPECT_EQ(errorOf([&] { m.validate(); }), unreadable);
  m.version = 1;

  for (int i = 0; i < 128; ++i) m.slotIDs.emplace(QStringLiteral("%1:s:0:0").arg(i), QStringLiteral("id%1").arg(i));
  EXPECT_TRUE(check(m));
  m.slotIDs.emplace("0:w:0:0", "one-more");
  EXPECT_FALSE(check(m));

  LauncherAssignments waiting;
  for (int i = 0; i < 128; ++i) waiting.waiting << QStringLiteral("id%1").arg(i);
  EXPECT_TRUE(check(waiting));
  waiting.waiting << "one-more";
  EXPECT_FALSE(check(waiting));

  EXPECT_FALSE(check(model({{"1:w:2:0", "a"}})));
  EXPECT_FALSE(check(model({{"0:s:0:0", "not valid"}})));
  EXPECT_FALSE(check(model({{"0:s:0:0", QString(129, u'x')}})));
  EXPECT_TRUE(check(model({{"0:s:0:0", QString(128, u'x')}})));
  EXPECT_FALSE(check(model({}, {""})));
  EXPECT_FALSE(check(model({{"0:s:0:0", "a"}, {"0:s:0:1", "a"}})));
  EXPECT_FALSE(check(model({{"0:s:0:0", "a"}}, {"a"})));
  EXPECT_FALSE(check(model({}, {"a", "a"})));
  EXPECT_TRUE(check(model({{"0:w:0:+1", "a"}}, {"b"})));
}

TEST(LauncherAssignments, EncodesSortedAndDecodesStrictly) {
  LauncherAssignments m(items({"a", "b", "c", "d", "e"}), twoByOne);
  m.slotIDs.emplace("0:w:1:0", "w");
  const QByteArray bytes = m.encoded();
  EXPECT_EQ(LauncherAssignments::decode(bytes), m);
  EXPECT_EQ(LauncherAssignments::decode(bytes).encoded(), bytes);
  EXPECT_LT(bytes.indexOf("\"columns\""), bytes.indexOf("\"rows\""));
  EXPECT_LT(bytes.indexOf("\"1:s:0:0\""), bytes.indexOf("\"version\""));
  EXPECT_LT(bytes.indexOf("\"0:s:0:3\""), bytes.indexOf("\"0:w:1:0\""));
  EXPECT_TRUE(bytes.contains("{\n        \"0:s:0:0\": \"a\",\n"));

  const auto decodes = [](const char* text) {
    try {
      LauncherAssignments::decode(text);
      return true;
    } catch (const pf::JsonError&) {
      return false;
    }
  };
  EXPECT_TRUE(decodes(R"({"version":1,"columns":2,"rows":1,"slots":{},"waiting":[],"x":0})"));
  EXPECT_TRUE(decodes(R"({"version":1.0,"columns":2,"rows":1,"slots":{},"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":2,"rows":1,"slots":{}})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":2.5,"rows":1,"slots":{},"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":true,"columns":2,"rows":1,"slots":{},"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":"2","rows":1,"slots":{},"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":2,"rows":1,"slots":{"0:s:0:0":1},"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":2,"rows":1,"slots":[],"waiting":[]})"));
  EXPECT_FALSE(decodes(R"({"version":1,"columns":2,"rows":1,"slots":{},"waiting":[null]})"));
  EXPECT_FALSE(decodes(R"([1])"));
  EXPECT_FALSE(decodes("{"));
}

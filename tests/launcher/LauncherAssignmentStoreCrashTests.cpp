// The positions file against writers killed at random moments and against
// running copies moving buttons at once.
#include "launcher/LauncherAssignmentStore.h"
#include "platform/core/Files.h"
#include "shortcuts/CatalogError.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

const LauncherGrid grid{2, 1, 1.0};
const LauncherSlot counterSlot{0, true, 0, 0};

QString folder() { return test::home() + QStringLiteral("/positions"); }

std::vector<Shortcut> itemsOf(const QStringList& ids) {
  std::vector<Shortcut> items;
  for (const QString& id : ids) {
    Shortcut item;
    item.id = item.label = id;
    items.push_back(item);
  }
  return items;
}

/// The change count held by `model`: change n puts the only shortcut, "c<n>", on the first wide button.
std::optional<int> counterState(const LauncherAssignments& model) {
  if (!model.waiting.isEmpty() || model.slotIDs.size() > 1) return std::nullopt;
  if (model.slotIDs.empty()) return 0;
  const auto& [key, id] = *model.slotIDs.begin();
  return key == counterSlot.key() ? test::changeNumber(id, QStringLiteral("c")) : std::nullopt;
}

test::CrashSubject positionsSubject() {
  return {"moveButtonForever", folder(),
          []() -> std::optional<int> {
            const auto bytes = pf::Files::read(folder() + QStringLiteral("/launcher-positions.json"));
            if (!bytes) return 0;
            const LauncherAssignments model = LauncherAssignments::decode(*bytes);
            model.validate();
            return counterState(model);
          },
          []() -> std::optional<int> {
            const LauncherAssignmentStore store(folder(), {}, grid);
            return store.error() ? std::nullopt : counterState(store.value());
          }};
}

/// The wide button process `p` of a contention run keeps its shortcut on.
LauncherSlot slotOf(int process) { return {process / 4, true, process / 2 % 2, process % 2}; }

}  // namespace

WENDLE_TEST_HELPER(moveButtonForever) {
  LauncherAssignmentStore store(args.value(0), {}, grid);
  const int done = counterState(store.value()).value_or(-1);
  if (store.error() || done < 0) return 2;
  test::commitForever(done + 1, [&](int n) {
    const QString id = QStringLiteral("c%1").arg(n);
    store.assign(id, counterSlot, itemsOf({id}), grid);
  });
}

/// Change n replaces this process's shortcut on its own wide button by the
/// next one, after checking the button still holds change n - 1: a change
/// another copy lost would show there.
WENDLE_TEST_HELPER(moveButtonsRetrying) {
  const QString prefix = args.value(1);
  const int process = test::changeNumber(prefix.chopped(1), QStringLiteral("p")).value_or(0);
  return test::changeRetryingWhileBusy(
      args.value(2).toInt(),
      [&](int n) {
        LauncherAssignmentStore store(args.value(0), {}, grid);
        if (store.error()) throw CatalogError::conflict();
        const LauncherAssignments& model = store.value();
        if (n > 0 && model.slot(prefix + QString::number(n - 1)) != slotOf(process))
          throw std::logic_error("change " + std::to_string(n - 1) + " was lost");
        QStringList ids{prefix + QString::number(n)};
        for (const auto& [key, id] : model.slotIDs)
          if (!id.startsWith(prefix)) ids << id;
        store.assign(ids[0], slotOf(process), itemsOf(ids), grid);
      },
      test::says(QString::fromUtf8(CatalogError::conflict().what())));
}

TEST(LauncherAssignmentStoreHarness, AKilledWriterLeavesACommittedState) { test::runCrashHarness(positionsSubject()); }

TEST(LauncherAssignmentStoreHarness, CopiesMovingButtonsAtOnceLoseNoMove) {
  const test::Contention contention;
  const LauncherAssignmentStore first(folder(), {}, grid);
  ASSERT_EQ(first.error(), std::nullopt);
  contention.run("moveButtonsRetrying", folder());

  const LauncherAssignmentStore after(folder(), {}, grid);
  std::map<QString, QString> expected;
  for (int p = 0; p < contention.processes; ++p)
    expected[slotOf(p).key()] = QStringLiteral("p%1-%2").arg(p).arg(contention.changes - 1);
  EXPECT_EQ(after.value().slotIDs, expected);
}

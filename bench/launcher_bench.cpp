// Costs of what every launcher refresh and layout pays: reconciling a full
// catalog into slots, the unchanged save (one read, no write) and laying out
// a page of buttons.
#include "BenchMain.h"
#include "launcher/LauncherAssignmentStore.h"

#include <QTemporaryDir>

namespace {

/// A full catalog: 128 shortcuts, every eighth inactive.
std::vector<Shortcut> fullCatalog() {
  std::vector<Shortcut> items;
  for (int i = 0; i < 128; ++i) {
    Shortcut item;
    item.id = QStringLiteral("shortcut-%1").arg(i);
    item.label = QStringLiteral("Shortcut %1").arg(i);
    item.isActive = i % 8 != 0;
    items.push_back(item);
  }
  return items;
}

const LauncherGrid grid{3, 2, 1.0};

void reconcileFullCatalog(benchmark::State& state) {
  const std::vector<Shortcut> items = fullCatalog();
  LauncherAssignments model(items, grid);
  model.slotIDs.emplace(QStringLiteral("0:w:0:0"), QStringLiteral("shortcut-127"));
  for (auto _ : state) {
    LauncherAssignments copy = model;
    copy.reconcile(items, grid);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(reconcileFullCatalog)->Unit(benchmark::kMicrosecond);

void unchangedUpdate(benchmark::State& state) {
  QTemporaryDir dir;
  const std::vector<Shortcut> items = fullCatalog();
  LauncherAssignmentStore store(dir.path(), items, grid);
  for (auto _ : state)
    if (!store.update(items, grid)) state.SkipWithError("update failed");
}
BENCHMARK(unchangedUpdate)->Unit(benchmark::kMicrosecond);

void layOutPage(benchmark::State& state) {
  const LauncherGrid large{6, 6, 1.2};
  const pf::Size size = large.size();
  for (auto _ : state) {
    double sum = 0;
    for (qint64 i = 0; i < large.capacity(); ++i) sum += large.frame(i, size).origin.y;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(layOutPage);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }

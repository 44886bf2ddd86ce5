// Cost of the catalog's round trip at its largest: 128 shortcuts with a
// bookmark each, decoded, validated, encoded and saved under the lock with
// its previous copy, as every change in the editor does.
#include "BenchMain.h"
#include "shortcuts/ShortcutCatalog.h"
#include "shortcuts/ShortcutCatalogRepository.h"

#include <QTemporaryDir>

namespace {

ShortcutCatalog fullCatalog(const QString& labelSuffix) {
  ShortcutCatalog catalog;
  for (int i = 0; i < 128; ++i) {
    const QString id = QStringLiteral("shortcut-%1").arg(i);
    const bool web = i % 2 == 0;
    catalog.shortcuts.push_back({id, QStringLiteral("Shortcut %1 %2").arg(i).arg(labelSuffix),
                                 web ? ShortcutKind::web : ShortcutKind::folder,
                                 web ? QStringLiteral("https://example.com/path/%1?from=wendle").arg(i)
                                     : QStringLiteral("/home/someone/Projects/Folder %1").arg(i),
                                 QStringLiteral("A note about shortcut %1 that is a sentence long.").arg(i),
                                 QStringLiteral("icon-%1").arg(i % 14), std::nullopt, i % 5 != 0});
    // About the size of a real bookmark record.
    catalog.bookmarks[id] = QByteArray(320, char('a' + i % 26));
  }
  return catalog;
}

void decodeCatalog(benchmark::State& state) {
  const QByteArray bytes = fullCatalog("").encoded();
  for (auto _ : state) benchmark::DoNotOptimize(ShortcutCatalog::decode(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeCatalog)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void validateCatalog(benchmark::State& state) {
  const ShortcutCatalog catalog = fullCatalog("");
  for (auto _ : state) catalog.validate();
}
BENCHMARK(validateCatalog)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void encodeCatalog(benchmark::State& state) {
  const ShortcutCatalog catalog = fullCatalog("");
  for (auto _ : state) benchmark::DoNotOptimize(catalog.encoded());
}
BENCHMARK(encodeCatalog)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// One save that changes the file: lock, read and compare, previous copy, new file (both synced).
void saveCatalog(benchmark::State& state) {
  QTemporaryDir dir;
  ShortcutCatalogRepository repository(dir.path());
  const ShortcutCatalog versions[2] = {fullCatalog("a"), fullCatalog("b")};
  repository.load([&] { return versions[0]; }, std::nullopt);
  int next = 1;
  for (auto _ : state) {
    repository.save(versions[next], [] {});
    next = 1 - next;
  }
}
BENCHMARK(saveCatalog)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// The whole round trip of an edit: decode the file's bytes, change, validate, encode and save.
void roundTrip(benchmark::State& state) {
  QTemporaryDir dir;
  ShortcutCatalogRepository repository(dir.path());
  repository.load([] { return fullCatalog("a"); }, std::nullopt);
  int edit = 0;
  for (auto _ : state) {
    ShortcutCatalog catalog = ShortcutCatalog::decode(*repository.expectedData());
    catalog.shortcuts[0].label = QStringLiteral("Edited %1").arg(++edit);
    repository.save(catalog, [] {});
  }
}
BENCHMARK(roundTrip)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }

// Cost of the favorites file at a realistic maximum: 1,000 favorites of about
// 1 KB each, read, validated, encoded and saved under the lock, plus the
// filter the favorites window runs over them on every keystroke. Where the
// argument is 1 the texts hold line breaks, which JSON has to escape; 0 gives
// single-line texts.
#include "BenchMain.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "platform/core/Json.h"
#include "platform/core/JsonTree.h"
#include "platform/core/Text.h"

#include <QTemporaryDir>

namespace {

constexpr int favoriteCount = 1000;
/// The budget's largest file.
constexpr int mostFavorites = 10000;

QString kilobyteOfText(int i, bool lineBreaks) {
  QString text = QStringLiteral("Favorite %1: ").arg(i);
  while (text.size() < 1024)
    text += QStringLiteral("Grüße aus der Zwischenablage, line %1.").arg(text.size()) +
            (lineBreaks ? u'\n' : u' ');
  return text.left(1024);
}

ClipboardFavoritesFile fullFile(bool lineBreaks = true, int count = favoriteCount) {
  ClipboardFavoritesFile file = ClipboardFavoritesFile::empty();
  for (int i = 0; i < count; ++i)
    file.items.push_back({QStringLiteral("ID-%1").arg(i), QStringLiteral("Saved text number %1").arg(i),
                          kilobyteOfText(i, lineBreaks), file.lists[size_t(i % 3)].id});
  return file;
}

/// A folder holding the full file, for as long as it lives.
struct FullFolder {
  QTemporaryDir dir;
  explicit FullFolder(bool lineBreaks, int count = favoriteCount) {
    ClipboardFavoritesStore store(dir.path());
    store.write(fullFile(lineBreaks, count).encoded(), store.primary());
  }
};

/// The second argument, when given, is the number of favorites.
int countOf(const benchmark::State& state) {
  return state.range(1) ? int(state.range(1)) : favoriteCount;
}

void decodeFavorites(benchmark::State& state) {
  const QByteArray bytes = fullFile(state.range(0), countOf(state)).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(ClipboardFavoritesFile::decode(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeFavorites)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, mostFavorites})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

/// The parse of the same bytes alone, before the readers: ours, and Qt's for comparison.
void parseFavorites(benchmark::State& state) {
  const QByteArray bytes = fullFile(state.range(0), countOf(state)).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(pf::JsonTree::read(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(parseFavorites)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, mostFavorites})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void parseFavoritesWithQt(benchmark::State& state) {
  const QByteArray bytes = fullFile(state.range(0)).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(pf::Json::parseObject(bytes));
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(parseFavoritesWithQt)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void validateFavorites(benchmark::State& state) {
  const ClipboardFavoritesFile file = fullFile();
  for (auto _ : state) file.validate();
}
BENCHMARK(validateFavorites)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void encodeFavorites(benchmark::State& state) {
  const ClipboardFavoritesFile file = fullFile();
  for (auto _ : state) benchmark::DoNotOptimize(file.encoded());
}
BENCHMARK(encodeFavorites)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// What opening the favorites window costs: read, decode and validate the file.
void loadFavorites(benchmark::State& state) {
  FullFolder folder(state.range(0), countOf(state));
  for (auto _ : state) {
    ClipboardFavoritesStore store(folder.dir.path());
    benchmark::DoNotOptimize(store.items().size());
  }
}
BENCHMARK(loadFavorites)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, mostFavorites})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

/// One edit: lock, read, decode and validate afresh, check, encode and write atomically (synced).
void saveFavorite(benchmark::State& state) {
  FullFolder folder(state.range(0));
  ClipboardFavoritesStore store(folder.dir.path());
  ClipboardFavorite seen = store.items()[500];
  int edit = 0;
  for (auto _ : state) {
    ClipboardFavorite edited = seen;
    edited.name = QStringLiteral("Edited %1").arg(++edit);
    store.save(edited, seen);
    seen = edited;
  }
}
BENCHMARK(saveFavorite)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

/// The window's filter for one keystroke: every favorite whose name or text
/// holds the query, ignoring case; `range(0)` 1 finds one favorite, 0 none.
void searchFavorites(benchmark::State& state) {
  const ClipboardFavoritesFile file = fullFile();
  const QString query = state.range(0) ? QStringLiteral("saved text number 999") : QStringLiteral("nowhere");
  for (auto _ : state) {
    std::vector<const ClipboardFavorite*> rows;
    for (const ClipboardFavorite& item : file.items)
      if (pf::Text::containsCaseInsensitive(item.name, query) ||
          pf::Text::containsCaseInsensitive(item.text, query))
        rows.push_back(&item);
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(searchFavorites)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }

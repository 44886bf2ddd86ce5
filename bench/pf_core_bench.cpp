// Costs of the calendar, text and bookmark helpers on the paths that run
// often: the reminder check resolves up to eight days per reminder every
// 30 s, and menus sort shortcut names.
#include "BenchMain.h"
#include "platform/core/Bookmark.h"
#include "platform/core/Calendar.h"
#include "platform/core/Text.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

void calendarDate(benchmark::State& state) {
  const pf::Calendar calendar{QTimeZone("Europe/Berlin")};
  int day = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(calendar.date({2026, 3, 1 + day, 9, 30}));
    day = (day + 1) % 60;
  }
}
BENCHMARK(calendarDate);

void calendarSystemZoneDate(benchmark::State& state) {
  qputenv("TZ", "America/New_York");
  const pf::Calendar calendar;
  for (auto _ : state) benchmark::DoNotOptimize(calendar.date({2026, 11, 1, 1, 30}));
}
BENCHMARK(calendarSystemZoneDate);

void calendarWallTime(benchmark::State& state) {
  const pf::Calendar calendar{QTimeZone("Europe/Berlin")};
  const QDateTime instant = QDateTime::currentDateTimeUtc();
  for (auto _ : state) benchmark::DoNotOptimize(calendar.wallTime(instant));
}
BENCHMARK(calendarWallTime);

void naturalSort128(benchmark::State& state) {
  QStringList names;
  for (int i = 0; i < 128; ++i) names << QStringLiteral("Shortcut %1 item").arg((i * 37) % 128);
  for (auto _ : state) {
    QStringList copy = names;
    pf::Text::naturalSort(copy);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(naturalSort128);

void characterCount(benchmark::State& state) {
  const QString text =
      QString::fromUtf8("Reminder \U0001F44D\U0001F3FD with a flag \U0001F1E9\U0001F1EA ").repeated(100);
  for (auto _ : state) benchmark::DoNotOptimize(pf::Text::characterCount(text));
}
BENCHMARK(characterCount);

void bookmarkMissingSearch(benchmark::State& state) {
  // The worst case: the item is gone and the whole search budget is spent.
  QTemporaryDir dir;
  for (int i = 0; i < 100; ++i)
    for (int j = 0; j < 60; ++j) QDir().mkpath(dir.path() + QStringLiteral("/p/d%1/e%2").arg(i).arg(j));
  QDir().mkpath(dir.path() + "/p/gone");
  const QByteArray data = pf::Bookmark::create(dir.path() + "/p/gone");
  QDir(dir.path() + "/p/gone").removeRecursively();
  for (auto _ : state) {
    try {
      pf::Bookmark::resolve(data);
    } catch (const pf::BookmarkError&) {
    }
  }
}
BENCHMARK(bookmarkMissingSearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }

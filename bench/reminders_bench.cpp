// Cost of the reminders journal at its budgeted size, 1,000 reminders with
// two occurrences each: decoding, validating and encoding it, loading it, a
// save that changes it (lock, validation, previous copy and new file, both
// synced), a check that finds nothing new, and finding the next due time of
// every reminder, as each check does. Every occurrence holds a whole copy of
// its reminder, so occurrences make most of the bytes; where a bench takes an
// argument it is the number of occurrences per reminder (0: a new journal).
#include "BenchMain.h"
#include "platform/core/AtomicWriter.h"
#include "platform/core/Json.h"
#include "platform/core/JsonTree.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"

#include <QTemporaryDir>
#include <cstdlib>

namespace {

const QDateTime start(QDate(2026, 3, 7), QTime(15, 0), Qt::UTC);

QuibReminder reminderNumber(int i) {
  QuibReminder r;
  r.id = QStringLiteral("reminder-%1").arg(i);
  r.scheduleID = QStringLiteral("6F1C2B9A-0D4E-4F8B-9C3A-%1").arg(i, 12, 10, QChar('0'));
  r.name = QStringLiteral("Reminder %1").arg(i);
  r.message = QStringLiteral("Time to stretch, drink some water and look away from the screen (%1).").arg(i);
  r.time = {2026, 1 + i % 3, 1 + i % 28, i % 24, (i * 7) % 60};
  r.repeatRule = ReminderRepeat::allCases()[std::size_t(i % 3)];
  if (r.repeatRule == ReminderRepeat::weekly) r.weekdays = {2, 4, 6};
  r.animation = i % 2 ? QStringLiteral("dj") : QStringLiteral("dance");
  if (i % 4 == 0) {
    r.actionID = QStringLiteral("shortcut-%1").arg(i % 128);
    r.actionLabel = QStringLiteral("Shortcut %1").arg(i % 128);
  }
  return r;
}

ReminderFile fullJournal(int occurrencesEach = 2) {
  const pf::Calendar calendar = ReminderSchedule::calendar();
  ReminderFile file;
  for (int i = 0; i < 1000; ++i) {
    const QuibReminder r = reminderNumber(i);
    file.reminders.push_back(r);
    for (int day = occurrencesEach; day >= 1; --day) {
      const QDateTime due = start.addDays(-day);
      ReminderOccurrence occurrence{ReminderSchedule::key(r, due, calendar), r, due, {}, due.addSecs(5), {}};
      if (day > 1) occurrence.completedAt = due.addSecs(60);
      file.occurrences.push_back(occurrence);
    }
  }
  return file;
}

/// The journal's size, among a bench's figures.
void countBytes(benchmark::State& state, const QByteArray& bytes) {
  state.SetBytesProcessed(state.iterations() * bytes.size());
  state.counters["fileBytes"] = double(bytes.size());
}

void decodeJournal(benchmark::State& state) {
  const QByteArray bytes = fullJournal(int(state.range(0))).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(ReminderFile::decode(bytes));
  countBytes(state, bytes);
}
BENCHMARK(decodeJournal)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// The parse of the same bytes alone, before the readers: ours, and Qt's for comparison.
void parseJournal(benchmark::State& state) {
  const QByteArray bytes = fullJournal(int(state.range(0))).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(pf::JsonTree::read(bytes));
  countBytes(state, bytes);
}
BENCHMARK(parseJournal)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void parseJournalWithQt(benchmark::State& state) {
  const QByteArray bytes = fullJournal(int(state.range(0))).encoded();
  for (auto _ : state) benchmark::DoNotOptimize(pf::Json::parseObject(bytes));
  countBytes(state, bytes);
}
BENCHMARK(parseJournalWithQt)
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void validateJournal(benchmark::State& state) {
  const ReminderFile file = fullJournal();
  for (auto _ : state) file.validate();
}
BENCHMARK(validateJournal)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void encodeJournal(benchmark::State& state) {
  const ReminderFile file = fullJournal(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(file.encoded());
  countBytes(state, file.encoded());
}
BENCHMARK(encodeJournal)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// One edit saved: lock, fresh read and validation, change, validation, both files written and synced.
void saveJournal(benchmark::State& state) {
  QTemporaryDir dir;
  const ReminderFile file = fullJournal();
  pf::AtomicWriter::write(dir.path() + QStringLiteral("/reminders.json"), file.encoded());
  ReminderStore store(dir.path());
  QuibReminder edited = file.reminders.front();
  for (auto _ : state) {
    const QuibReminder seen =
        store.file().reminders.back().id == edited.id ? store.file().reminders.back() : file.reminders.front();
    edited.message =
        seen.message == file.reminders.front().message ? QStringLiteral("Edited") : file.reminders.front().message;
    store.save(edited, seen, start);
  }
}
BENCHMARK(saveJournal)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// Loading the journal from disk into a new store: read, decode, validate.
void loadJournal(benchmark::State& state) {
  QTemporaryDir dir;
  pf::AtomicWriter::write(dir.path() + QStringLiteral("/reminders.json"), fullJournal(int(state.range(0))).encoded());
  for (auto _ : state) benchmark::DoNotOptimize(ReminderStore(dir.path()).file().reminders.size());
}
BENCHMARK(loadJournal)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// The transaction of a periodic check that finds nothing new: lock, the file
/// found unchanged, the latest due time of every reminder, no write.
void collectNothing(benchmark::State& state) {
  QTemporaryDir dir;
  ReminderStore store(dir.path());
  pf::AtomicWriter::write(dir.path() + QStringLiteral("/reminders.json"), fullJournal().encoded());
  store.reload();
  const QDateTime now = start.addDays(1);
  store.collect(now, ReminderSchedule::calendar());
  for (auto _ : state) store.collect(now, ReminderSchedule::calendar());
}
BENCHMARK(collectNothing)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// The next due time of every reminder, with one calendar for the whole
/// check; the argument is the number of years the first days are spread over
/// (0: all this year; 20: reminders made over two decades, whose first days
/// send the calendar to other years between questions about this week).
void nextDueTimes(benchmark::State& state) {
  ReminderFile file = fullJournal();
  for (std::size_t i = 0; i < file.reminders.size(); ++i)
    file.reminders[i].time.year -= qint64(i) % std::max<qint64>(state.range(0), 1);
  for (auto _ : state) {
    const pf::Calendar calendar = ReminderSchedule::calendar();
    for (const QuibReminder& r : file.reminders) benchmark::DoNotOptimize(ReminderSchedule::next(r, start, calendar));
  }
}
BENCHMARK(nextDueTimes)->Arg(0)->Arg(20)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  // A zone with clock changes, so the calendar work is the real one.
  setenv("TZ", "America/New_York", 1);
  return runBenchmarks(argc, argv);
}

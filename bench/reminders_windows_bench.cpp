// The reminders windows with a full journal: refreshing the list of 1,000
// reminder cards (each card's state read against 1,000 occurrences),
// drawing the visible part of the list, and opening a reminder editor.
#include "ThrowawayDefaults.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"
#include "reminders/ui/ReminderEditor.h"
#include "reminders/ui/ReminderList.h"
#include "shortcuts/ShortcutStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int count = 1000;

QuibReminder reminder(int i) {
  QuibReminder r;
  r.id = QStringLiteral("R%1").arg(i);
  r.scheduleID = QStringLiteral("S%1").arg(i);
  r.name = QStringLiteral("Reminder number %1").arg(i);
  r.message = QStringLiteral("Something worth saying, number %1.").arg(i);
  r.time = {2026, 3, 1 + i % 28, i % 24, i % 60};
  r.repeatRule = ReminderRepeat::allCases()[std::size_t(i % 3)];
  if (r.repeatRule == ReminderRepeat::weekly) r.weekdays = {2, 4, 6};
  r.paused = i % 7 == 0;
  return r;
}

/// A journal of `count` reminders, each with one occurrence, half of them answered.
QString writeJournal(const QString& folder) {
  ReminderFile file;
  const pf::Calendar calendar{QTimeZone::utc()};
  for (int i = 0; i < count; ++i) {
    file.reminders.push_back(reminder(i));
    const QDateTime due = *file.reminders.back().time.date(calendar);
    ReminderOccurrence occurrence{
        ReminderSchedule::key(file.reminders.back(), due, calendar), file.reminders.back(), due, {}, {}, {}};
    if (i % 2) occurrence.completedAt = due.addSecs(60);
    file.occurrences.push_back(occurrence);
  }
  QFile out(folder + QStringLiteral("/reminders.json"));
  if (!out.open(QIODevice::WriteOnly)) qFatal("cannot write the journal");
  out.write(file.encoded());
  return folder;
}

void refreshList(benchmark::State& state) {
  QTemporaryDir folder;
  ReminderStore store(writeJournal(folder.path()));
  ReminderList list(store, nullptr);
  for (auto _ : state) list.refresh();
}

void drawList(benchmark::State& state) {
  QTemporaryDir folder;
  ReminderStore store(writeJournal(folder.path()));
  ReminderList list(store, nullptr);
  list.present();
  QImage image(list.window()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    list.window()->render(&painter);
  }
}

void openEditor(benchmark::State& state) {
  QTemporaryDir folder;
  ShortcutStore shortcuts(pf::UserDefaults::standard(), folder.path());
  for (auto _ : state) {
    ReminderEditor editor(shortcuts, reminder(3));
    editor.present();
    benchmark::DoNotOptimize(editor.window());
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const ThrowawayDefaults defaults;
  benchmark::RegisterBenchmark("reminders list/refresh 1000 cards", refreshList)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("reminders list/draw the window", drawList)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("reminder editor/open", openEditor)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

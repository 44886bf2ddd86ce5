// Wake-ups and CPU of the reminder check loop left alone with nothing due
// soon: first over an empty journal, then over 1,000 reminders none of which
// falls due during the run. Counts the checks (each is one journal
// transaction), every wake-up of the process (voluntary context switches)
// and the CPU time used. Usage: reminders_idle [seconds per run, default 60]
#include "reminders/ReminderCoordinator.h"
#include "reminders/ReminderSchedule.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

long voluntarySwitches() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("voluntary_ctxt_switches:")) return line.mid(24).trimmed().toLong();
  return -1;
}

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// 1,000 reminders due next year, each with a completed occurrence from this one.
ReminderFile laterReminders() {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const int nextYear = now.date().year() + 1;
  ReminderFile file;
  for (int i = 0; i < 1000; ++i) {
    QuibReminder r;
    r.id = QStringLiteral("reminder-%1").arg(i);
    r.scheduleID = QStringLiteral("schedule-%1").arg(i);
    r.name = QStringLiteral("Reminder %1").arg(i);
    r.message = QStringLiteral("Time to stretch and look away from the screen (%1).").arg(i);
    r.time = {nextYear, 1 + i % 12, 1 + i % 28, i % 24, i % 60};
    file.reminders.push_back(r);
    const QDateTime past = now.addDays(-1 - i % 300);
    file.occurrences.push_back({r.id + QStringLiteral(":old"), r, past, {}, past, past});
  }
  return file;
}

void run(const char* what, const ReminderFile& journal, int seconds, QCoreApplication& app) {
  QTemporaryDir dir;
  if (!journal.reminders.empty()) {
    QFile file(dir.path() + QStringLiteral("/reminders.json"));
    file.open(QIODevice::WriteOnly);
    file.write(journal.encoded());
  }
  ReminderStore store(dir.path());
  int checks = 0;
  store.onChange = [&checks] { ++checks; };
  ReminderCoordinator coordinator(store);
  const long switchesBefore = voluntarySwitches();
  const double cpuBefore = cpuSeconds();
  coordinator.start();
  QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  app.exec();
  const double cpu = cpuSeconds() - cpuBefore;
  const long switches = voluntarySwitches() - switchesBefore;
  std::printf("%-28s %3d s: %d checks, %ld wake-ups (%.3f/s), CPU %.3f s (%.4f%%)\n", what, seconds, checks, switches,
              double(switches) / seconds, cpu, 100.0 * cpu / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  run("empty journal", {}, seconds, app);
  run("1,000 reminders, none due", laterReminders(), seconds, app);
  return 0;
}

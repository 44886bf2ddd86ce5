// Measures the resting companion: starts the real program under the offscreen
// platform in a temporary home, lets it rest, and reports the CPU time it used,
// the wake-ups of its main thread and its resident memory.
// Usage: companion_rest_bench [--reminders=N] [seconds [menu item [display]]]
// With a menu item ("Open Shortcuts") that item is chosen before the rest;
// with "display" the program runs on the session's display instead; with
// --reminders the journal holds N reminders, none of them due during the rest.
#include "reminders/ReminderFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// User plus system time of a process, in clock ticks.
long long cpuTicks(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

QByteArray statusField(qint64 pid, const QByteArray& name) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return {};
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(name + ':')) return line.mid(name.size() + 1).simplified();
  return {};
}

long long wakeUps(qint64 pid) {
  return statusField(pid, "voluntary_ctxt_switches").toLongLong() +
         statusField(pid, "nonvoluntary_ctxt_switches").toLongLong();
}

/// Once reminders spread over next year's days and hours, so none falls due now.
void writeJournal(const QString& home, int count) {
  const int year = QDate::currentDate().year() + 1;
  ReminderFile file;
  for (int i = 0; i < count; ++i) {
    QuibReminder reminder;
    reminder.id = QStringLiteral("R%1").arg(i);
    reminder.scheduleID = QStringLiteral("S%1").arg(i);
    reminder.name = QStringLiteral("Reminder %1").arg(i);
    reminder.message = QStringLiteral("Something to remember, number %1.").arg(i);
    reminder.time = {year, 1 + i % 12, 1 + (i / 12) % 28, (i / 336) % 24, i % 60};
    file.reminders.push_back(reminder);
  }
  const QString folder = home + QStringLiteral("/Library/Application Support/Quib Bot");
  QDir().mkpath(folder);
  QFile journal(folder + QStringLiteral("/reminders.json"));
  if (!journal.open(QIODevice::WriteOnly) || journal.write(file.encoded()) < 0)
    std::fprintf(stderr, "cannot write the journal\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  int reminders = 0;
  if (!args.isEmpty() && args.first().startsWith(QStringLiteral("--reminders=")))
    reminders = args.takeFirst().mid(12).toInt();
  const int seconds = args.isEmpty() ? 20 : args.value(0).toInt();
  QTemporaryDir home;
  if (reminders > 0) writeJournal(home.path(), reminders);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), home.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
  const QByteArray item = args.value(1).toUtf8();
  if (args.value(2) != QStringLiteral("display"))
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("WENDLE_TEST_HOOK"), QStringLiteral("stdio"));
  QProcess wendle;
  wendle.setProcessEnvironment(environment);
  wendle.start(QStringLiteral(WENDLE_EXECUTABLE), {});
  while (!wendle.canReadLine() && wendle.waitForReadyRead(10000)) {
  }
  if (wendle.readLine().trimmed() != "ready") {
    std::fprintf(stderr, "the program did not start\n");
    return 1;
  }
  if (!item.isEmpty()) {
    wendle.write("menu " + item + '\n');
    wendle.waitForReadyRead(10000);
    // Past the fade and the first frames.
    QThread::sleep(1);
  }
  const long long before = cpuTicks(wendle.processId());
  const long long wokenBefore = wakeUps(wendle.processId());
  QThread::sleep(seconds);
  const long long used = cpuTicks(wendle.processId()) - before;
  const long long woken = wakeUps(wendle.processId()) - wokenBefore;
  const double tick = 1.0 / double(sysconf(_SC_CLK_TCK));
  std::printf(
      "resting %d s%s%s with %d reminders: CPU %.3f s (%.3f %%), %lld wake-ups (%.2f/s), "
      "resident %s (peak %s), threads %s\n",
      seconds, item.isEmpty() ? "" : " after ", item.constData(), reminders, double(used) * tick,
      100.0 * double(used) * tick / seconds, woken, double(woken) / seconds,
      statusField(wendle.processId(), "VmRSS").constData(), statusField(wendle.processId(), "VmHWM").constData(),
      statusField(wendle.processId(), "Threads").constData());
  wendle.write("menu Quit Wendle\n");
  wendle.waitForFinished(10000);
  return wendle.exitCode();
}

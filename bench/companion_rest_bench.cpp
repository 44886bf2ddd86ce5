// Measures the resting companion: starts the real program under the offscreen
// platform in a temporary home, lets it rest, and reports the CPU time it used
// and its resident memory. Usage: companion_rest_bench [seconds [menu item [display]]]
// With a menu item ("Open Shortcuts") that item is chosen before the rest;
// with "display" the program runs on the session's display instead.
#include <QCoreApplication>
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

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  QTemporaryDir home;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), home.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
  const QByteArray item = argc > 2 ? QByteArray(argv[2]) : QByteArray();
  if (argc <= 3 || QByteArray(argv[3]) != "display")
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
  QThread::sleep(seconds);
  const long long used = cpuTicks(wendle.processId()) - before;
  const double tick = 1.0 / double(sysconf(_SC_CLK_TCK));
  std::printf("resting %d s%s%s: CPU %.3f s (%.3f %%), resident %s (peak %s), threads %s\n", seconds,
              item.isEmpty() ? "" : " after ", item.constData(),
              double(used) * tick, 100.0 * double(used) * tick / seconds,
              statusField(wendle.processId(), "VmRSS").constData(),
              statusField(wendle.processId(), "VmHWM").constData(),
              statusField(wendle.processId(), "Threads").constData());
  wendle.write("menu Quit Wendle\n");
  wendle.waitForFinished(10000);
  return wendle.exitCode();
}

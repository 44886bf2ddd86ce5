// What a border effect costs on a real desktop: starts its own X server
// (Xvfb 1280 x 800 on a display it picks itself) with openbox and xcompmgr,
// then for each effect starts the real program in a temporary home whose
// settings choose the effect and an 800 x 600 Clipboard window, opens that
// window, lets it settle and reads, over a fixed time, the CPU the program and
// the X server use (share of one core), the program's context switches a
// second (every thread's; all, and the voluntary ones alone: a thread that
// waits, for a worker or the X server, rather than one a busy machine
// preempts) and its resident memory at the end. With a reference program given, each measurement runs with one
// program and then the other, so the load of the machine falls on both
// alike; the summary gives medians.
//   border_effect_desktop [--seconds=N] [--settle=N] [--rounds=N]
//                         [--effects=none,fire,...] [--reference=PROGRAM] [PROGRAM]
// PROGRAM defaults to the program built beside this one; "none" is the window
// with no effect (the glass at rest, its outline breathing).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <unistd.h>

// Xlib's macros clash with Qt's names: included last.
#include <X11/Xlib.h>

namespace {

const QStringList allEffects{QStringLiteral("none"),      QStringLiteral("fire"),      QStringLiteral("smoke"),
                             QStringLiteral("lightning"), QStringLiteral("plasma"),    QStringLiteral("frost"),
                             QStringLiteral("starfield"), QStringLiteral("bubbles"),   QStringLiteral("vines"),
                             QStringLiteral("blossoms"),  QStringLiteral("fireflies"), QStringLiteral("runes"),
                             QStringLiteral("matrix"),    QStringLiteral("snow"),      QStringLiteral("toxic")};

struct Options {
  int seconds = 10;
  int settle = 4;
  int rounds = 3;
  QStringList effects = allEffects;
  QStringList programs;
};

/// User plus system time of a whole process (every thread, living or ended), in seconds.
double cpuSeconds(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QByteArray line = stat.readAll();
  // After the name, which may hold spaces: the state is field 3, utime 14, stime 15.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  return (fields.value(11).toDouble() + fields.value(12).toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

/// The sum of the numbers after `names` in a /proc status file.
long long statusSum(const QString& path, std::initializer_list<const char*> names) {
  QFile status(path);
  if (!status.open(QIODevice::ReadOnly)) return 0;
  long long total = 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    for (const char* name : names) {
      if (line.startsWith(name)) total += line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
    }
  }
  return total;
}

/// Context switches of a thread: all, and the voluntary ones.
struct Switches {
  long long all = 0;
  long long voluntary = 0;
};

/// Context switches of every thread the process has now, by thread.
std::map<QString, Switches> contextSwitches(qint64 pid) {
  std::map<QString, Switches> byThread;
  const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
  for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString status = tasks.filePath(task) + QStringLiteral("/status");
    const long long voluntary = statusSum(status, {"voluntary_ctxt_switches:"});
    byThread[task] = {voluntary + statusSum(status, {"nonvoluntary_ctxt_switches:"}), voluntary};
  }
  return byThread;
}

/// Context switches made since `before` by the threads living now (a thread
/// that ended took its count with it; one that began made all of its own).
Switches switchesSince(const std::map<QString, Switches>& before, qint64 pid) {
  Switches total;
  for (const auto& [task, count] : contextSwitches(pid)) {
    const auto then = before.find(task);
    const Switches earlier = then == before.end() ? Switches{} : then->second;
    total.all += count.all - earlier.all;
    total.voluntary += count.voluntary - earlier.voluntary;
  }
  return total;
}

/// Resident memory of the process, in MiB.
double residentMiB(qint64 pid) {
  return static_cast<double>(statusSum(QStringLiteral("/proc/%1/status").arg(pid), {"VmRSS:"})) / 1024;
}

void stopProcess(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(3000)) {
    process.kill();
    process.waitForFinished(3000);
  }
}

/// Xvfb with a window manager and a compositor, until destroyed.
class Desktop final {
 public:
  bool start() {
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) {
    }
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty()) return false;
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    for (QProcess* helper : {&m_windowManager, &m_compositor}) helper->setProcessEnvironment(environment);
    m_windowManager.start(QStringLiteral("openbox"), {});
    m_compositor.start(QStringLiteral("xcompmgr"), {});
    return waitUntilManaged();
  }

  ~Desktop() {
    stopProcess(m_compositor);
    stopProcess(m_windowManager);
    stopProcess(m_server);
  }

  const QString& display() const { return m_display; }
  qint64 serverPid() const { return m_server.processId(); }

 private:
  // The program checks for a compositor as it starts: both must be in place first.
  bool waitUntilManaged() {
    Display* x = XOpenDisplay(m_display.toLatin1().constData());
    if (!x) return false;
    const Atom compositor = XInternAtom(x, "_NET_WM_CM_S0", False);
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    bool ready = false;
    for (int tries = 0; tries < 100 && !ready; ++tries) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, AnyPropertyType, &type, &format, &items, &after,
                         &data);
      if (data) XFree(data);
      ready = items > 0 && XGetSelectionOwner(x, compositor) != 0;
      if (!ready) QThread::msleep(100);
    }
    XCloseDisplay(x);
    return ready;
  }

  QProcess m_server;
  QProcess m_windowManager;
  QProcess m_compositor;
  QString m_display;
};

struct Sample {
  double program = 0;    // percent of one core
  double server = 0;     // percent of one core
  double switches = 0;   // a second
  double voluntary = 0;  // a second
  double resident = 0;   // MiB at the end
};

/// The settings the program starts with: the effect, the Clipboard window's
/// size, and the companion at the screen's left. A window opens clear of the
/// companion, which by default stands mid-screen and leaves the window only
/// the width beside it.
bool writeSettings(const QString& configHome, const QString& effect) {
  QDir().mkpath(configHome + QStringLiteral("/wendle"));
  QFile file(configHome + QStringLiteral("/wendle/org.wendle.Wendle.json"));
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray json =
      "{\"borderEffect\": \"" + effect.toUtf8() +
      "\", \"contentSize.favorites\": {\"width\": 800, \"height\": 600}, \"robotX\": 10, \"robotY\": 0}\n";
  return file.write(json) == json.size();
}

bool expectLine(QProcess& program, const QByteArray& start) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 20000) {
    while (program.canReadLine()) {
      if (program.readLine().startsWith(start)) return true;
    }
    program.waitForReadyRead(1000);
  }
  return false;
}

std::optional<Sample> measure(const Desktop& desktop, const QString& executable, const QString& effect,
                              const Options& options) {
  QTemporaryDir home;
  const QString configHome = home.path() + QStringLiteral("/.config");
  if (!writeSettings(configHome, effect)) return std::nullopt;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(QStringLiteral("DISPLAY"), desktop.display());
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("HOME"), home.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
  environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
  const QString runtime = home.path() + QStringLiteral("/runtime");
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
  environment.insert(QStringLiteral("WENDLE_TEST_HOOK"), QStringLiteral("stdio"));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(executable, {});
  std::optional<Sample> sample;
  if (expectLine(program, "ready")) {
    program.write("menu Clipboard…\n");
    if (expectLine(program, "chosen")) {
      QThread::sleep(options.settle);
      const qint64 pid = program.processId(), server = desktop.serverPid();
      QElapsedTimer wall;
      wall.start();
      const double programBefore = cpuSeconds(pid), serverBefore = cpuSeconds(server);
      const auto switchesBefore = contextSwitches(pid);
      QThread::sleep(options.seconds);
      const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
      const Switches switches = switchesSince(switchesBefore, pid);
      sample = Sample{100 * (cpuSeconds(pid) - programBefore) / elapsed,
                      100 * (cpuSeconds(server) - serverBefore) / elapsed, static_cast<double>(switches.all) / elapsed,
                      static_cast<double>(switches.voluntary) / elapsed, residentMiB(pid)};
    }
    program.write("menu Quit Wendle\n");
    program.waitForFinished(5000);
  }
  stopProcess(program);
  return sample;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Options parse(const QStringList& args) {
  Options options;
  QString reference;
  for (const QString& arg : args) {
    const QString value = arg.section(u'=', 1);
    if (arg.startsWith(QStringLiteral("--seconds="))) {
      options.seconds = value.toInt();
    } else if (arg.startsWith(QStringLiteral("--settle="))) {
      options.settle = value.toInt();
    } else if (arg.startsWith(QStringLiteral("--rounds="))) {
      options.rounds = value.toInt();
    } else if (arg.startsWith(QStringLiteral("--effects="))) {
      options.effects = value.split(u',');
    } else if (arg.startsWith(QStringLiteral("--reference="))) {
      reference = value;
    } else {
      options.programs = {arg};
    }
  }
  if (options.programs.isEmpty()) options.programs = {QStringLiteral(WENDLE_EXECUTABLE)};
  if (!reference.isEmpty()) options.programs.append(reference);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const Options options = parse(QCoreApplication::arguments().mid(1));
  Desktop desktop;
  if (!desktop.start()) {
    std::fprintf(stderr, "no X server with a window manager and a compositor (Xvfb, openbox, xcompmgr)\n");
    return 1;
  }
  const auto name = [&](int index) { return index == 0 ? "program" : "reference"; };
  std::map<std::pair<QString, int>, std::vector<Sample>> samples;
  for (int round = 0; round < options.rounds; ++round) {
    for (const QString& effect : options.effects) {
      for (int index = 0; index < options.programs.size(); ++index) {
        const auto sample = measure(desktop, options.programs[index], effect, options);
        if (!sample) {
          std::fprintf(stderr, "%s did not open the window with %s\n", name(index), qPrintable(effect));
          continue;
        }
        samples[{effect, index}].push_back(*sample);
        std::printf(
            "round %d %-10s %-9s program %5.2f%%  X %5.2f%%  sum %5.2f%%  %7.0f switches/s (%5.0f voluntary)  "
            "%5.1f MiB\n",
            round + 1, qPrintable(effect), name(index), sample->program, sample->server,
            sample->program + sample->server, sample->switches, sample->voluntary, sample->resident);
        std::fflush(stdout);
      }
    }
  }
  std::printf("\nmedians over %d rounds of %d s (after %d s), percent of one core:\n", options.rounds, options.seconds,
              options.settle);
  std::printf("%-10s %-9s %8s %8s %8s %12s %10s %9s\n", "effect", "build", "program", "X", "sum", "switches/s",
              "voluntary", "MiB");
  for (const QString& effect : options.effects) {
    for (int index = 0; index < options.programs.size(); ++index) {
      const auto& runs = samples[{effect, index}];
      std::vector<double> program, server, sum, switches, voluntary, resident;
      for (const Sample& s : runs) {
        program.push_back(s.program);
        server.push_back(s.server);
        sum.push_back(s.program + s.server);
        switches.push_back(s.switches);
        voluntary.push_back(s.voluntary);
        resident.push_back(s.resident);
      }
      std::printf("%-10s %-9s %8.2f %8.2f %8.2f %12.0f %10.0f %9.1f\n", qPrintable(effect), name(index),
                  median(program), median(server), median(sum), median(switches), median(voluntary), median(resident));
    }
  }
  return 0;
}

#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>

/// What the whole-program CPU programs share: running the event loop for a
/// while and the share of one core this program, and optionally the X server
/// (its process id given as --xserver=PID), used meanwhile.
namespace cpu_share {

inline double ownSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// CPU seconds of another process, from /proc; 0 when it cannot be read.
inline double processSeconds(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = stat.readAll().split(' ');
  if (fields.size() < 15) return 0;
  return (fields[13].toDouble() + fields[14].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline void run(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

/// The X server's process id from a --xserver=PID argument, else 0.
inline qint64 xserverFrom(const QStringList& args) {
  for (const QString& arg : args) {
    if (arg.startsWith(QStringLiteral("--xserver="))) return arg.mid(10).toLongLong();
  }
  return 0;
}

/// Shares of one core, in percent, used over `seconds` of the event loop.
struct Shares {
  double own = 0;
  double xserver = 0;
};

inline Shares measure(int seconds, qint64 xserver) {
  QElapsedTimer wall;
  wall.start();
  const double own = ownSeconds(), server = processSeconds(xserver);
  run(seconds * 1000);
  const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
  return {100 * (ownSeconds() - own) / elapsed, 100 * (processSeconds(xserver) - server) / elapsed};
}

}  // namespace cpu_share

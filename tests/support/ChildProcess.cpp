#include "support/ChildProcess.h"

#include "support/HelperProcess.h"

#include <QElapsedTimer>
#include <csignal>
#include <cstdio>

namespace test {

ChildProcess::ChildProcess(const QString& helper, const QStringList& args) {
  m_process.start(testExecutable(), helperArguments(helper, args));
  m_process.waitForStarted();
}

ChildProcess::~ChildProcess() {
  if (isRunning()) kill();
}

bool ChildProcess::waitForLine(const QByteArray& line, int msecs) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    m_output += m_process.readAllStandardOutput();
    if (m_output.split('\n').contains(line)) return true;
    const qint64 left = msecs - timer.elapsed();
    if (left <= 0 || !isRunning()) return false;
    m_process.waitForReadyRead(static_cast<int>(left));
  }
}

int ChildProcess::finish(int msecs) {
  // Qt answers false for a process it has already seen finish.
  if (isRunning() && !m_process.waitForFinished(msecs)) return -1;
  return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void ChildProcess::kill() {
  const qint64 pid = m_process.processId();
  // A pid of 0 would signal our whole process group.
  if (!isRunning() || pid <= 0) return;
  ::kill(static_cast<pid_t>(pid), SIGKILL);
  m_process.waitForFinished(10000);
}

QByteArrayList ChildProcess::lines() {
  m_output += m_process.readAllStandardOutput();
  QByteArrayList lines = m_output.split('\n');
  lines.removeLast();  // a line still being printed, or the empty rest after the last
  return lines;
}

QByteArray ChildProcess::errors() { return m_process.readAllStandardError(); }

void tellParent(const QByteArray& line) {
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace test

#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QStringList>

namespace test {

/// A second real process: this test executable re-run as a registered helper
/// (see WENDLE_TEST_HELPER). Killed when destroyed if still running.
class ChildProcess final {
 public:
  ChildProcess(const QString& helper, const QStringList& args);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  /// Waits until the helper prints `line` (see tellParent); false on timeout or exit.
  bool waitForLine(const QByteArray& line, int msecs = 10000);
  /// Waits for the helper to exit; its exit status, or -1 when it crashed or timed out.
  int finish(int msecs = 60000);
  /// Ends the helper with SIGKILL and reaps it.
  void kill();
  bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
  /// Every whole line the helper printed so far.
  QByteArrayList lines();
  /// Everything the helper wrote to stderr so far.
  QByteArray errors();

 private:
  QProcess m_process;
  QByteArray m_output;
};

/// Prints one line to the parent (a helper's side of waitForLine).
void tellParent(const QByteArray& line);

}  // namespace test

#pragma once

#include "support/EventLoop.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>

namespace test {

/// A private X server for the test on a display it picks itself, with one
/// screen of `width` x `height` in 24 bits, or none when Xvfb is not
/// installed or does not start.
class VirtualServer final {
 public:
  explicit VirtualServer(int width = 640, int height = 480) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) return;
    // -displayfd writes the display number on standard output once the server accepts clients.
    // -noreset: by default the server starts afresh when its last client
    // leaves, and refuses a client that comes while it does.
    m_server.start("Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0",
                            QStringLiteral("%1x%2x24").arg(width).arg(height)});
    if (processEventsUntil([&] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }, 30) &&
        m_server.canReadLine())
      m_name = ':' + m_server.readLine().trimmed();
  }
  ~VirtualServer() {
    m_server.terminate();
    m_server.waitForFinished();
  }
  VirtualServer(const VirtualServer&) = delete;
  VirtualServer& operator=(const VirtualServer&) = delete;

  /// The display's name, such as ":5"; empty when no server runs.
  const QByteArray& name() const { return m_name; }

 private:
  QProcess m_server;
  QByteArray m_name;
};

}  // namespace test

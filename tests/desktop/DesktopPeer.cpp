#include "desktop/DesktopPeer.h"

#include "desktop/XSession.h"

#include <QDeadlineTimer>

namespace desk {

DesktopPeer::DesktopPeer(QRect frame, const QStringList& files) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("DISPLAY"), XSession::shared().displayName());
  m_process.setProcessEnvironment(environment);
  m_process.start(QStringLiteral(DESKTOP_PEER),
                  QStringList{QString::number(frame.x()), QString::number(frame.y()), QString::number(frame.width()),
                              QString::number(frame.height())} +
                      files);
}

DesktopPeer::~DesktopPeer() {
  m_process.kill();
  m_process.waitForFinished(5000);
}

bool DesktopPeer::said(const QByteArray& line, int ms) {
  const QDeadlineTimer deadline(ms);
  for (;;) {
    while (m_process.canReadLine()) {
      const QByteArray next = m_process.readLine().trimmed();
      if (next.startsWith(line)) return true;
    }
    if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) return false;
    m_process.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
  }
}

}  // namespace desk

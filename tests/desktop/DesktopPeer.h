#pragma once

#include <QProcess>
#include <QRect>
#include <QStringList>

namespace desk {

/// Another program's window of black and white stripes (see peer/PeerProgram.cpp).
class DesktopPeer final {
 public:
  /// Shows it at `frame`; a press on it drags `files` when there are some.
  DesktopPeer(QRect frame, const QStringList& files = {});
  ~DesktopPeer();
  /// Waits up to `ms` for the peer to say `line` (or a line beginning with it).
  bool said(const QByteArray& line, int ms = 10000);

 private:
  QProcess m_process;
};

}  // namespace desk

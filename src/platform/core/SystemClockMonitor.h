#pragma once

#include "platform/core/FileDescriptor.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace pf {

/// Tells its owner at once when the wall clock or the time zone changes
/// under the program: the clock set by hand or by time synchronisation, the
/// machine waking from sleep (which the kernel reports as a clock change),
/// or the zone file replaced. Nothing polls: a realtime timer far in the
/// future that the kernel cancels on every clock change, and a watch on the
/// zone file's folder (the file itself is usually replaced, not written).
class SystemClockMonitor final : public QObject {
  Q_OBJECT

 public:
  static inline const QString systemZoneFile = QStringLiteral("/etc/localtime");

  explicit SystemClockMonitor(QString zoneFile = systemZoneFile);
  ~SystemClockMonitor() override;

  /// Called after the zone file changed to another zone.
  std::function<void()> onTimeZoneChange;
  /// Called after the wall clock was set or the machine woke.
  std::function<void()> onClockChange;

  /// Whether clock changes are noticed (false where the kernel offers no such timer).
  bool watchesClock() const { return m_clockTimer.isOpen(); }

 private:
  void armClockTimer();
  void clockTimerReady();
  void zoneFolderChanged();
  QByteArray zoneIdentity() const;

  QString m_zoneFile;
  QByteArray m_zone;
  QFileSystemWatcher m_zoneFolder;
  FileDescriptor m_clockTimer;
  std::unique_ptr<QSocketNotifier> m_clockNotifier;
};

}  // namespace pf

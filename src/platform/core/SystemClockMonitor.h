#pragma once

#include "platform/core/FileDescriptor.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <sys/types.h>

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

  /// The kernel timer that notices clock changes, or a stand-in for it (setting
  /// the clock takes privileges and disturbs the whole machine, so tests cannot
  /// make the real one fire).
  struct ClockTimer {
    /// Turns readable when the timer expires or the clock is set.
    FileDescriptor descriptor;
    /// Sets the timer far ahead again; a cancelled timer stays cancelled until then.
    std::function<void(int descriptor)> arm;
    /// read(2) of the expiry count: -1 with errno ECANCELED after a clock change.
    std::function<ssize_t(int descriptor, std::uint64_t& expirations)> read;

    /// The kernel's realtime timer, cancelled on every clock change; not open where there is none.
    static ClockTimer realtime();
  };

  explicit SystemClockMonitor(QString zoneFile = systemZoneFile, ClockTimer clockTimer = ClockTimer::realtime());
  ~SystemClockMonitor() override;

  /// Called after the zone file changed to another zone.
  std::function<void()> onTimeZoneChange;
  /// Called after the wall clock was set or the machine woke.
  std::function<void()> onClockChange;

  /// Whether clock changes are noticed (false where the kernel offers no such timer).
  bool watchesClock() const { return m_clockTimer.descriptor.isOpen(); }

 private:
  void clockTimerReady();
  void zoneFolderChanged();
  QByteArray zoneIdentity() const;

  QString m_zoneFile;
  QByteArray m_zone;
  QFileSystemWatcher m_zoneFolder;
  ClockTimer m_clockTimer;
  std::unique_ptr<QSocketNotifier> m_clockNotifier;
};

}  // namespace pf

#include "platform/core/SystemClockMonitor.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace pf {

namespace {

/// Far enough ahead never to fire in a session; re-armed if it ever does.
constexpr time_t clockTimerHorizon = 365L * 24 * 60 * 60;

}  // namespace

SystemClockMonitor::ClockTimer SystemClockMonitor::ClockTimer::realtime() {
  ClockTimer timer;
  timer.descriptor = FileDescriptor(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC));
  timer.arm = [](int descriptor) {
    itimerspec expiry{};
    expiry.it_value.tv_sec = std::time(nullptr) + clockTimerHorizon;
    timerfd_settime(descriptor, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr);
  };
  timer.read = [](int descriptor, std::uint64_t& expirations) {
    return ::read(descriptor, &expirations, sizeof expirations);
  };
  return timer;
}

SystemClockMonitor::SystemClockMonitor(QString zoneFile, ClockTimer clockTimer)
    : m_zoneFile(std::move(zoneFile)), m_clockTimer(std::move(clockTimer)) {
  m_zone = zoneIdentity();
  m_zoneFolder.addPath(QFileInfo(m_zoneFile).absolutePath());
  connect(&m_zoneFolder, &QFileSystemWatcher::directoryChanged, this, [this] { zoneFolderChanged(); });

  if (!m_clockTimer.descriptor.isOpen()) return;
  m_clockTimer.arm(m_clockTimer.descriptor.get());
  m_clockNotifier = std::make_unique<QSocketNotifier>(m_clockTimer.descriptor.get(), QSocketNotifier::Read);
  connect(m_clockNotifier.get(), &QSocketNotifier::activated, this, [this] { clockTimerReady(); });
}

SystemClockMonitor::~SystemClockMonitor() = default;

void SystemClockMonitor::clockTimerReady() {
  std::uint64_t expirations = 0;
  const ssize_t read = m_clockTimer.read(m_clockTimer.descriptor.get(), expirations);
  const bool cancelled = read < 0 && errno == ECANCELED;
  if (read < 0 && !cancelled) return;
  // A cancelled timer stays cancelled until it is armed again.
  m_clockTimer.arm(m_clockTimer.descriptor.get());
  if (cancelled && onClockChange) onClockChange();
}

// The folder also changes for unrelated files; only a different zone counts.
void SystemClockMonitor::zoneFolderChanged() {
  const QByteArray zone = zoneIdentity();
  if (zone == m_zone) return;
  m_zone = zone;
  tzset();
  if (onTimeZoneChange) onTimeZoneChange();
}

// The link's target names the zone; a copied file is told apart by its bytes.
QByteArray SystemClockMonitor::zoneIdentity() const {
  QFile file(m_zoneFile);
  const QByteArray target = QFileInfo(m_zoneFile).symLinkTarget().toUtf8();
  if (!file.open(QIODevice::ReadOnly)) return target;
  return target + '\n' + file.read(1 << 20);
}

}  // namespace pf

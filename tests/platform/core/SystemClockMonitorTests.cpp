#include "platform/core/Files.h"
#include "platform/core/SystemClockMonitor.h"
#include "support/EventLoop.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/timerfd.h>
#include <cstdint>
#include <ctime>

namespace {

QString folder() { return test::home() + QStringLiteral("/etc"); }
QString zoneFile() { return folder() + QStringLiteral("/localtime"); }

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path + QStringLiteral(".new"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
  file.close();
  ASSERT_EQ(::rename(qPrintable(path + QStringLiteral(".new")), qPrintable(path)), 0);
}

void linkZone(const QString& target) {
  const QString link = zoneFile() + QStringLiteral(".link");
  ASSERT_EQ(::symlink(qPrintable(target), qPrintable(link)), 0);
  ASSERT_EQ(::rename(qPrintable(link), qPrintable(zoneFile())), 0);
}

}  // namespace

TEST(SystemClockMonitor, ReportsOnlyAChangeToAnotherZone) {
  struct Case {
    const char* name;
    std::function<void()> change;
    bool reported;
  };
  const Case cases[] = {
      {"another file in the folder", [] { writeFile(folder() + QStringLiteral("/hostname"), "box"); }, false},
      {"the same zone written again", [] { writeFile(zoneFile(), "zone Paris"); }, false},
      {"a copied zone with other bytes", [] { writeFile(zoneFile(), "zone Tokyo"); }, true},
      {"the link pointed at another zone", [] { linkZone(folder() + QStringLiteral("/Lima")); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pf::Files::makeFolders(folder());
    QFile::remove(zoneFile());
    writeFile(folder() + QStringLiteral("/Lima"), "zone Lima");
    writeFile(zoneFile(), "zone Paris");
    pf::SystemClockMonitor monitor(zoneFile());
    int reports = 0;
    monitor.onTimeZoneChange = [&] { ++reports; };
    c.change();
    test::processEventsUntil([&] { return reports > 0; }, c.reported ? 5 : 1);
    EXPECT_EQ(reports, c.reported ? 1 : 0);
  }
}

// Some virtual machines have their clock set by the host many times a second;
// a timer of the test's own tells whether that happened during the wait.
TEST(SystemClockMonitor, WatchesTheClockWithoutWaking) {
  pf::SystemClockMonitor monitor(zoneFile());
  bool changed = false;
  monitor.onClockChange = [&] { changed = true; };
  EXPECT_TRUE(monitor.watchesClock());
  const int probe = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  itimerspec farAhead{};
  farAhead.it_value.tv_sec = std::time(nullptr) + 365L * 24 * 60 * 60;
  ASSERT_EQ(timerfd_settime(probe, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &farAhead, nullptr), 0);
  test::processEventsUntil([] { return false; }, 1);
  std::uint64_t expirations = 0;
  const bool clockWasSet = ::read(probe, &expirations, sizeof expirations) < 0 && errno == ECANCELED;
  ::close(probe);
  EXPECT_EQ(changed, clockWasSet);
}

// Setting the clock takes privileges and disturbs the whole machine, so a pipe
// stands in for the kernel's timer: each wake makes it readable, and reading
// it gives what the case says.
TEST(SystemClockMonitor, ReportsEveryClockChangeAndNothingElse) {
  struct Case {
    const char* name;
    ssize_t read;
    int error;
    bool reported;
    bool rearmed;
  };
  const Case cases[] = {
      {"the clock was set", -1, ECANCELED, true, true},
      {"the far expiry came", 8, 0, false, true},
      {"a wake with nothing to read", -1, EAGAIN, false, false},
      {"a failed read", -1, EBADF, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    const pf::FileDescriptor wake(ends[1]);
    int arms = 0, reads = 0;
    pf::SystemClockMonitor::ClockTimer standIn;
    standIn.descriptor = pf::FileDescriptor(ends[0]);
    standIn.arm = [&](int) { ++arms; };
    standIn.read = [&](int descriptor, std::uint64_t&) {
      char drained[16];
      while (::read(descriptor, drained, sizeof drained) > 0) {
      }
      ++reads;
      errno = c.error;
      return c.read;
    };
    pf::SystemClockMonitor monitor(zoneFile(), std::move(standIn));
    int reports = 0;
    monitor.onClockChange = [&] { ++reports; };
    EXPECT_EQ(arms, 1);
    for (int wakes = 1; wakes <= 2; ++wakes) {
      ASSERT_EQ(::write(wake.get(), "x", 1), 1);
      ASSERT_TRUE(test::processEventsUntil([&] { return reads == wakes; }, 5));
    }
    EXPECT_EQ(reports, c.reported ? 2 : 0);
    EXPECT_EQ(arms, c.rearmed ? 3 : 1);
  }
}

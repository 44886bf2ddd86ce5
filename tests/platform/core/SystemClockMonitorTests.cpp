#include "platform/core/Files.h"
#include "platform/core/SystemClockMonitor.h"
#include "support/EventLoop.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(SystemClockMonitor, WatchesTheClockWithoutWaking) {
  pf::SystemClockMonitor monitor(zoneFile());
  bool changed = false;
  monitor.onClockChange = [&] { changed = true; };
  EXPECT_TRUE(monitor.watchesClock());
  test::processEventsUntil([] { return false; }, 1);
  EXPECT_FALSE(changed);
}

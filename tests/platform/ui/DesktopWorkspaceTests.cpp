#include "platform/core/QtMainQueue.h"
#include "platform/ui/DesktopWorkspace.h"
#include "support/ChildProcess.h"
#include "support/DesktopEntries.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace pf;

namespace {

struct Outcome {
  bool arrived = false;
  std::optional<QString> error;
};

// Launches `entry` and checks that the outcome arrives only after the call returned.
Outcome launch(const QString& entry) {
  DesktopWorkspace workspace(QtMainQueue::shared());
  auto outcome = std::make_shared<Outcome>();
  workspace.openApplication(QUrl::fromLocalFile(entry), [outcome](std::optional<QString> error) {
    EXPECT_FALSE(outcome->arrived) << "completion ran twice";
    outcome->arrived = true;
    outcome->error = std::move(error);
  });
  EXPECT_FALSE(outcome->arrived) << "completion ran before openApplication returned";
  EXPECT_TRUE(test::processEventsUntil([&] { return outcome->arrived; }));
  return *outcome;
}

}  // namespace

// Opens args[1] in a process whose desktop knows only the programs under the
// folder args[0]: GIO reads those folders once, when first asked.
WENDLE_TEST_HELPER(openAddress) {
  const QByteArray data = QFile::encodeName(args[0] + QStringLiteral("/data"));
  const QByteArray config = QFile::encodeName(args[0] + QStringLiteral("/config"));
  setenv("XDG_DATA_HOME", data.constData(), 1);
  setenv("XDG_DATA_DIRS", data.constData(), 1);
  setenv("XDG_CONFIG_HOME", config.constData(), 1);
  setenv("XDG_CONFIG_DIRS", config.constData(), 1);
  return DesktopWorkspace::shared().openURL(QUrl(args[1])) ? 0 : 1;
}

TEST(DesktopWorkspace, OpensAnAddressWithTheDesktopsDefaultProgramAndFailsWhereThereIsNone) {
  const QString folder = test::home() + QStringLiteral("/Projects");
  QDir().mkpath(folder);
  struct Case {
    const char* name;
    QString address;
    const char* handles;  // the type the stand-in program is the default for, if any
  };
  const Case cases[] = {
      {"a web address with a browser", QStringLiteral("https://example.com/page"), "x-scheme-handler/https"},
      {"a folder with a file manager", QUrl::fromLocalFile(folder).toString(), "inode/directory"},
      {"a web address without one", QStringLiteral("https://example.com/page"), nullptr},
      {"a folder without one", QUrl::fromLocalFile(folder).toString(), nullptr},
  };
  int index = 0;
  for (const Case& c : cases) {
    const QString desktop = test::home() + QStringLiteral("/desktop%1").arg(index++);
    const QString marker = desktop + QStringLiteral("/opened");
    QDir().mkpath(desktop + QStringLiteral("/config"));
    if (c.handles) {
      const QString program = test::writeFile(desktop + QStringLiteral("/handler"),
                                              "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker.toUtf8() + "'\n");
      QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      test::writeDesktopEntry(desktop + QStringLiteral("/data/applications"), "handler", program + " %u",
                              QStringLiteral("MimeType=%1;\n").arg(c.handles));
      test::writeFile(desktop + QStringLiteral("/config/mimeapps.list"),
                      QByteArray("[Default Applications]\n") + c.handles + "=handler.desktop\n");
    }
    test::ChildProcess process(QStringLiteral("openAddress"), {desktop, c.address});
    EXPECT_EQ(process.finish(), c.handles ? 0 : 1) << c.name << process.errors().toStdString();
    if (c.handles) {
      EXPECT_TRUE(test::processEventsUntil([&] { return !test::contentsOf(marker).isEmpty(); })) << c.name;
      EXPECT_TRUE(test::contentsOf(marker).contains(QUrl(c.address).path().toUtf8())) << c.name;
    }
  }
}

TEST(DesktopWorkspace, LaunchesADesktopEntryAndReportsLater) {
  const QString marker = test::home() + QStringLiteral("/marker");
  const QString entry =
      test::writeMarkerEntry(test::home() + QStringLiteral("/apps"), "marker", marker);
  const Outcome outcome = launch(entry);
  EXPECT_EQ(outcome.error, std::nullopt) << outcome.error->toStdString();
  EXPECT_TRUE(test::processEventsUntil([&] { return test::contentsOf(marker) == "ok\n"; }));
}

TEST(DesktopWorkspace, ReportsWhatCannotBeLaunched) {
  const QString apps = test::home() + QStringLiteral("/apps");
  EXPECT_EQ(launch(apps + QStringLiteral("/absent.desktop")).error,
            QStringLiteral("The application “absent” could not be launched."));
  // GIO refuses an entry whose program is not installed before it spawns anything.
  EXPECT_EQ(
      launch(test::writeDesktopEntry(apps, "uninstalled", "/nonexistent/wendle-program")).error,
      QStringLiteral("The application “uninstalled” could not be launched."));
  // A spawn that fails reports GIO's own sentence.
  const QString broken =
      test::writeDesktopEntry(apps, "broken", "sh -c true", "Path=/nonexistent-folder\n");
  const Outcome outcome = launch(broken);
  ASSERT_TRUE(outcome.error);
  EXPECT_TRUE(outcome.error->contains(QStringLiteral("/nonexistent-folder")))
      << outcome.error->toStdString();
}

#include "platform/core/QtMainQueue.h"
#include "platform/ui/DesktopWorkspace.h"
#include "support/DesktopEntries.h"
#include "support/TestEnvironment.h"

#include <QDesktopServices>
#include <gtest/gtest.h>

using namespace pf;

namespace {

// Stands in for the default program of a scheme, inside this process.
class URLReceiver final : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> received;

 public slots:
  void receive(const QUrl& url) { received << url; }
};

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

TEST(DesktopWorkspace, OpensAddressesThroughTheDesktopServices) {
  URLReceiver receiver;
  QDesktopServices::setUrlHandler(QStringLiteral("wendle-test"), &receiver, "receive");
  const QUrl url(QStringLiteral("wendle-test://example/page"));
  EXPECT_TRUE(DesktopWorkspace::shared().openURL(url));
  QDesktopServices::unsetUrlHandler(QStringLiteral("wendle-test"));
  EXPECT_EQ(receiver.received, QList<QUrl>{url});
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

#include "DesktopWorkspaceTests.moc"

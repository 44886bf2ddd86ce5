#include "app/AppDelegate.h"
#include "platform/core/QtMainQueue.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "support/DesktopEntries.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

Shortcut make(const QString& id, const QString& label, ShortcutKind kind, const QString& destination) {
  return {id, label, kind, destination, {}, std::nullopt, std::nullopt, true};
}

QList<pf::Alert*> shownAlerts() {
  QList<pf::Alert*> alerts;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* alert = qobject_cast<pf::Alert*>(widget); alert && alert->isVisible()) alerts << alert;
  return alerts;
}

/// A delegate over a catalog of `shortcuts`, whose opener records what it is asked to open.
class OpenShortcut : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = test::home() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    const std::vector<Shortcut> shortcuts{make("site", "Docs", ShortcutKind::web, "https://example.com/"),
                                          make("down", "Stuff", ShortcutKind::folder, folder),
                                          make("tool", "Tool", ShortcutKind::application,
                                               test::writeDesktopEntry(test::home(), "tool", "true"))};
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    ShortcutCatalogRepository(directory).load(
        [&] {
          return ShortcutCatalog{2, shortcuts, {}};
        },
        std::nullopt);
    delegate = std::make_unique<AppDelegate>(
        std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory),
        pf::UserDefaults::standard(), QString());
    ShortcutOpener& opener = delegate->shortcutOpener();
    opener.webOpen = [this](const QUrl& url) {
      asked << url.toString();
      return accepts;
    };
    opener.folderOpen = opener.webOpen;
    opener.applicationOpen = [this](const QUrl& url, ShortcutOpener::Completion completion) {
      asked << url.toString();
      pf::QtMainQueue::shared().async(nullptr,
                                      [completion] { completion(QStringLiteral("Launch refused.")); });
    };
  }

  void TearDown() override {
    for (pf::Alert* alert : shownAlerts()) delete alert;
  }

  Shortcut stored(const QString& id) { return *delegate->shortcutStore().item(id); }

  QString folder;
  std::unique_ptr<AppDelegate> delegate;
  QStringList asked;
  bool accepts = true;
};

}  // namespace

TEST_F(OpenShortcut, PicksTheReactionThenOpensWithoutAnAlert) {
  delegate->openShortcut(stored("site"));
  EXPECT_EQ(delegate->lastReaction(), "action-browser");
  delegate->openShortcut(stored("down"));
  EXPECT_EQ(delegate->lastReaction(), "action-downloads");
  EXPECT_EQ(asked, (QStringList{"https://example.com/", QUrl::fromLocalFile(folder).toString()}));
  QCoreApplication::processEvents();
  EXPECT_TRUE(shownAlerts().isEmpty());
}

TEST_F(OpenShortcut, AFailureShowsTheOpenersMessageWithAnOpenSettingsButton) {
  accepts = false;
  delegate->openShortcut(stored("down"));
  ASSERT_EQ(shownAlerts().size(), 1);
  QPointer<pf::Alert> alert = shownAlerts().first();
  EXPECT_EQ(alert->messageText(), "The file manager could not open Stuff. Reselect the folder in Edit Shortcuts.");
  ASSERT_EQ(alert->buttons().size(), 1);
  EXPECT_EQ(alert->buttons().first()->text(), "Open Settings");
  alert->buttons().first()->click();
  EXPECT_TRUE(shownAlerts().isEmpty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(alert) << "the alert was not released";
}

TEST_F(OpenShortcut, ALaunchFailureArrivesLaterAndUnmatchedShortcutsPlayTheAppReaction) {
  delegate->openShortcut(stored("tool"));
  EXPECT_EQ(delegate->lastReaction(), "action-app");
  EXPECT_TRUE(shownAlerts().isEmpty());
  ASSERT_TRUE(test::processEventsUntil([] { return !shownAlerts().isEmpty(); }));
  EXPECT_EQ(shownAlerts().first()->messageText(), "Launch refused.");
}

TEST_F(OpenShortcut, ALaunchThatReportsAfterTheDelegateIsGoneShowsNothing) {
  delegate->openShortcut(stored("tool"));
  delegate.reset();
  QCoreApplication::processEvents();
  EXPECT_TRUE(shownAlerts().isEmpty());
}

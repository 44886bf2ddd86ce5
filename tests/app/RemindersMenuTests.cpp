#include "app/AppDelegate.h"
#include "launcher/LauncherAssignmentStore.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderStore.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

pf::Window* windowTitled(const QString& title) {
  for (pf::Window* window : pf::Window::windows())
    if (window->windowTitle() == title && window->isVisible()) return window;
  return nullptr;
}

void click(pf::Window* window, const QString& title) {
  for (auto* button : window->findChildren<QPushButton*>())
    if (button->text() == title) return QTest::mouseClick(button, Qt::LeftButton);
  ADD_FAILURE() << "no button " << title.toStdString();
}

class RemindersMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    LauncherAssignmentStore::resetShared();
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    ShortcutCatalogRepository(directory).load([] { return ShortcutCatalog{2, {}, {}}; }, std::nullopt);
    delegate = std::make_unique<AppDelegate>(
        std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory), pf::UserDefaults::standard(),
        QStringLiteral(WENDLE_ASSETS));
    delegate->applicationDidFinishLaunching();
  }
  void TearDown() override {
    delegate.reset();
    LauncherAssignmentStore::resetShared();
    pf::UserDefaults::resetAll();
  }

  std::unique_ptr<AppDelegate> delegate;
};

}  // namespace

TEST_F(RemindersMenu, RemindersOpensTheListWhoseNewReminderIsSavedToTheJournal) {
  delegate->statusMenu().item(QStringLiteral("Reminders…"))->trigger();
  pf::Window* list = windowTitled(QStringLiteral("Wendle Reminders"));
  ASSERT_TRUE(list);
  click(list, QStringLiteral("New…"));
  pf::Window* editor = windowTitled(QStringLiteral("New Reminder"));
  ASSERT_TRUE(editor);
  QTest::keyClicks(editor->findChild<QLineEdit*>(), QStringLiteral("Tea"));
  QTest::keyClicks(editor->findChild<QPlainTextEdit*>(), QStringLiteral("Time for tea."));
  click(editor, QStringLiteral("+1 day"));
  click(editor, QStringLiteral("Save"));
  EXPECT_FALSE(editor->isVisible());

  const ReminderStore journal(delegate->shortcutStore().dataDirectory());
  ASSERT_EQ(journal.file().reminders.size(), 1u);
  EXPECT_EQ(journal.file().reminders[0].name, QStringLiteral("Tea"));
  EXPECT_EQ(list->findChildren<QWidget*>(QStringLiteral("reminderCard")).size(), 1);
}

#include "app/LaunchedProgram.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/PerformancePlayer.h"
#include "launcher/LauncherAssignmentStore.h"
#include "launcher/ui/LauncherPanel.h"
#include "platform/core/Calendar.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderStore.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderBubble.h"
#include "reminders/ui/ReminderFeature.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "support/EventLoop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void click(pf::Window* window, const QString& title) {
  for (auto* button : window->findChildren<QPushButton*>())
    if (button->text() == title) return QTest::mouseClick(button, Qt::LeftButton);
  ADD_FAILURE() << "no button " << title.toStdString();
}

class RemindersMenu : public test::LaunchedProgram {
 protected:
  void SetUp() override { launch({}); }
};

}  // namespace

TEST_F(RemindersMenu, RemindersOpensTheListWhoseNewReminderIsSavedToTheJournal) {
  delegate->statusMenu().item(QStringLiteral("Reminders…"))->trigger();
  pf::Window* list = test::windowTitled(QStringLiteral("Wendle Reminders"));
  ASSERT_TRUE(list);
  click(list, QStringLiteral("New…"));
  pf::Window* editor = test::windowTitled(QStringLiteral("New Reminder"));
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

TEST_F(RemindersMenu, ADueReminderIsAnnouncedOverTheCompanionWhichStandsStill) {
  const pf::Calendar calendar{QTimeZone::systemTimeZone()};
  QuibReminder tea = test::reminder(QStringLiteral("Tea"), ReminderRepeat::once,
                                    ReminderTime(QDateTime::currentDateTime().addSecs(-60), calendar));
  QFile journal(delegate->shortcutStore().dataDirectory() + QStringLiteral("/reminders.json"));
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly) && journal.write(ReminderFile{1, {tea}, {}}.encoded()) > 0);
  journal.close();
  ReminderFeature& reminders = delegate->reminders();
  reminders.coordinator().check();

  ASSERT_TRUE(reminders.panel() && reminders.panel()->isVisible());
  EXPECT_EQ(reminders.bubble().titleField()->text(), QStringLiteral("Stretch Tea"));
  const pf::Rect companion = delegate->companionPanel()->frame();
  EXPECT_NEAR(reminders.panel()->frame().midX(), companion.midX(), 0.5);
  EXPECT_EQ(reminders.panel()->frame().minY(), companion.maxY() + 10);
  EXPECT_TRUE(delegate->holds().contains(PacingController::Hold::reminders));
  EXPECT_TRUE(delegate->performancePlayer()->isPlaying());

  QTest::mouseClick(reminders.bubble().doneButton(), Qt::LeftButton);
  EXPECT_FALSE(reminders.panel()->isVisible());
  EXPECT_FALSE(delegate->holds().contains(PacingController::Hold::reminders));
  EXPECT_FALSE(delegate->performancePlayer()->isPlaying());
  EXPECT_FALSE(ReminderStore(delegate->shortcutStore().dataDirectory()).file().occurrences.at(0).isOpen());
}

TEST_F(RemindersMenu, TheListHoldsTheCompanionWhileItIsOpen) {
  delegate->statusMenu().item(QStringLiteral("Reminders…"))->trigger();
  EXPECT_TRUE(delegate->holds().contains(PacingController::Hold::reminders));
  test::windowTitled(QStringLiteral("Wendle Reminders"))->performClose();
  test::processEventsUntil([&] { return !delegate->holds().contains(PacingController::Hold::reminders); }, 2);
  EXPECT_FALSE(delegate->holds().contains(PacingController::Hold::reminders));
}

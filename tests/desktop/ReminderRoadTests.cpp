#include "desktop/DesktopTest.h"
#include "platform/core/Calendar.h"
#include "reminders/ReminderFile.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "support/TestFiles.h"

#include <QTimeZone>

namespace desk {
namespace {

const QString bubbleTitle = QStringLiteral("Wendle Reminder");

QString journal() { return ShortcutCatalogRepository::applicationDirectory() + QStringLiteral("/reminders.json"); }

/// A journal of one reminder, due this minute.
void writeReminderDueNow(const QString& id, const QString& name) {
  QuibReminder reminder;
  reminder.id = id;
  reminder.scheduleID = QStringLiteral("S-") + id;
  reminder.name = name;
  reminder.message = QStringLiteral("Time for %1.").arg(name.toLower());
  reminder.time = ReminderTime(QDateTime::currentDateTime(), pf::Calendar(QTimeZone::systemTimeZone()));
  test::writeFile(journal(), ReminderFile{ReminderFile::currentVersion, {reminder}, {}}.encoded());
}

bool journalSaysDone() {
  const ReminderFile file = ReminderFile::decode(test::contentsOf(journal()));
  return file.occurrences.size() == 1 && file.occurrences.front().completedAt.has_value();
}

}  // namespace

TEST_F(DesktopTest, AReminderDueNowShowsOneBubbleInFrontOfEveryWindowAndItsDoneIsKept) {
  writeReminderDueNow(QStringLiteral("tea"), QStringLiteral("Tea"));
  RunningWendle& wendle = start();
  for (const auto& [item, title] : {std::pair{QStringLiteral("Settings…"), QStringLiteral("Wendle Settings")},
                                    std::pair{QStringLiteral("Clipboard…"), QStringLiteral("Clipboard — Wendle")},
                                    std::pair{QStringLiteral("Reminders…"), QStringLiteral("Wendle Reminders")}})
    EXPECT_TRUE(openFromHook(wendle, item, title));

  // The bubble stands in front of every window, and of the launcher that opens beside the companion.
  const std::optional<TopWindow> bubble = windows.waitFor(bubbleTitle);
  ASSERT_TRUE(bubble) << "no bubble announces the reminder";
  EXPECT_TRUE(wendle.find(bubble->id, QStringLiteral("Tea")));
  EXPECT_TRUE(inFront(*bubble));
  openLauncher();
  EXPECT_TRUE(waitUntil([&] { return inFront(*bubble); }, 1000)) << inFront(*bubble).message();
  shot(QStringLiteral("bubble"));

  // Done closes it and is kept in the journal.
  clickOn(wendle, *bubble, QStringLiteral("Done"));
  EXPECT_TRUE(windows.waitGone(bubbleTitle));
  EXPECT_TRUE(waitUntil(journalSaysDone, 3000)) << test::contentsOf(journal()).toStdString();
  chooseFromMenu(QStringLiteral("Quit Wendle"));
  ASSERT_EQ(programs.back()->exitStatus(), 0);

  // With two copies running, one of them announces the next one.
  programs.clear();
  writeReminderDueNow(QStringLiteral("walk"), QStringLiteral("Walk"));
  start();
  start();
  ASSERT_TRUE(windows.waitFor(bubbleTitle));
  QThread::msleep(1500);
  const std::vector<TopWindow> shown = windows.shown();
  EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const TopWindow& w) { return w.title == bubbleTitle; }), 1);
  shot(QStringLiteral("two-copies"));
}

}  // namespace desk

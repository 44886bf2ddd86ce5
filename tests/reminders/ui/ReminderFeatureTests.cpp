#include "launcher/ui/LauncherPanel.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderBubble.h"
#include "reminders/ui/ReminderEditor.h"
#include "reminders/ui/ReminderFeature.h"
#include "reminders/ui/ReminderList.h"
#include "reminders/ui/ShownText.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "support/EventLoop.h"
#include "support/ManualScheduler.h"

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

/// What the feature told its owner.
struct Owner {
  std::vector<bool> holds;
  std::vector<QString> animations;
  std::vector<QString> notices;
  int reveals = 0;
  int animationStops = 0;
};

class ReminderFeatureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    const std::vector<Shortcut> saved{
        {QStringLiteral("kettle"), QStringLiteral("Kettle"), ShortcutKind::web, QStringLiteral("https://kettle.example"),
         {}, {}, {}, true},
        {QStringLiteral("teapot"), QStringLiteral("Teapot"), ShortcutKind::web, QStringLiteral("https://teapot.example"),
         {}, {}, {}, false}};
    ShortcutCatalogRepository(directory).load([saved] { return ShortcutCatalog{2, saved, {}}; }, std::nullopt);
    shortcuts = std::make_unique<ShortcutStore>(pf::UserDefaults::standard(), directory);
    zoneFile = test::home() + QStringLiteral("/zone/localtime");
    writeZone("UTC");
  }
  void TearDown() override {
    shortcuts.reset();
    pf::UserDefaults::resetAll();
  }

  void writeZone(const QByteArray& zone) const {
    pf::Files::makeFolders(test::home() + QStringLiteral("/zone"));
    // Replaced as the system replaces it: a new file renamed over the old.
    QFile file(zoneFile + QStringLiteral(".new"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(zone) == zone.size());
    file.close();
    ::rename(qPrintable(zoneFile + QStringLiteral(".new")), qPrintable(zoneFile));
  }

  std::unique_ptr<ReminderFeature> feature(Owner& owner, std::optional<QString> folder = test::journalFolder()) {
    auto made = std::make_unique<ReminderFeature>(*shortcuts, std::move(folder),
                                                  ReminderFeature::Services{&clock, &clock, zoneFile});
    made->onHold = [&owner](bool on) { owner.holds.push_back(on); };
    made->onAnimation = [&owner](QuibAction action) { owner.animations.push_back(action.rawValue()); };
    made->onNotice = [&owner](const QString& text) { owner.notices.push_back(text); };
    made->onReveal = [&owner] { ++owner.reveals; };
    made->onStopAnimation = [&owner] { ++owner.animationStops; };
    return made;
  }

  static bool bubbleShown(const ReminderFeature& f) { return f.panel() && f.panel()->isVisible(); }

  static ReminderOccurrence journalOccurrence() {
    const ReminderStore journal(test::journalFolder());
    EXPECT_EQ(journal.file().occurrences.size(), 1u);
    return journal.file().occurrences.at(0);
  }

  test::ManualScheduler clock;  // Saturday 7 March 2026, 12:00 UTC: a 09:00 daily reminder is due
  std::unique_ptr<ShortcutStore> shortcuts;
  QString zoneFile;
};

}  // namespace

TEST_F(ReminderFeatureTest, ADueReminderIsShownAndDoneCompletesIt) {
  test::writeJournal({1, {test::reminder()}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  ASSERT_TRUE(bubbleShown(*reminders));
  EXPECT_EQ(reminders->panel()->windowTitle(), QStringLiteral("Wendle Reminder"));
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Stretch R1"));
  EXPECT_EQ(reminders->panel()->frame().size, pf::Size(390, 182));
  EXPECT_EQ(reminders->panel()->level(), pf::WindowLevel::frontOfDock);
  EXPECT_EQ(owner.reveals, 1);
  EXPECT_EQ(owner.animations, std::vector<QString>{QStringLiteral("dance")});
  EXPECT_EQ(owner.holds.back(), true);

  QTest::mouseClick(reminders->bubble().doneButton(), Qt::LeftButton);
  EXPECT_EQ(journalOccurrence().completedAt, clock.now());
  EXPECT_FALSE(bubbleShown(*reminders));
  EXPECT_EQ(owner.animationStops, 1);
  EXPECT_EQ(owner.holds.back(), false);
}

TEST_F(ReminderFeatureTest, ABubbleTheJournalCannotAnswerClosesOnceItSaidWhyAndComesBackLater) {
  const QString full = QStringLiteral("No space left on device.");
  const struct {
    const char* name;
    std::function<void(ReminderFeature&)> close;
  } cases[] = {
      {"Done again", [](ReminderFeature& f) { QTest::mouseClick(f.bubble().doneButton(), Qt::LeftButton); }},
      {"a snooze", [](ReminderFeature& f) { QTest::keyClick(f.bubble().snooze(), Qt::Key_Down); }},
      {"Escape", [](ReminderFeature& f) { QTest::keyClick(f.panel(), Qt::Key_Escape); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(test::journalFolder()).removeRecursively();
    test::writeJournal({1, {test::reminder()}, {}});
    Owner owner;
    auto reminders = feature(owner);
    reminders->start();
    reminders->panel()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(reminders->panel()));
    QTest::keyClick(reminders->panel(), Qt::Key_Escape);  // nothing refused yet: Escape is no answer
    ASSERT_TRUE(bubbleShown(*reminders));

    const ReminderStore::Writer writer = reminders->store().write;
    reminders->store().write = [full](const QByteArray&, const QString&) { throw QuibError(full); };
    QTest::mouseClick(reminders->bubble().doneButton(), Qt::LeftButton);
    EXPECT_EQ(reminders->bubble().status()->text(), full);
    EXPECT_TRUE(bubbleShown(*reminders));
    EXPECT_EQ(owner.holds.back(), true);

    c.close(*reminders);
    EXPECT_FALSE(bubbleShown(*reminders));
    EXPECT_EQ(owner.holds.back(), false);
    EXPECT_TRUE(journalOccurrence().isOpen());
    clock.advance(60);
    EXPECT_FALSE(bubbleShown(*reminders));

    reminders->store().write = writer;
    clock.advance(30);
    EXPECT_TRUE(bubbleShown(*reminders));
    EXPECT_TRUE(reminders->bubble().status()->text().isEmpty());
    EXPECT_EQ(owner.animations.size(), 2u);
  }
}

TEST_F(ReminderFeatureTest, ASnoozedReminderComesBackWithItsAnimation) {
  test::writeJournal({1, {test::reminder()}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  LauncherPanel* panel = reminders->panel();
  QTest::keyClick(reminders->bubble().snooze(), Qt::Key_Down);  // "5 minutes"
  EXPECT_EQ(journalOccurrence().snoozedUntil, clock.now().addSecs(300));
  EXPECT_FALSE(bubbleShown(*reminders));

  clock.advance(299);
  EXPECT_FALSE(bubbleShown(*reminders));
  clock.advance(1);
  EXPECT_TRUE(bubbleShown(*reminders));
  EXPECT_EQ(reminders->panel(), panel);
  EXPECT_EQ(owner.animations.size(), 2u);
}

TEST_F(ReminderFeatureTest, StopAndStartShowTheSameReminderAgainWithoutItsAnimation) {
  test::writeJournal({1, {test::reminder()}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  reminders->stop();
  EXPECT_FALSE(bubbleShown(*reminders));
  EXPECT_FALSE(reminders->coordinator().isRunning());
  reminders->start();
  EXPECT_TRUE(bubbleShown(*reminders));
  EXPECT_EQ(owner.animations.size(), 1u);
}

TEST_F(ReminderFeatureTest, ATimeZoneChangeChecksAtOnce) {
  test::writeJournal({1, {}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  reminders->presentList();
  EXPECT_FALSE(bubbleShown(*reminders));
  // Another copy saves a reminder that is already due; our next timed check is 30 s away.
  test::writeJournal({1, {test::reminder()}, {}});
  writeZone("Europe/Paris");
  EXPECT_TRUE(test::processEventsUntil([&] { return bubbleShown(*reminders); }, 5));
  EXPECT_EQ(reminders->list().cards()->findChildren<QWidget*>(QStringLiteral("reminderCard")).size(), 1);
}

TEST_F(ReminderFeatureTest, TheBubbleStaysInsideTheScreenAboveTheCompanion) {
  const pf::Rect visible = pf::Screens::visibleFrame(QGuiApplication::primaryScreen());
  struct Case {
    const char* name;
    pf::Rect companion;
    pf::Point origin;
  };
  const Case cases[] = {
      {"centred above", {300, 100, 100, 120}, {350 - 195, 230}},
      {"top right corner", {visible.maxX() - 50, visible.maxY() - 50, 100, 100},
       {visible.maxX() - 8 - 390, visible.maxY() - 8 - 182}},
      {"left edge", {visible.minX() - 40, visible.minY(), 100, 100}, {visible.minX() + 8, visible.minY() + 110}},
  };
  test::writeJournal({1, {test::reminder()}, {}});
  Owner owner;
  auto reminders = feature(owner);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reminders->placement = [&c]() -> std::optional<ReminderFeature::Placement> {
      return ReminderFeature::Placement{c.companion, QGuiApplication::primaryScreen()};
    };
    reminders->stop();
    reminders->start();
    EXPECT_EQ(reminders->panel()->frame().origin, c.origin);
  }
}

TEST_F(ReminderFeatureTest, ASharedFeatureThatIsNeverStartedShowsNothing) {
  test::writeJournal({1, {test::reminder()}, {}});
  Owner mainOwner, guestOwner;
  auto main = feature(mainOwner);
  auto guest = feature(guestOwner);
  main->start();
  clock.advance(60);
  EXPECT_TRUE(bubbleShown(*main));
  EXPECT_EQ(guest->panel(), nullptr);
  EXPECT_TRUE(guestOwner.holds.empty());
  // Its list still works on the shared journal.
  guest->presentList();
  EXPECT_EQ(guest->list().cards()->findChildren<QWidget*>(QStringLiteral("reminderCard")).size(), 1);
}

TEST_F(ReminderFeatureTest, AnUnknownAnimationPlaysNothingAndAPreviewOpensNothing) {
  QuibReminder reminder = test::reminder();
  reminder.actionID = QStringLiteral("kettle");
  test::writeJournal({1, {reminder}, {}});
  Owner owner;
  auto reminders = feature(owner);
  bool opened = false;
  reminders->openAction = [&](const Shortcut&, ShortcutOpener::Completion) { opened = true; };
  QuibReminder unknownAnimation = reminder;
  unknownAnimation.animation = QStringLiteral("juggle");
  reminders->preview(unknownAnimation);
  EXPECT_TRUE(bubbleShown(*reminders));
  EXPECT_TRUE(owner.animations.empty());
  reminders->bubble().openAction();
  EXPECT_FALSE(opened);
  QTest::mouseClick(reminders->bubble().doneButton(), Qt::LeftButton);
  reminders->start();
  EXPECT_EQ(owner.animations, std::vector<QString>{QStringLiteral("dance")});
}

TEST_F(ReminderFeatureTest, APreviewWaitsForTheShownReminderAndHoldsBackTheNext) {
  test::writeJournal({1, {}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  QuibReminder draft = test::reminder(QStringLiteral("Draft"));
  reminders->preview(draft);
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Preview · Stretch Draft"));
  EXPECT_EQ(owner.animations.size(), 1u);
  // A reminder falling due meanwhile waits for the preview to close.
  test::writeJournal({1, {test::reminder()}, {}});
  clock.advance(30);
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Preview · Stretch Draft"));
  QTest::mouseClick(reminders->bubble().doneButton(), Qt::LeftButton);
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Stretch R1"));
  EXPECT_TRUE(bubbleShown(*reminders));
  EXPECT_TRUE(reminders->coordinator().active().has_value());
  // Now a real reminder shows, so a preview is refused.
  reminders->preview(draft);
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Stretch R1"));
}

TEST_F(ReminderFeatureTest, TheEditorPreviewsAndSavesThroughTheFeature) {
  test::writeJournal({1, {}, {}});
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  reminders->list().newReminder();
  ReminderEditor* editor = reminders->editor();
  ASSERT_TRUE(editor && editor->window()->isVisible());
  EXPECT_EQ(owner.holds.back(), true);
  QTest::keyClicks(editor->nameField(), QStringLiteral("Tea"));
  QTest::keyClicks(editor->messageView(), QStringLiteral("Time for tea."));
  editor->preview();
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Preview · Tea"));

  // Closing the editor ends the preview; the reminder that fell due meanwhile follows.
  test::writeJournal({1, {test::reminder()}, {}});
  clock.advance(30);
  editor->cancel();
  EXPECT_FALSE(bubbleShown(*reminders));
  clock.advance(0);
  EXPECT_EQ(reminders->bubble().titleField()->text(), QStringLiteral("Stretch R1"));
  EXPECT_TRUE(bubbleShown(*reminders));

  reminders->list().newReminder();
  editor = reminders->editor();
  QTest::keyClicks(editor->nameField(), QStringLiteral("Tea"));
  QTest::keyClicks(editor->messageView(), QStringLiteral("Time for tea."));
  editor->step({ReminderStep::Unit::days, 1});
  editor->save();
  EXPECT_FALSE(editor->window()->isVisible());
  const ReminderStore journal(test::journalFolder());
  ASSERT_EQ(journal.file().reminders.size(), 2u);
  EXPECT_EQ(journal.file().reminders[1].name, QStringLiteral("Tea"));
}

TEST_F(ReminderFeatureTest, UserTextShowsAsWrittenInEveryReminderWindow) {
  QuibReminder named = test::reminder();
  named.name = QStringLiteral("<b>Tea</b> & <i>cake</i>");
  named.actionID = QStringLiteral("kettle");
  named.actionLabel = QStringLiteral("R&D <b>kettle</b>");
  test::writeJournal({1, {named}, {}});
  const QString refusal = QStringLiteral("Cannot write \"/home/<b>me</b>/reminders.json\".");
  Owner owner;
  auto reminders = feature(owner);
  reminders->start();
  reminders->presentList();
  reminders->store().write = [refusal](const QByteArray&, const QString&) { throw QuibError(refusal); };
  QTest::mouseClick(reminders->bubble().doneButton(), Qt::LeftButton);

  ReminderList& list = reminders->list();
  QWidget* card = list.cards()->findChild<QWidget*>(QStringLiteral("reminderCard"));
  QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(30, 44));
  for (auto* button : list.window()->findChildren<QPushButton*>())
    if (button->text() == QStringLiteral("Delete…")) QTest::mouseClick(button, Qt::LeftButton);
  auto* sheet = qobject_cast<pf::Alert*>(list.window()->attachedSheet());
  ASSERT_NE(sheet, nullptr);
  QLabel* question = nullptr;
  for (QLabel* label : sheet->findChildren<QLabel*>())
    if (label->text() == sheet->messageText()) question = label;
  ASSERT_NE(question, nullptr);

  list.editReminder();
  ReminderEditor* editor = reminders->editor();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor->messageView(), QStringLiteral(" Now."));
  editor->save();

  auto* name = card->findChild<QLabel*>(QStringLiteral("name"));
  const struct {
    const char* where;
    QString shown;
    QString written;
  } cases[] = {
      {"bubble title", test::shownText(reminders->bubble().titleField()), named.name},
      {"bubble shortcut", test::shownText(reminders->bubble().actionButton()), "Open " + *named.actionLabel},
      {"bubble status", test::shownText(reminders->bubble().status()), refusal},
      {"card name", test::shownText(name), named.name},
      {"card tip", test::shownToolTip(name), named.name},
      {"list status", test::shownText(list.status()), refusal},
      {"delete question", test::shownText(question), "Delete " + named.name + "?"},
      {"editor status", test::shownText(editor->status()), refusal},
  };
  for (const auto& c : cases) EXPECT_EQ(c.shown, c.written) << c.where;
}

TEST_F(ReminderFeatureTest, TheShortcutButtonOpensOnlyAnActiveSavedShortcut) {
  struct Case {
    const char* actionID;
    std::optional<QString> openError;
    bool opened;
    QString said;
  };
  const Case cases[] = {
      {"kettle", std::nullopt, true, QString()},
      {"kettle", QStringLiteral("The address cannot be opened."), true, QStringLiteral("The address cannot be opened.")},
      {"teapot", std::nullopt, false, ReminderFeature::unavailableShortcut},
      {"gone", std::nullopt, false, ReminderFeature::unavailableShortcut},
      {nullptr, std::nullopt, false, QString()},  // no shortcut given: asking for it does nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.actionID ? c.actionID : "none");
    QuibReminder reminder = test::reminder();
    reminder.actionID = c.actionID ? std::optional(QString::fromUtf8(c.actionID)) : std::nullopt;
    test::writeJournal({1, {reminder}, {}});
    Owner owner;
    auto reminders = feature(owner);
    std::optional<QString> opened;
    reminders->openAction = [&](const Shortcut& shortcut, ShortcutOpener::Completion done) {
      opened = shortcut.id;
      done(c.openError);
    };
    reminders->start();
    if (c.actionID) {
      QTest::mouseClick(reminders->bubble().actionButton(), Qt::LeftButton);
    } else {
      reminders->bubble().openAction();
    }
    EXPECT_EQ(opened.has_value(), c.opened);
    if (opened) {
      EXPECT_EQ(*opened, reminder.actionID);
    }
    EXPECT_EQ(reminders->bubble().status()->text(), c.said);
    if (!c.said.isEmpty()) {
      EXPECT_EQ(reminders->list().status()->text(), c.said);
    }
    EXPECT_EQ(owner.notices.size(), c.said.isEmpty() ? 0u : 1u);
    EXPECT_TRUE(bubbleShown(*reminders));
    EXPECT_TRUE(journalOccurrence().isOpen());
  }
}

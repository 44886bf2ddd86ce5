#include "platform/core/QtGeometry.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderGlowButton.h"
#include "reminders/ui/ReminderList.h"
#include "reminders/ui/ShownText.h"
#include "reminders/ui/SymbolView.h"
#include "shortcuts/QuibError.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using test::at;
using test::reminder;

const pf::Calendar utc{QTimeZone::utc()};

/// What one card shows.
struct Card {
  QString name;
  QString detail;
  QString symbol;
  QString description;
};

class ReminderListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    pf::UserDefaults::resetAll();
  }
  void TearDown() override {
    QLocale::setDefault(QLocale::c());
    pf::UserDefaults::resetAll();
  }

  std::unique_ptr<ReminderList> open(const ReminderFile& file) {
    test::writeJournal(file);
    m_store = std::make_unique<ReminderStore>(test::journalFolder());
    auto list = std::make_unique<ReminderList>(*m_store, &pf::UserDefaults::standard());
    list->present();
    return list;
  }

  static QList<QWidget*> cardsOf(const ReminderList& list) {
    return list.cards()->findChildren<QWidget*>(QStringLiteral("reminderCard"), Qt::FindDirectChildrenOnly);
  }

  static Card card(const ReminderList& list, int row) {
    QWidget* view = cardsOf(list).at(row);
    const auto* icon = view->findChild<SymbolView*>(QStringLiteral("icon"));
    return {test::shownToolTip(view->findChild<QLabel*>(QStringLiteral("name"))),
            view->findChild<QLabel*>(QStringLiteral("detail"))->text(), icon->name(), icon->accessibleName()};
  }

  /// The colour inside a card, below its texts.
  static QColor cardFill(QWidget* card) { return card->grab().toImage().pixelColor(200, 78); }

  static void click(ReminderList& list, int row) {
    QTest::mouseClick(cardsOf(list).at(row), Qt::LeftButton, {}, QPoint(30, 44));
  }

  static QPushButton* button(const ReminderList& list, const QString& title) {
    for (auto* candidate : list.window()->findChildren<QPushButton*>())
      if (candidate->text() == title) return candidate;
    ADD_FAILURE() << "no button " << title.toStdString();
    return nullptr;
  }

  /// Answers the open sheet with the button titled `title`.
  static void answerSheet(const ReminderList& list, const QString& title) {
    auto* sheet = qobject_cast<pf::Alert*>(list.window()->attachedSheet());
    ASSERT_NE(sheet, nullptr);
    for (auto* candidate : sheet->buttons())
      if (candidate->text() == title) QTest::mouseClick(candidate, Qt::LeftButton);
  }

  std::unique_ptr<ReminderStore> m_store;
};

TEST_F(ReminderListTest, EmptyJournalInvitesAFirstReminderAndIgnoresRowActions) {
  auto list = open({});
  bool edited = false;
  list->onEdit = [&](const QuibReminder&) { edited = true; };
  EXPECT_EQ(list->status()->text(), QStringLiteral("No reminders yet. Add one with your own message."));
  EXPECT_EQ(list->pauseButton()->text(), QStringLiteral("Pause"));
  for (const QString& title : {QStringLiteral("Edit…"), QStringLiteral("Pause"), QStringLiteral("Delete…")})
    QTest::mouseClick(button(*list, title), Qt::LeftButton);
  EXPECT_FALSE(edited);
  EXPECT_EQ(list->window()->attachedSheet(), nullptr);
  EXPECT_EQ(list->window()->windowTitle(), QStringLiteral("Wendle Reminders"));
}

TEST_F(ReminderListTest, CardsSayStateOrScheduleWithTheirIcon) {
  test::ZoneScope zone("America/New_York");
  const pf::Calendar newYork = test::calendarIn("America/New_York");
  QuibReminder once = reminder(QStringLiteral("once"), ReminderRepeat::once, {2026, 3, 9, 9, 0});
  QuibReminder daily = reminder(QStringLiteral("daily"), ReminderRepeat::daily, {2026, 3, 9, 7, 5});
  QuibReminder weekly = reminder(QStringLiteral("weekly"), ReminderRepeat::weekly, {2026, 3, 9, 18, 30});
  weekly.weekdays = {6, 2};
  QuibReminder paused = weekly;
  paused.id = QStringLiteral("paused");
  paused.weekdays = {7, 1};
  paused.paused = true;
  QuibReminder done = reminder(QStringLiteral("done"), ReminderRepeat::once, {2026, 3, 2, 9, 0});
  QuibReminder waiting = reminder(QStringLiteral("waiting"));
  QuibReminder snoozed = reminder(QStringLiteral("snoozed"));
  QuibReminder rescheduled = done;
  rescheduled.id = QStringLiteral("rescheduled");
  rescheduled.scheduleID = QStringLiteral("new-schedule");

  ReminderOccurrence answered = test::occurrenceOf(done, at(newYork, 2026, 3, 2, 9, 0), newYork);
  answered.completedAt = at(newYork, 2026, 3, 2, 9, 1);
  ReminderOccurrence oldSchedule = answered;
  oldSchedule.reminder = rescheduled;
  oldSchedule.reminder.scheduleID = QStringLiteral("S-rescheduled");
  oldSchedule.id = ReminderSchedule::key(oldSchedule.reminder, oldSchedule.due, newYork);
  const ReminderOccurrence unanswered = test::occurrenceOf(waiting, at(newYork, 2026, 3, 8, 9, 0), newYork);
  ReminderOccurrence put = test::occurrenceOf(snoozed, at(newYork, 2026, 3, 8, 9, 0), newYork);
  put.snoozedUntil = at(newYork, 2026, 3, 8, 9, 15);  // long passed: the card still says so

  auto list = open({1, {once, daily, weekly, paused, done, waiting, snoozed, rescheduled},
                    {answered, oldSchedule, unanswered, put}});
  const QString alarm = QStringLiteral("alarm");
  const std::vector<Card> expected{
      {once.name, QStringLiteral("Once · 3/9/26 9:00 AM"), alarm, QStringLiteral("Scheduled")},
      {daily.name, QStringLiteral("Daily · 3/9/26 7:05 AM"), alarm, QStringLiteral("Scheduled")},
      {weekly.name, QStringLiteral("Weekly · 3/9/26 6:30 PM · Mon Fri"), alarm, QStringLiteral("Scheduled")},
      {paused.name, QStringLiteral("Paused · Sun Sat"), QStringLiteral("pause.circle"), QStringLiteral("Paused")},
      {done.name, QStringLiteral("Completed"), QStringLiteral("checkmark.circle.fill"), QStringLiteral("Completed")},
      {waiting.name, QStringLiteral("Waiting for Done"), alarm, QStringLiteral("Scheduled")},
      {snoozed.name, QStringLiteral("Snoozed until 3/8/26 9:15 AM"), alarm, QStringLiteral("Scheduled")},
      {rescheduled.name, QStringLiteral("Once · 3/2/26 9:00 AM"), alarm, QStringLiteral("Scheduled")},
  };
  ASSERT_EQ(cardsOf(*list).size(), qsizetype(expected.size()));
  for (std::size_t row = 0; row < expected.size(); ++row) {
    const Card shown = card(*list, int(row));
    SCOPED_TRACE(shown.name.toStdString());
    EXPECT_EQ(shown.name, expected[row].name);
    EXPECT_EQ(shown.detail, expected[row].detail);
    EXPECT_EQ(shown.symbol, expected[row].symbol);
    EXPECT_EQ(shown.description, expected[row].description);
  }
  EXPECT_EQ(list->status()->text(),
            QStringLiteral("Local time: America/New_York. Wendle checks reminders while open."));
}

TEST_F(ReminderListTest, ALongNameIsCutWithAnEllipsisAndShownWholeInItsTip) {
  QuibReminder r = reminder();
  r.name = QString(90, u'W');
  auto list = open({1, {r}, {}});
  auto* name = cardsOf(*list).at(0)->findChild<QLabel*>(QStringLiteral("name"));
  EXPECT_TRUE(name->text().endsWith(QStringLiteral("…")));
  EXPECT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->width());
  EXPECT_EQ(test::shownToolTip(name), r.name);
}

TEST_F(ReminderListTest, TheKeyboardReachesTheCardsAndWorksThemAsATable) {
  QuibReminder paused = reminder(QStringLiteral("B"));
  paused.paused = true;
  auto list = open({1,
                    {reminder(QStringLiteral("A")), paused, reminder(QStringLiteral("C")),
                     reminder(QStringLiteral("D")), reminder(QStringLiteral("E"))},
                    {}});
  ASSERT_TRUE(QTest::qWaitForWindowActive(list->window()));
  QStringList edited;
  list->onEdit = [&](const QuibReminder& r) { edited << r.id; };
  for (int tabs = 0; tabs < 8 && QApplication::focusWidget() != list->cards(); ++tabs)
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : list->window(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), list->cards());

  const struct {
    Qt::Key key;
    int selected;
    const char* pauseTitle;
  } steps[] = {
      {Qt::Key_Down, 0, "Pause"}, {Qt::Key_Down, 1, "Resume"}, {Qt::Key_End, 4, "Pause"},
      {Qt::Key_Down, 4, "Pause"}, {Qt::Key_Up, 3, "Pause"},    {Qt::Key_Home, 0, "Pause"},
      {Qt::Key_Up, 0, "Pause"},   {Qt::Key_Return, 0, "Pause"},
  };
  QWidget* viewport = list->cards()->parentWidget();
  for (const auto& step : steps) {
    SCOPED_TRACE(step.key);
    QTest::keyClick(list->cards(), step.key);
    ASSERT_TRUE(list->selected());
    EXPECT_EQ(list->selected()->id, QString(QChar(u'A' + step.selected)));
    EXPECT_EQ(list->pauseButton()->text(), QString::fromLatin1(step.pauseTitle));
    // The list scrolls to keep the selected card in view, and only that card is washed in the selection.
    const QList<QWidget*> cards = cardsOf(*list);
    QWidget* card = cards.at(step.selected);
    EXPECT_TRUE(viewport->rect().contains(QRect(card->mapTo(viewport, QPoint(0, 0)), card->size())));
    const QColor wash = cardFill(card);
    for (QWidget* other : cards) EXPECT_EQ(cardFill(other) == wash, other == card);
  }
  EXPECT_EQ(edited, QStringList{QStringLiteral("A")});

  // A click hands the keys to the cards as well.
  click(*list, 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(list->selected()->id, QStringLiteral("B"));
}

TEST_F(ReminderListTest, PauseAndResumeTheSelectedReminder) {
  auto list = open({1, {reminder(QStringLiteral("A")), reminder(QStringLiteral("B"))}, {}});
  int changes = 0;
  list->onChange = [&] { ++changes; };
  click(*list, 1);
  ASSERT_EQ(list->selected()->id, QStringLiteral("B"));

  QTest::mouseClick(list->pauseButton(), Qt::LeftButton);
  EXPECT_TRUE(ReminderStore(test::journalFolder()).file().reminders[1].paused);
  EXPECT_EQ(list->selected()->id, QStringLiteral("B"));
  EXPECT_EQ(list->pauseButton()->text(), QStringLiteral("Resume"));
  EXPECT_EQ(list->pauseButton()->shownSymbol(), QStringLiteral("play.fill"));
  EXPECT_EQ(card(*list, 1).detail, QStringLiteral("Paused"));
  EXPECT_EQ(changes, 1);

  click(*list, 0);
  EXPECT_EQ(list->pauseButton()->text(), QStringLiteral("Pause"));
  click(*list, 1);
  QTest::mouseClick(list->pauseButton(), Qt::LeftButton);
  EXPECT_FALSE(ReminderStore(test::journalFolder()).file().reminders[1].paused);
  EXPECT_EQ(list->pauseButton()->text(), QStringLiteral("Pause"));
  EXPECT_EQ(list->pauseButton()->shownSymbol(), QStringLiteral("pause.fill"));
  EXPECT_EQ(changes, 2);
}

TEST_F(ReminderListTest, ARefusedPauseShowsWhyAndLeavesTheCards) {
  auto list = open({1, {reminder()}, {}});
  m_store->write = [](const QByteArray&, const QString&) { throw QuibError(QStringLiteral("Disk is full.")); };
  int changes = 0;
  list->onChange = [&] { ++changes; };
  click(*list, 0);
  QTest::mouseClick(list->pauseButton(), Qt::LeftButton);
  EXPECT_EQ(list->status()->text(), QStringLiteral("Disk is full."));
  EXPECT_NE(card(*list, 0).detail, QStringLiteral("Paused"));
  EXPECT_EQ(list->pauseButton()->text(), QStringLiteral("Pause"));
  EXPECT_EQ(changes, 0);
}

TEST_F(ReminderListTest, DeleteAsksFirst) {
  QuibReminder kept = reminder(QStringLiteral("kept"));
  QuibReminder gone = reminder(QStringLiteral("gone"));
  const ReminderOccurrence pending = test::occurrenceOf(gone, at(utc, 2026, 3, 8, 9, 0));
  auto list = open({1, {kept, gone}, {pending}});
  int changes = 0;
  list->onChange = [&] { ++changes; };
  click(*list, 1);

  QTest::mouseClick(button(*list, QStringLiteral("Delete…")), Qt::LeftButton);
  auto* sheet = qobject_cast<pf::Alert*>(list->window()->attachedSheet());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->messageText(), QStringLiteral("Delete Stretch gone?"));
  EXPECT_EQ(sheet->informativeText(), QStringLiteral("This removes the reminder and its pending occurrences."));
  ASSERT_EQ(sheet->buttons().size(), 2);
  EXPECT_EQ(sheet->buttons()[0]->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(sheet->buttons()[1]->text(), QStringLiteral("Delete"));
  answerSheet(*list, QStringLiteral("Cancel"));
  EXPECT_EQ(ReminderStore(test::journalFolder()).file().reminders.size(), 2u);
  EXPECT_EQ(list->selected()->id, QStringLiteral("gone"));
  EXPECT_EQ(changes, 0);

  QTest::mouseClick(button(*list, QStringLiteral("Delete…")), Qt::LeftButton);
  answerSheet(*list, QStringLiteral("Delete"));
  const ReminderFile after = ReminderStore(test::journalFolder()).file();
  ASSERT_EQ(after.reminders.size(), 1u);
  EXPECT_EQ(after.reminders[0].id, QStringLiteral("kept"));
  EXPECT_TRUE(after.occurrences.empty());
  EXPECT_EQ(cardsOf(*list).size(), 1);
  EXPECT_FALSE(list->selected());
  EXPECT_EQ(changes, 1);
}

TEST_F(ReminderListTest, NewEditAndCloseGoToTheOwner) {
  auto list = open({1, {reminder(QStringLiteral("A")), reminder(QStringLiteral("B"))}, {}});
  int added = 0;
  int closed = 0;
  QStringList edited;
  list->onNew = [&] { ++added; };
  list->onEdit = [&](const QuibReminder& r) { edited << r.id; };
  list->onClose = [&] { ++closed; };

  QTest::mouseClick(button(*list, QStringLiteral("New…")), Qt::LeftButton);
  QTest::mouseDClick(cardsOf(*list).at(1), Qt::LeftButton, {}, QPoint(30, 44));
  click(*list, 0);
  QTest::mouseClick(button(*list, QStringLiteral("Edit…")), Qt::LeftButton);
  list->window()->performClose();

  EXPECT_EQ(added, 1);
  EXPECT_EQ(edited, (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(list->window()->isVisible());
}

TEST_F(ReminderListTest, CardsAreBuiltOnlyWhileTheWindowShows) {
  auto list = open({1, {reminder(QStringLiteral("A"))}, {}});
  list->window()->performClose();
  test::writeJournal({1, {reminder(QStringLiteral("A")), reminder(QStringLiteral("B"))}, {}});
  m_store->reload();
  list->refresh();
  EXPECT_EQ(cardsOf(*list).size(), 1);

  list->present();
  EXPECT_EQ(cardsOf(*list).size(), 2);
  test::writeJournal({1, {reminder(QStringLiteral("C"))}, {}});
  m_store->reload();
  list->refresh();
  EXPECT_EQ(cardsOf(*list).size(), 1);
}

TEST_F(ReminderListTest, AnUnreadableJournalKeepsTheLastGoodCardsAndSaysWhy) {
  auto list = open({1, {reminder()}, {}});
  QFile damaged(test::journalFile());
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
  damaged.write("{");
  damaged.close();
  list->present();
  EXPECT_TRUE(list->status()->text().startsWith(QStringLiteral("Reminders are unavailable: ")));
  EXPECT_EQ(cardsOf(*list).size(), 1);
}

TEST_F(ReminderListTest, TheWindowOpensAtItsBaseSizeWithEveryPartInItsPlace) {
  auto list = open({1, {reminder()}, {}});
  QWidget* glass = list->window()->contentView();
  ASSERT_EQ(glass->size(), QSize(440, 570));
  const auto frameOf = [&](QWidget* view) { return pf::childFrameToYUp(QRectF(view->geometry()), glass->height()); };
  EXPECT_EQ(frameOf(list->status()), pf::Rect(55, 20, 282, 56));
  EXPECT_EQ(frameOf(list->cards()->parentWidget()->parentWidget()), pf::Rect(20, 158, 400, 310));
  EXPECT_EQ(frameOf(list->pauseButton()), pf::Rect(292, 101, 126, 42));
  EXPECT_EQ(frameOf(button(*list, QStringLiteral("Edit…"))), pf::Rect(157, 101, 125, 42));
  EXPECT_EQ(list->status()->font().pixelSize(), 11);
  QWidget* card = cardsOf(*list).at(0);
  EXPECT_EQ(card->height(), 88);
  const auto inCard = [&](const char* name) {
    return pf::childFrameToYUp(QRectF(card->findChild<QWidget*>(QString::fromLatin1(name))->geometry()), 88);
  };
  EXPECT_EQ(inCard("name"), pf::Rect(60, 49, card->width() - 72, 24));
  EXPECT_EQ(inCard("detail"), pf::Rect(60, 17, card->width() - 72, 25));
  EXPECT_EQ(inCard("icon"), pf::Rect(13, 26, 34, 36));
}

}  // namespace

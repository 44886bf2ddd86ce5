#include "platform/core/UserDefaults.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderEditor.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>
#include <map>

namespace {

using test::reminder;

enum Step { previousDay, nextDay, previousHour, nextHour, previousMinute, nextMinute };

Shortcut shortcut(const QString& id, const QString& destination, bool active = true) {
  return {id, QStringLiteral("Site ") + id, ShortcutKind::web, destination, {}, std::nullopt, std::nullopt, active};
}

class ReminderEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    pf::UserDefaults::resetAll();
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    const std::vector<Shortcut> catalog{shortcut(QStringLiteral("a"), QStringLiteral("https://a.example")),
                                        shortcut(QStringLiteral("off"), QStringLiteral("https://b.example"), false),
                                        shortcut(QStringLiteral("blank"), QString()),
                                        shortcut(QStringLiteral("c"), QStringLiteral("https://c.example"))};
    ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, catalog, {}}; }, std::nullopt);
    m_shortcuts = std::make_unique<ShortcutStore>(pf::UserDefaults::standard(), directory);
  }
  void TearDown() override {
    QLocale::setDefault(QLocale::c());
    pf::UserDefaults::resetAll();
  }

  std::unique_ptr<ReminderEditor> open(std::optional<QuibReminder> original = std::nullopt,
                                       ReminderEditor::Clock now = {}) {
    auto editor = std::make_unique<ReminderEditor>(*m_shortcuts, std::move(original), std::move(now));
    editor->present();
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor->window()));
    return editor;
  }

  static void setTime(ReminderEditor& editor, QDate date, QTime time) {
    editor.datePicker()->setDate(date);
    editor.timePicker()->setTime(time);
  }

  /// Ticks a weekday box by a click on its check mark.
  static void tick(ReminderEditor& editor, int tag) {
    QCheckBox* box = editor.days()[std::size_t(tag - 1)];
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
  }

  static void step(ReminderEditor& editor, Step which) {
    QTest::mouseClick(editor.steppingButtons()[which], Qt::LeftButton);
  }

  /// `moment` as `shown` writes it, in UTC.
  static QString shownAt(const QDateTime& moment) {
    return moment.date().toString(Qt::ISODate) + u' ' + moment.time().toString(QStringLiteral("HH:mm"));
  }

  static QString shown(const ReminderEditor& editor) {
    return editor.datePicker()->date().toString(Qt::ISODate) + u' ' +
           editor.timePicker()->time().toString(QStringLiteral("HH:mm"));
  }

  static void choose(QComboBox* popup, int index) {
    popup->setCurrentIndex(index);
  }

  static QStringList items(const QComboBox* popup) {
    QStringList titles;
    for (int i = 0; i < popup->count(); ++i) titles << popup->itemText(i);
    return titles;
  }

  static QPushButton* button(const ReminderEditor& editor, const QString& title) {
    for (auto* candidate : editor.window()->findChildren<QPushButton*>())
      if (candidate->text() == title) return candidate;
    ADD_FAILURE() << "no button " << title.toStdString();
    return nullptr;
  }

  /// Types a valid name and message.
  static void fill(ReminderEditor& editor) {
    QTest::keyClicks(editor.nameField(), QStringLiteral("Stretch"));
    QTest::keyClicks(editor.messageView(), QStringLiteral("Stand up."));
  }

  static std::optional<pf::Color> colour(QWidget* view) {
    return pf::ViewStyle::color(view, pf::ViewStyle::ColorRole::text);
  }

  std::unique_ptr<ShortcutStore> m_shortcuts;
};

const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));

TEST_F(ReminderEditorTest, ANewReminderStartsAtTheCurrentTimeWithPlainChoices) {
  test::ZoneScope zone("Europe/Berlin");
  const QDateTime now = test::at(test::calendarIn("Europe/Berlin"), 2026, 3, 9, 14, 7).addSecs(25);
  auto editor = open(std::nullopt, [now] { return now; });
  EXPECT_EQ(editor->window()->windowTitle(), QStringLiteral("New Reminder"));
  EXPECT_EQ(shown(*editor), QStringLiteral("2026-03-09 14:07"));
  EXPECT_EQ(editor->repeatPopup()->currentText(), QStringLiteral("Once"));
  EXPECT_EQ(editor->animationPopup()->currentText(), QStringLiteral("Dance 01"));
  EXPECT_EQ(editor->actionPopup()->currentText(), QStringLiteral("None"));
  for (QCheckBox* box : editor->days()) {
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(box->isHidden());
  }
  EXPECT_TRUE(editor->status()->text().isEmpty());
  EXPECT_EQ(editor->dateSummary()->text(), QStringLiteral("Monday, March 9, 2026 2:07 PM · CET"));
  EXPECT_NE(colour(editor->dateSummary()), orange);
  EXPECT_TRUE(editor->nameField()->hasFocus());
}

TEST_F(ReminderEditorTest, WeekdayBoxesShowForWeeklyOnlyAndKeepTheirStates) {
  auto editor = open();
  QStringList titles;
  for (QCheckBox* box : editor->days()) titles << box->text();
  EXPECT_EQ(titles.join(u' '), QStringLiteral("Sun Mon Tue Wed Thu Fri Sat"));

  choose(editor->repeatPopup(), 2);
  for (QCheckBox* box : editor->days()) EXPECT_TRUE(box->isVisibleTo(editor->window()));
  tick(*editor, 1);
  tick(*editor, 6);
  choose(editor->repeatPopup(), 1);
  for (QCheckBox* box : editor->days()) EXPECT_FALSE(box->isVisibleTo(editor->window()));

  fill(*editor);
  const QuibReminder daily = editor->value();
  EXPECT_EQ(daily.repeatRule, ReminderRepeat::daily);
  EXPECT_EQ(daily.weekdays, (std::vector<qint64>{1, 6}));  // Sunday is 1, Friday 6
}

TEST_F(ReminderEditorTest, EachSteppingButtonMovesTheTimeAsItsTitleSaysAndKeepsGoingWhileHeld) {
  auto editor = open();
  const QDateTime start(QDate(2026, 3, 9), QTime(10, 0), Qt::UTC);
  for (QPushButton* stepper : editor->steppingButtons()) {
    // "−1 day", "+1 hr", "+1 min": a sign (a calendar's minus, U+2212), one, and a unit.
    const QStringList parts = stepper->text().split(u' ');
    ASSERT_EQ(parts.size(), 2) << stepper->text().toStdString();
    const int sign = parts[0] == QStringLiteral("+1") ? 1 : parts[0] == QStringLiteral("\u22121") ? -1 : 0;
    const std::map<QString, qint64> seconds{{QStringLiteral("day"), 86400}, {QStringLiteral("hr"), 3600},
                                            {QStringLiteral("min"), 60}};
    ASSERT_NE(sign, 0) << stepper->text().toStdString();
    ASSERT_TRUE(seconds.contains(parts[1])) << stepper->text().toStdString();
    setTime(*editor, start.date(), start.time());
    QTest::mouseClick(stepper, Qt::LeftButton);
    EXPECT_EQ(shown(*editor), shownAt(start.addSecs(sign * seconds.at(parts[1])))) << stepper->text().toStdString();
  }
  setTime(*editor, {2026, 3, 9}, {10, 0});
  QPushButton* later = editor->steppingButtons()[nextMinute];
  QTest::mousePress(later, Qt::LeftButton);
  QTest::qWait(1000);
  QTest::mouseRelease(later, Qt::LeftButton);
  // One step at 0.45 s and then one every 0.12 s: at least two while held, never more than five.
  const int minutes = editor->timePicker()->time().minute();
  EXPECT_GE(minutes, 2);
  EXPECT_LE(minutes, 6);
}

TEST_F(ReminderEditorTest, ATimeInThePastIsMarkedAndRefusedForNewAndRescheduledReminders) {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const pf::Calendar calendar = ReminderSchedule::calendar();
  const pf::WallTime wall = calendar.wallTime(now);
  auto editor = open();
  int saves = 0;
  editor->onSave = [&](const QuibReminder&) { ++saves; };
  fill(*editor);
  for (int rule = 0; rule < 3; ++rule) {
    choose(editor->repeatPopup(), rule);
    if (rule == 2) tick(*editor, 2);
    setTime(*editor, QDate(wall.year, wall.month, wall.day).addDays(-1), QTime(wall.hour, wall.minute));
    EXPECT_TRUE(editor->dateSummary()->text().endsWith(QStringLiteral(" \u2014 in the past")));
    EXPECT_EQ(colour(editor->dateSummary()), orange);
    QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
    EXPECT_EQ(editor->status()->text(), ReminderForm::pastTime) << rule;
    EXPECT_TRUE(editor->window()->isVisible());
    EXPECT_EQ(editor->nameField()->text(), QStringLiteral("Stretch"));
  }

  // The current minute is not marked, yet saving needs a time strictly later than now.
  setTime(*editor, QDate(wall.year, wall.month, wall.day), QTime(wall.hour, wall.minute));
  EXPECT_FALSE(editor->dateSummary()->text().contains(QStringLiteral("in the past")));
  EXPECT_TRUE(editor->status()->text().isEmpty());
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
  EXPECT_EQ(editor->status()->text(), ReminderForm::pastTime);
  EXPECT_EQ(saves, 0);

  step(*editor, nextHour);
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(editor->window()->isVisible());
}

TEST_F(ReminderEditorTest, AnOwnersRefusalStaysInTheStatusLineWithTheFormKeptWhateverItSays) {
  // The second reads like the editor's own past refusal, which a later time
  // clears; an owner's sentence stays until something else replaces it.
  for (const QString& refusal : {QStringLiteral("Another Wendle is updating reminders. Try again shortly."),
                                 ReminderForm::pastTime}) {
    SCOPED_TRACE(refusal.toStdString());
    auto editor = open();
    editor->onSave = [refusal](const QuibReminder&) { throw QuibError(refusal); };
    fill(*editor);
    step(*editor, nextDay);
    QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
    EXPECT_EQ(editor->status()->text(), refusal);
    EXPECT_TRUE(editor->window()->isVisible());
    step(*editor, nextHour);
    EXPECT_EQ(editor->status()->text(), refusal);
  }
}

TEST_F(ReminderEditorTest, OnlyActiveShortcutsWithADestinationAreOffered) {
  auto editor = open();
  EXPECT_EQ(items(editor->actionPopup()), (QStringList{QStringLiteral("None"), QStringLiteral("Site a"),
                                                       QStringLiteral("Site c")}));
  fill(*editor);
  choose(editor->actionPopup(), 2);
  const QuibReminder linked = editor->value();
  EXPECT_EQ(linked.actionID, QStringLiteral("c"));
  EXPECT_EQ(linked.actionLabel, QStringLiteral("Site c"));
  choose(editor->actionPopup(), 0);
  EXPECT_EQ(editor->value().actionID, std::nullopt);
  EXPECT_EQ(editor->value().actionLabel, std::nullopt);
}

TEST_F(ReminderEditorTest, AnEditedReminderShowsItsOwnChoices) {
  test::ZoneScope zone("Asia/Kolkata");
  QuibReminder r = reminder(QStringLiteral("R1"), ReminderRepeat::weekly, {2026, 4, 30, 21, 45});
  r.weekdays = {7, 1, 3};
  r.animation = QStringLiteral("dj");
  r.actionID = QStringLiteral("c");
  auto editor = open(r);
  EXPECT_EQ(editor->nameField()->text(), r.name);
  EXPECT_EQ(editor->messageView()->toPlainText(), r.message);
  EXPECT_EQ(shown(*editor), QStringLiteral("2026-04-30 21:45"));
  EXPECT_EQ(editor->repeatPopup()->currentText(), QStringLiteral("Weekly"));
  QStringList on;
  for (QCheckBox* box : editor->days())
    if (box->isChecked()) on << box->text();
  EXPECT_EQ(on, (QStringList{QStringLiteral("Sun"), QStringLiteral("Tue"), QStringLiteral("Sat")}));
  EXPECT_EQ(editor->animationPopup()->currentText(), QStringLiteral("DJ Mode"));
  EXPECT_EQ(editor->actionPopup()->currentText(), QStringLiteral("Site c"));
  QuibReminder expected = r;
  expected.weekdays = {1, 3, 7};
  expected.actionLabel = QStringLiteral("Site c");
  EXPECT_EQ(editor->value(), expected);
}

TEST_F(ReminderEditorTest, PreviewShowsTheFormWithoutSavingAndRefusesABrokenOne) {
  auto editor = open();
  std::vector<QuibReminder> previewed;
  editor->onPreview = [&](const QuibReminder& r) { previewed.push_back(r); };
  QTest::mouseClick(button(*editor, QStringLiteral("Preview")), Qt::LeftButton);
  EXPECT_EQ(editor->status()->text(),
            QStringLiteral("Enter a reminder name (up to 100 characters) and your message (up to 4,000 characters)."));
  EXPECT_TRUE(previewed.empty());

  fill(*editor);
  setTime(*editor, {2001, 1, 1}, {9, 0});  // long past: a preview does not care
  QTest::mouseClick(button(*editor, QStringLiteral("Preview")), Qt::LeftButton);
  EXPECT_EQ(editor->status()->text(), QStringLiteral("Preview only \u2014 nothing is saved or scheduled."));
  ASSERT_EQ(previewed.size(), 1u);
  EXPECT_EQ(previewed[0].name, QStringLiteral("Stretch"));
  EXPECT_TRUE(editor->window()->isVisible());

  editor->showStatus(QStringLiteral("Finish or snooze the current reminder first."));
  EXPECT_EQ(editor->status()->text(), QStringLiteral("Finish or snooze the current reminder first."));
}

TEST_F(ReminderEditorTest, NameAndMessageArePassedOnExactlyAsTyped) {
  auto editor = open();
  QTest::keyClicks(editor->nameField(), QStringLiteral("  Tea  "));
  QTest::keyClicks(editor->messageView(), QStringLiteral(" Boil"));
  QTest::keyClick(editor->messageView(), Qt::Key_Return);
  QTest::keyClicks(editor->messageView(), QStringLiteral("water "));
  const QuibReminder typed = editor->value();
  EXPECT_EQ(typed.name, QStringLiteral("  Tea  "));
  EXPECT_EQ(typed.message, QStringLiteral(" Boil\nwater "));
  EXPECT_TRUE(editor->window()->isVisible());  // Return stays with the message
}

TEST_F(ReminderEditorTest, ANewReminderKeepsOneIdAcrossSavesAndRestartsAtTheEditorsTime) {
  // Long past by the system's clock: the editor's own clock decides what is past.
  QDateTime now(QDate(2020, 1, 6), QTime(9, 0), Qt::UTC);
  auto editor = open(std::nullopt, [&] { return now; });
  std::vector<QuibReminder> saved;
  editor->onSave = [&](const QuibReminder& r) { saved.push_back(r); };
  fill(*editor);
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
  EXPECT_EQ(editor->status()->text(), ReminderForm::pastTime);
  step(*editor, nextMinute);
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
  now = now.addDays(2);
  editor->present();
  EXPECT_EQ(editor->datePicker()->date(), ReminderSchedule::calendar().localDate(now));
  EXPECT_EQ(editor->nameField()->text(), QStringLiteral("Stretch"));
  step(*editor, nextMinute);
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].id, saved[1].id);
}

TEST_F(ReminderEditorTest, EveryWayOfClosingTellsTheOwner) {
  auto editor = open();
  int closed = 0;
  editor->onClose = [&] { ++closed; };
  QTest::mouseClick(button(*editor, QStringLiteral("Save")), Qt::LeftButton);  // no owner to save: just closes
  EXPECT_FALSE(editor->window()->isVisible());
  editor->present();
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window()));
  QTest::keyClick(editor->window()->windowHandle(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->window()->isVisible(); }));
  editor->present();
  QTest::mouseClick(button(*editor, QStringLiteral("Cancel")), Qt::LeftButton);
  editor->present();
  editor->window()->performClose();
  EXPECT_EQ(closed, 4);
}

TEST_F(ReminderEditorTest, AnUnfinishedDateIsNotStepped) {
  auto editor = open();
  setTime(*editor, {2026, 3, 9}, {10, 0});
  editor->datePicker()->setFocus();
  QTest::keyClick(editor->datePicker(), Qt::Key_End);
  for (int i = 0; i < 4; ++i) QTest::keyClick(editor->datePicker(), Qt::Key_Backspace);
  step(*editor, nextHour);
  EXPECT_EQ(editor->status()->text(), ReminderEditor::unfinishedDate);
  EXPECT_EQ(editor->timePicker()->time(), QTime(10, 0));
}

}  // namespace

// The reminder editor's form rules, without its window: where a form starts,
// which shortcuts its action may name, and what saving refuses as past.
#include "character/QuibAction.h"
#include "reminders/ReminderForm.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderSupport.h"
#include "shortcuts/QuibError.h"

#include <gtest/gtest.h>

using test::at;
using test::calendarIn;
using test::reminder;

namespace {

Shortcut shortcut(const QString& id, const QString& destination, bool active = true) {
  return {id, QStringLiteral("Site ") + id, ShortcutKind::web, destination, {}, std::nullopt, std::nullopt, active};
}

const std::vector<Shortcut> catalog{shortcut(QStringLiteral("a"), QStringLiteral("https://a.example")),
                                    shortcut(QStringLiteral("off"), QStringLiteral("https://b.example"), false),
                                    shortcut(QStringLiteral("blank"), QString()),
                                    shortcut(QStringLiteral("c"), QStringLiteral("https://c.example"))};

std::vector<Shortcut> active() {
  std::vector<Shortcut> shortcuts;
  for (const Shortcut& s : catalog)
    if (s.isActive) shortcuts.push_back(s);
  return shortcuts;
}

QStringList titles(const std::vector<ReminderActionChoice>& choices) {
  QStringList list;
  for (const ReminderActionChoice& choice : choices) list << choice.title;
  return list;
}

}  // namespace

TEST(ReminderForm, ANewFormStartsAtNowWithPlainChoicesAndAnEditedOneAtItsOwnTimeAsWritten) {
  test::ZoneScope zone("America/New_York");
  const pf::Calendar calendar = ReminderSchedule::calendar();
  const QDateTime now = at(calendar, 2026, 3, 9, 14, 7).addSecs(25);
  const ReminderFields fresh = ReminderForm(std::nullopt).initialFields(now, calendar);
  EXPECT_EQ(fresh.time, ReminderTime(2026, 3, 9, 14, 7));
  EXPECT_EQ(fresh.repeatRule, ReminderRepeat::once);
  EXPECT_EQ(fresh.animation, QuibAction(QuibAction::allCases.front()).rawValue());
  EXPECT_TRUE(fresh.name.isEmpty() && fresh.message.isEmpty() && fresh.weekdays.empty() && !fresh.actionID);

  // The clock jumps from 02:00 to 03:00 on the first day: the form keeps 02:30 as written.
  QuibReminder stored = reminder(QStringLiteral("R1"), ReminderRepeat::weekly, {2026, 3, 8, 2, 30});
  stored.weekdays = {7, 3, 7};
  stored.actionID = QStringLiteral("gone");
  const ReminderFields edited = ReminderForm(stored).initialFields(now, calendar);
  EXPECT_EQ(edited.time, stored.time);
  EXPECT_EQ(edited.weekdays, (std::vector<qint64>{3, 7}));
  EXPECT_EQ(edited.actionID, stored.actionID);
  EXPECT_EQ(edited.name, stored.name);

  stored.time = {2026, 13, 1, 9, 0};  // no such month: the form starts from now instead
  EXPECT_EQ(ReminderForm(stored).initialFields(now, calendar).time, fresh.time);
}

TEST(ReminderForm, OnlyActiveShortcutsWithADestinationAreOfferedAndAGoneLinkIsKept) {
  EXPECT_EQ(titles(ReminderForm(std::nullopt).actionChoices(active())),
            (QStringList{QStringLiteral("None"), QStringLiteral("Site a"), QStringLiteral("Site c")}));
  const struct {
    QString id;
    std::optional<QString> label;
    QString offeredAs;
    std::optional<QString> savedLabel;
  } cases[] = {
      {QStringLiteral("a"), QStringLiteral("Old a"), QStringLiteral("Site a"), QStringLiteral("Site a")},
      {QStringLiteral("deleted"), QStringLiteral("Old site"), QStringLiteral("Old site (unavailable)"),
       QStringLiteral("Old site")},
      {QStringLiteral("deleted"), std::nullopt, QStringLiteral("Saved shortcut (unavailable)"), std::nullopt},
      {QStringLiteral("off"), QStringLiteral("Old off"), QStringLiteral("Old off (unavailable)"),
       QStringLiteral("Site off")},
      {QStringLiteral("blank"), QStringLiteral("Old blank"), QStringLiteral("Old blank (unavailable)"),
       QStringLiteral("Site blank")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offeredAs.toStdString());
    QuibReminder stored = reminder();
    stored.actionID = c.id;
    stored.actionLabel = c.label;
    const ReminderForm form(stored);
    const std::vector<ReminderActionChoice> choices = form.actionChoices(active());
    EXPECT_EQ(std::count(choices.begin(), choices.end(), ReminderActionChoice{c.offeredAs, c.id}), 1);
    EXPECT_EQ(choices.size(), c.id == QStringLiteral("a") ? 3u : 4u);
    const QuibReminder saved = form.reminder(form.initialFields(QDateTime::currentDateTimeUtc(), ReminderSchedule::calendar()), catalog);
    EXPECT_EQ(saved.actionID, c.id);
    EXPECT_EQ(saved.actionLabel, c.savedLabel);
  }
  const ReminderForm fresh(std::nullopt);
  ReminderFields fields = fresh.initialFields(QDateTime::currentDateTimeUtc(), ReminderSchedule::calendar());
  fields.name = QStringLiteral("Tea");
  fields.message = QStringLiteral("Boil water.");
  EXPECT_EQ(fresh.reminder(fields, catalog).actionLabel, std::nullopt);
  fields.actionID = QStringLiteral("deleted");
  EXPECT_EQ(fresh.reminder(fields, catalog).actionLabel, std::nullopt);
}

TEST(ReminderForm, ANewFormKeepsOneIdAndEveryFieldReachesTheReminder) {
  const ReminderForm form(std::nullopt);
  ReminderFields fields;
  fields.name = QStringLiteral("  Tea  ");
  fields.message = QStringLiteral(" Boil\nwater ");
  fields.time = {2030, 4, 30, 21, 45};
  fields.repeatRule = ReminderRepeat::weekly;
  fields.weekdays = {3, 7};
  fields.animation = QStringLiteral("dj");
  fields.actionID = QStringLiteral("c");
  const QuibReminder first = form.reminder(fields, catalog);
  EXPECT_EQ(first.name, fields.name);
  EXPECT_EQ(first.message, fields.message);
  EXPECT_EQ(first.time, fields.time);
  EXPECT_EQ(first.repeatRule, fields.repeatRule);
  EXPECT_EQ(first.weekdays, fields.weekdays);
  EXPECT_EQ(first.animation, fields.animation);
  EXPECT_EQ(first.actionLabel, QStringLiteral("Site c"));
  EXPECT_EQ(form.reminder(fields, catalog).id, first.id);
  EXPECT_NE(ReminderForm(std::nullopt).reminder(fields, catalog).id, first.id);
  fields.name.clear();
  EXPECT_THROW(form.reminder(fields, catalog), QuibError);
}

TEST(ReminderForm, SavingRefusesANewOrRescheduledTimeThatIsNotLaterThanNow) {
  test::ZoneScope zone("America/New_York");
  const pf::Calendar calendar = ReminderSchedule::calendar();
  const QDateTime now = at(calendar, 2026, 3, 9, 14, 7).addSecs(25);
  const QuibReminder longPassed = reminder(QStringLiteral("R1"), ReminderRepeat::once, {2020, 1, 6, 9, 0});
  const QuibReminder skippedFirstDay = reminder(QStringLiteral("R2"), ReminderRepeat::daily, {2026, 3, 8, 2, 30});
  const struct {
    const char* name;
    std::optional<QuibReminder> original;
    std::function<void(QuibReminder&)> change;
    bool refused;
  } cases[] = {
      {"new, the current minute", std::nullopt, [](QuibReminder& r) { r.time = {2026, 3, 9, 14, 7}; }, true},
      {"new, the next minute", std::nullopt, [](QuibReminder& r) { r.time = {2026, 3, 9, 14, 8}; }, false},
      {"new, yesterday", std::nullopt, [](QuibReminder& r) { r.time = {2026, 3, 8, 14, 8}; }, true},
      {"long passed, message changed", longPassed, [](QuibReminder& r) { r.message = QStringLiteral("Drink."); },
       false},
      {"long passed, moved a day", longPassed, [](QuibReminder& r) { r.time.day += 1; }, true},
      {"long passed, moved to tomorrow", longPassed, [](QuibReminder& r) { r.time = {2026, 3, 10, 9, 0}; }, false},
      {"first day in a clock change, kept", skippedFirstDay, [](QuibReminder&) {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QuibReminder changed = c.original.value_or(reminder());
    c.change(changed);
    EXPECT_EQ(ReminderForm(c.original).refusesAsPast(changed, now), c.refused);
  }
}

TEST(ReminderForm, TheSummaryMarksOnlyMinutesBeforeTheCurrentOneAsPast) {
  test::ZoneScope zone("Europe/Berlin");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const pf::Calendar calendar = ReminderSchedule::calendar();
  const QDateTime now = at(calendar, 2026, 3, 9, 14, 7).addSecs(25);
  const auto summary = ReminderForm::summary({2026, 3, 9, 14, 7}, now, calendar);
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(*summary, (ReminderTimeSummary{QStringLiteral("Monday, March 9, 2026 2:07 PM · CET"), false}));
  EXPECT_EQ(ReminderForm::summary({2026, 3, 9, 14, 6}, now, calendar),
            (ReminderTimeSummary{QStringLiteral("Monday, March 9, 2026 2:06 PM · CET \u2014 in the past"), true}));
  EXPECT_EQ(ReminderForm::summary({2026, 13, 1, 9, 0}, now, calendar), std::nullopt);
  QLocale::setDefault(QLocale::c());
}

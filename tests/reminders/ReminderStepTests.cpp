// The editor's stepping: whole days keep the wall time; minutes move the wall
// clock across midnight, year ends and clock changes.
#include "reminders/ReminderStep.h"
#include "reminders/ReminderSupport.h"

#include <gtest/gtest.h>

using test::calendarIn;

namespace {

constexpr auto days = ReminderStep::Unit::days;
constexpr auto minutes = ReminderStep::Unit::minutes;

struct StepCase {
  const char* zone;
  ReminderTime from;
  ReminderStep step;
  ReminderTime expected;
};

QString written(const ReminderTime& t) {
  return QStringLiteral("%1 %2:%3").arg(t.dateKey()).arg(t.hour, 2, 10, QLatin1Char('0')).arg(t.minute, 2, 10,
                                                                                              QLatin1Char('0'));
}

}  // namespace

TEST(ReminderStep, MovesTheWallClockAcrossMidnightAndClockChanges) {
  const StepCase cases[] = {
      {"UTC", {2026, 3, 9, 23, 30}, {minutes, 60}, {2026, 3, 10, 0, 30}},
      {"UTC", {2026, 12, 31, 23, 59}, {minutes, 1}, {2027, 1, 1, 0, 0}},
      {"UTC", {2026, 3, 1, 0, 0}, {minutes, -1}, {2026, 2, 28, 23, 59}},
      {"UTC", {2026, 3, 1, 8, 0}, {days, -1}, {2026, 2, 28, 8, 0}},
      {"UTC", {2028, 2, 28, 8, 0}, {days, 1}, {2028, 2, 29, 8, 0}},
      // New York springs forward from 02:00 to 03:00 on 8 March 2026.
      {"America/New_York", {2026, 3, 8, 1, 30}, {minutes, 60}, {2026, 3, 8, 3, 0}},
      {"America/New_York", {2026, 3, 8, 1, 59}, {minutes, 1}, {2026, 3, 8, 3, 0}},
      {"America/New_York", {2026, 3, 8, 3, 30}, {minutes, -60}, {2026, 3, 8, 1, 30}},
      {"America/New_York", {2026, 3, 8, 3, 0}, {minutes, -1}, {2026, 3, 8, 1, 59}},
      // A day step keeps a wall time the clock skips on the day it lands on.
      {"America/New_York", {2026, 3, 7, 2, 30}, {days, 1}, {2026, 3, 8, 2, 30}},
      // ...and falls back from 02:00 to 01:00 on 1 November: the hour still moves by one.
      {"America/New_York", {2026, 11, 1, 0, 30}, {minutes, 60}, {2026, 11, 1, 1, 30}},
      {"America/New_York", {2026, 11, 1, 1, 30}, {minutes, 60}, {2026, 11, 1, 2, 30}},
      {"America/New_York", {2026, 11, 1, 2, 30}, {minutes, -60}, {2026, 11, 1, 1, 30}},
      // Lord Howe moves its clock by half an hour.
      {"Australia/Lord_Howe", {2026, 10, 4, 1, 45}, {minutes, 60}, {2026, 10, 4, 2, 45}},
      {"Australia/Lord_Howe", {2026, 10, 4, 1, 59}, {minutes, 1}, {2026, 10, 4, 2, 30}},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + ' ' + written(c.from).toStdString() + " by " + std::to_string(c.step.count) +
                 (c.step.unit == days ? " days" : " minutes"));
    const std::optional<ReminderTime> stepped = c.step.applied(c.from, calendarIn(c.zone));
    ASSERT_TRUE(stepped.has_value());
    EXPECT_EQ(written(*stepped), written(c.expected));
  }
}

TEST(ReminderStep, ADayThereAndBackIsTheSameTimeAndNoTimeStepsNowhere) {
  const pf::Calendar calendar = calendarIn("America/New_York");
  for (const ReminderTime from : {ReminderTime{2026, 3, 7, 2, 30}, ReminderTime{2024, 2, 29, 0, 0},
                                  ReminderTime{2026, 12, 31, 23, 59}})
    for (const int count : {1, 7, 400}) {
      const auto there = ReminderStep{days, count}.applied(from, calendar);
      ASSERT_TRUE(there.has_value());
      EXPECT_EQ(ReminderStep({days, -count}).applied(*there, calendar), from) << written(from).toStdString();
    }
  const ReminderTime nowhere{2026, 13, 1, 9, 0};
  EXPECT_EQ(ReminderStep({days, 1}).applied(nowhere, calendar), std::nullopt);
  EXPECT_EQ(ReminderStep({minutes, 1}).applied(nowhere, calendar), std::nullopt);
}

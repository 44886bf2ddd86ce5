#pragma once

#include "reminders/QuibReminder.h"
#include "shortcuts/Shortcut.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace pf {
class Calendar;
}

/// What the reminder editor's controls hold, as plain values.
struct ReminderFields {
  QString name;
  QString message;
  ReminderTime time;
  ReminderRepeat repeatRule = ReminderRepeat::once;
  /// 1 = Sunday to 7 = Saturday, in the order the boxes show them.
  std::vector<qint64> weekdays;
  /// A `QuibAction` raw value.
  QString animation;
  std::optional<QString> actionID;

  bool operator==(const ReminderFields&) const = default;
};

/// One entry of the "Action button" choice.
struct ReminderActionChoice {
  QString title;
  std::optional<QString> id;

  bool operator==(const ReminderActionChoice&) const = default;
};

/// How the chosen moment reads below the pickers, and whether it has passed.
struct ReminderTimeSummary {
  QString text;
  bool past = false;

  bool operator==(const ReminderTimeSummary&) const = default;
};

/// The rules of the reminder editor's form, free of widgets: where a new or
/// changed reminder starts, which shortcuts its action may name, and how the
/// fields become a checked reminder. A new reminder keeps one id for the
/// form's whole life, so saving it twice changes one reminder.
class ReminderForm final {
 public:
  /// The sentence for a new or rescheduled reminder that is not in the future.
  static inline const QString pastTime =
      QStringLiteral("That date and time is in the past. Choose a future date and time before saving.");

  /// The form of `original`, or of a new reminder when none.
  explicit ReminderForm(std::optional<QuibReminder> original);

  const std::optional<QuibReminder>& original() const { return m_original; }

  /// The fields the form opens with: the original's, its stored wall time as
  /// written (even one the clock skipped on its first day, so an edit that
  /// keeps the schedule keeps it); a new reminder's at `now`.
  ReminderFields initialFields(const QDateTime& now, const pf::Calendar& calendar) const;
  /// "None", then each of `active` that has a destination; a link to a
  /// shortcut that is gone stays offered as unavailable, so an edit never drops it unasked.
  std::vector<ReminderActionChoice> actionChoices(const std::vector<Shortcut>& active) const;
  /// The fields as a checked reminder, its action labelled from `shortcuts`. Throws `QuibError`.
  QuibReminder reminder(const ReminderFields& fields, const std::vector<Shortcut>& shortcuts) const;
  /// Whether saving refuses `reminder` as past (with `pastTime`): it is new
  /// or rescheduled and not later than `now`. An edit that keeps the schedule
  /// is not checked against the clock.
  bool refusesAsPast(const QuibReminder& reminder, const QDateTime& now) const;

  /// Whether the weekdays count for `rule`.
  static bool usesWeekdays(ReminderRepeat rule) { return rule == ReminderRepeat::weekly; }
  /// `time` as the summary line writes it in `calendar`'s zone at `now`; none when it is no time.
  static std::optional<ReminderTimeSummary> summary(const ReminderTime& time, const QDateTime& now,
                                                    const pf::Calendar& calendar);

 private:
  QuibReminder base(const ReminderTime& time) const;

  std::optional<QuibReminder> m_original;
  QString m_draftID;
};

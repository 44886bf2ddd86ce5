#include "reminders/ReminderForm.h"

#include "character/QuibAction.h"
#include "platform/core/Calendar.h"
#include "reminders/ReminderSchedule.h"

#include <QLocale>
#include <QTimeZone>
#include <QUuid>
#include <algorithm>

namespace {

QString newID() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

}  // namespace

ReminderForm::ReminderForm(std::optional<QuibReminder> original)
    : m_original(std::move(original)), m_draftID(m_original ? m_original->id : newID()) {}

ReminderFields ReminderForm::initialFields(const QDateTime& now, const pf::Calendar& calendar) const {
  ReminderFields fields;
  fields.animation = QuibAction(QuibAction::allCases.front()).rawValue();
  fields.time = ReminderTime(now, calendar);
  if (!m_original) return fields;
  fields.name = m_original->name;
  fields.message = m_original->message;
  if (m_original->time.date(calendar)) fields.time = m_original->time;
  fields.repeatRule = m_original->repeatRule;
  for (qint64 day = 1; day <= 7; ++day)
    if (std::find(m_original->weekdays.begin(), m_original->weekdays.end(), day) != m_original->weekdays.end())
      fields.weekdays.push_back(day);
  fields.animation = m_original->animation;
  fields.actionID = m_original->actionID;
  return fields;
}

std::vector<ReminderActionChoice> ReminderForm::actionChoices(const std::vector<Shortcut>& active) const {
  std::vector<ReminderActionChoice> choices{{QStringLiteral("None"), std::nullopt}};
  for (const Shortcut& shortcut : active)
    if (!shortcut.destination.isEmpty()) choices.push_back({shortcut.label, shortcut.id});
  const std::optional<QString> linked = m_original ? m_original->actionID : std::nullopt;
  const auto offered = [&](const ReminderActionChoice& choice) { return choice.id == linked; };
  if (linked && std::none_of(choices.begin(), choices.end(), offered))
    choices.push_back({m_original->actionLabel.value_or(QStringLiteral("Saved shortcut")) +
                           QStringLiteral(" (unavailable)"),
                       linked});
  return choices;
}

QuibReminder ReminderForm::base(const ReminderTime& time) const {
  if (m_original) return *m_original;
  QuibReminder fresh;
  fresh.id = m_draftID;
  fresh.scheduleID = newID();
  fresh.time = time;
  return fresh;
}

QuibReminder ReminderForm::reminder(const ReminderFields& fields, const std::vector<Shortcut>& shortcuts) const {
  QuibReminder reminder = base(fields.time);
  reminder.name = fields.name;
  reminder.message = fields.message;
  reminder.time = fields.time;
  reminder.repeatRule = fields.repeatRule;
  reminder.weekdays = fields.weekdays;
  reminder.animation = fields.animation;
  reminder.actionID = fields.actionID;
  reminder.actionLabel = std::nullopt;
  if (reminder.actionID) {
    const auto named = std::find_if(shortcuts.begin(), shortcuts.end(),
                                    [&](const Shortcut& s) { return s.id == *reminder.actionID; });
    if (named != shortcuts.end())
      reminder.actionLabel = named->label;
    else if (m_original)
      reminder.actionLabel = m_original->actionLabel;
  }
  reminder.validate();
  return reminder;
}

bool ReminderForm::refusesAsPast(const QuibReminder& reminder, const QDateTime& now) const {
  if (m_original && reminder.sameSchedule(*m_original)) return false;
  const std::optional<QDateTime> date = reminder.time.date(ReminderSchedule::calendar());
  return !date || *date <= now;
}

std::optional<ReminderTimeSummary> ReminderForm::summary(const ReminderTime& time, const QDateTime& now,
                                                         const pf::Calendar& calendar) {
  const std::optional<QDateTime> date = time.date(calendar);
  if (!date) return std::nullopt;
  const QLocale locale;
  const QTimeZone zone = calendar.timeZone();
  const QDateTime local = date->toTimeZone(zone);
  const QString abbreviation = zone.abbreviation(now);
  ReminderTimeSummary summary;
  summary.text = locale.toString(local.date(), QLocale::LongFormat) + u' ' +
                 locale.toString(local.time(), QLocale::ShortFormat) + QStringLiteral(" \u00B7 ") +
                 (abbreviation.isEmpty() ? QString::fromUtf8(zone.id()) : abbreviation);
  summary.past = calendar.compareMinutes(*date, now) == std::strong_ordering::less;
  if (summary.past) summary.text += QStringLiteral(" \u2014 in the past");
  return summary;
}

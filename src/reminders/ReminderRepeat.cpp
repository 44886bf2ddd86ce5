#include "reminders/ReminderRepeat.h"

std::optional<ReminderRepeat> ReminderRepeat::fromRawValue(const QString& rawValue) {
  for (ReminderRepeat rule : allCases)
    if (rule.rawValue() == rawValue) return rule;
  return std::nullopt;
}

QString ReminderRepeat::rawValue() const {
  switch (m_value) {
    case once: return QStringLiteral("once");
    case daily: return QStringLiteral("daily");
    case weekly: return QStringLiteral("weekly");
  }
  return {};
}

QString ReminderRepeat::title() const {
  const QString raw = rawValue();
  return raw.left(1).toUpper() + raw.mid(1);
}

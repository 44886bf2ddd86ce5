#pragma once

#include <QString>
#include <array>
#include <optional>

/// How a reminder repeats; stored as its raw string.
class ReminderRepeat final {
 public:
  enum class Case { once, daily, weekly };
  using enum Case;

  constexpr ReminderRepeat(Case value) : m_value(value) {}

  /// Every rule, in the order menus list them.
  static constexpr std::array<Case, 3> allCases{once, daily, weekly};

  /// The rule stored as `rawValue`, or none.
  static std::optional<ReminderRepeat> fromRawValue(const QString& rawValue);

  Case value() const { return m_value; }
  /// The stored string: "once", "daily" or "weekly".
  QString rawValue() const;
  /// The raw value with its first letter capitalized: "Once", "Daily", "Weekly".
  QString title() const;

  bool operator==(const ReminderRepeat&) const = default;

 private:
  Case m_value;
};

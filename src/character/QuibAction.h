#pragma once

#include <QString>
#include <array>
#include <optional>

/// An action the companion performs on request or from a reminder.
class QuibAction final {
 public:
  enum class Case { dance, dj };
  using enum Case;

  constexpr QuibAction(Case value) : m_value(value) {}

  /// Every action, in case order.
  static constexpr std::array<Case, 2> allCases{dance, dj};

  /// The action stored as `rawValue`, or none.
  static std::optional<QuibAction> fromRawValue(const QString& rawValue);

  Case value() const { return m_value; }
  /// The stored string: "dance" or "dj".
  QString rawValue() const;
  /// The menu title: "Dance 01" or "DJ Mode".
  QString title() const;

  bool operator==(const QuibAction&) const = default;

 private:
  Case m_value;
};

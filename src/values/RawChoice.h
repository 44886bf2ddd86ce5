#pragma once

#include <QString>
#include <array>
#include <optional>

/// The fixed list behind a choice stored by raw string: each case with the
/// raw string that is stored for it and, where the choice is ever shown, the
/// title people read. Lookups match the raw string exactly, so a stored value
/// in another spelling names no case.
template <typename Value, std::size_t N>
struct RawChoiceTable {
  struct Row {
    Value value;
    const char* raw;
    const char* title = nullptr;
  };
  std::array<Row, N> rows;

  constexpr const Row& row(Value value) const {
    for (const Row& r : rows) {
      if (r.value == value) return r;
    }
    return rows.front();
  }
};

/// A choice as a value: one of the cases of `Cases` (an enumeration `Value`
/// with its `table`), stored by raw string and listed by title. The first
/// case of the table is the default.
template <typename Self, typename Cases>
class RawChoice : public Cases {
 public:
  using Value = typename Cases::Value;
  static constexpr std::size_t count = Cases::table.rows.size();

  constexpr RawChoice(Value value = Cases::table.rows.front().value) : m_value(value) {}
  constexpr operator Value() const { return m_value; }

  /// The case itself.
  constexpr Value value() const { return m_value; }
  /// The string stored for this case.
  QString rawValue() const { return QString::fromUtf8(Cases::table.row(m_value).raw); }
  /// The name shown for this case; empty for a choice that is never shown.
  QString title() const { return QString::fromUtf8(Cases::table.row(m_value).title); }

  /// The case stored as exactly `raw` (case-sensitive), if any.
  static std::optional<Self> fromRawValue(const QString& raw) {
    for (const auto& r : Cases::table.rows) {
      if (raw == QLatin1String(r.raw)) return Self(r.value);
    }
    return std::nullopt;
  }

  /// Every case, in the order the table lists them (and menus show them).
  static constexpr std::array<Self, count> allCases() {
    std::array<Self, count> out{};
    for (std::size_t i = 0; i < count; ++i) out[i] = Self(Cases::table.rows[i].value);
    return out;
  }

 private:
  Value m_value;
};

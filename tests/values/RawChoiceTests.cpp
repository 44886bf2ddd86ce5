#include "values/RawChoice.h"

#include <gtest/gtest.h>

namespace {

struct TideCases {
  enum class Value { low, high, slack };
  using enum Value;
  static constexpr RawChoiceTable<Value, 3> table{{{
      {low, "low", "Low Water"},
      {high, "high", "High Water"},
      {slack, "slack"},
  }}};
};

class Tide final : public RawChoice<Tide, TideCases> {
 public:
  using RawChoice::RawChoice;
};

}  // namespace

TEST(RawChoice, TheFirstCaseIsTheDefaultAndCasesListInTableOrder) {
  EXPECT_EQ(Tide(), Tide::low);
  const auto all = Tide::allCases();
  ASSERT_EQ(all.size(), Tide::count);
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].value(), TideCases::table.rows[i].value);
}

TEST(RawChoice, ARawValueNamesACaseOnlyWhenSpelledExactly) {
  EXPECT_EQ(Tide(Tide::high).rawValue(), "high");
  EXPECT_EQ(Tide::fromRawValue("high"), Tide::high);
  for (const char* other : {"High", "high ", "High Water", "", "tide"})
    EXPECT_EQ(Tide::fromRawValue(QString::fromUtf8(other)), std::nullopt) << other;
}

TEST(RawChoice, ACaseWithoutATitleShowsNone) {
  EXPECT_EQ(Tide(Tide::low).title(), "Low Water");
  EXPECT_TRUE(Tide(Tide::slack).title().isEmpty());
}

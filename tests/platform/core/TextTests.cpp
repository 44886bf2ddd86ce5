#include "platform/core/Text.h"

#include <gtest/gtest.h>

using pf::Text;

TEST(Text, CountsUserPerceivedCharacters) {
  EXPECT_EQ(Text::characterCount(QString::fromUtf8("\U0001F44D\U0001F3FD")), 1);  // skin tone
  EXPECT_EQ(Text::characterCount(QString::fromUtf8("\U0001F1E9\U0001F1EA")), 1);  // flag
  EXPECT_EQ(Text::characterCount(QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466")),
            1);  // family
  EXPECT_EQ(Text::characterCount(QString::fromUtf8("Cafe\u0301 \U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7")), 7);
  EXPECT_EQ(Text::characterCount(QString()), 0);
}

TEST(Text, TrimsUnicodeWhiteSpaceAndLineBreaksOnly) {
  EXPECT_EQ(Text::trimmed(QString::fromUtf8("\u00A0\u2028\u3000 \t\r\nName\u2029\u0085\u202F")), "Name");
  EXPECT_EQ(Text::trimmed(QString::fromUtf8("  a \u3000 b  ")), QString::fromUtf8("a \u3000 b"));
  // Zero-width joiners and spaces are not white space: trimming keeps them.
  const QString joined = QString::fromUtf8("\u200Dx\u200B");
  EXPECT_EQ(Text::trimmed(joined), joined);
  EXPECT_EQ(Text::trimmed(QString::fromUtf8(" \u00A0\n")), QString());
}

TEST(Text, SortsNaturallyUnderTheCLocale) {
  QStringList names{"Item 10", "item 2", "Item 1"};
  Text::naturalSort(names);
  EXPECT_EQ(names, (QStringList{"Item 1", "item 2", "Item 10"}));
  EXPECT_LT(Text::naturalCompare("folder 9", "Folder 10"), 0);
  EXPECT_GT(Text::naturalCompare("b", "A"), 0);
  EXPECT_EQ(Text::naturalCompare("Alpha", "alpha"), 0);
}

TEST(Text, NaturalSortKeepsTheOrderOfEqualNames) {
  QStringList names{"beta", "Alpha", "alpha", "ALPHA"};
  Text::naturalSort(names);
  EXPECT_EQ(names, (QStringList{"Alpha", "alpha", "ALPHA", "beta"}));
}

TEST(Text, LowerCasesAndSearchesIgnoringCase) {
  EXPECT_EQ(Text::lowercased(QString::fromUtf8("ÄRGER Item")), QString::fromUtf8("ärger item"));
  EXPECT_TRUE(Text::containsCaseInsensitive(QString::fromUtf8("Grüße aus Köln"), QString::fromUtf8("KÖLN")));
  EXPECT_FALSE(Text::containsCaseInsensitive("Reminders", "remind me"));
}

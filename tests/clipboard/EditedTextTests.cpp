#include "clipboard/EditedText.h"

#include <gtest/gtest.h>

namespace {

/// What a text view shows of `text`: every line break a line feed.
QString shownAs(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n').replace(QChar::ParagraphSeparator, u'\n');
}

}  // namespace

TEST(EditedText, WhatTheUserLeftKeepsItsLineBreaks) {
  const struct {
    const char* what;
    QString original;
    QString shownNow;
    QString saved;
  } cases[] = {
      {"untouched", "a\r\nb\rc\u2029d\ne", "a\nb\nc\nd\ne", "a\r\nb\rc\u2029d\ne"},
      {"typed at the end", "one\r\ntwo", "one\ntwo!", "one\r\ntwo!"},
      {"typed at the start", "one\r\ntwo", ">one\ntwo", ">one\r\ntwo"},
      {"a line typed between", "one\r\ntwo", "one\nnew\ntwo", "one\r\nnew\ntwo"},
      {"a break removed", "one\r\ntwo\r\nthree", "onetwo\nthree", "onetwo\r\nthree"},
      {"everything replaced", "one\r\ntwo", "x", "x"},
      {"emptied", "one\r\ntwo", "", ""},
      {"a repeated letter typed", "aa\r\naa", "aaa\naa", "aaa\r\naa"},
      {"one emoji for another", "\U0001F600\r\n", "\U0001F601\n", "\U0001F601\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EditedText::merged(c.original, shownAs(c.original), c.shownNow), c.saved) << c.what;
  }
  // A view that showed something else than the saved text with line feeds gives only what it holds now.
  EXPECT_EQ(EditedText::merged("a\r\nb", "a b", "a b!"), "a b!");
  EXPECT_EQ(EditedText::merged("a\r\nb", "a\nbc", "a\nbc!"), "a\nbc!");
  EXPECT_EQ(EditedText::merged("a\r\nbc", "a\nb", "a\nb!"), "a\nb!");
}

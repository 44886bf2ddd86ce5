#pragma once

#include <QSet>
#include <QString>
#include <gtest/gtest.h>
#include <optional>

namespace test {

/// What every choice stored by raw string must hold: each case has a raw
/// value of its own that reads back as that case, and the same word in
/// another spelling or with white space around it names no case. With
/// `titled`, each case also shows a title of its own.
template <typename Choice>
void expectRawValuesRoundTrip(bool titled = false) {
  QSet<QString> raws;
  QSet<QString> titles;
  for (const Choice choice : Choice::allCases()) {
    const QString raw = choice.rawValue();
    SCOPED_TRACE(raw.toStdString());
    EXPECT_FALSE(raw.isEmpty());
    EXPECT_FALSE(raws.contains(raw));
    raws.insert(raw);
    EXPECT_EQ(Choice::fromRawValue(raw), choice);
    EXPECT_EQ(Choice::fromRawValue(raw.toUpper()), std::nullopt);
    EXPECT_EQ(Choice::fromRawValue(u' ' + raw), std::nullopt);
    EXPECT_EQ(Choice::fromRawValue(raw + u'\n'), std::nullopt);
    if (!titled) continue;
    EXPECT_FALSE(choice.title().isEmpty());
    EXPECT_FALSE(titles.contains(choice.title()));
    titles.insert(choice.title());
  }
  EXPECT_EQ(Choice::fromRawValue(QString()), std::nullopt);
}

}  // namespace test

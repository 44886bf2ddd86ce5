#include "platform/core/TextSet.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

// Texts are told apart by their characters alone, wherever they are kept,
// however many there are and whatever room the set was given.
TEST(TextSet, TellsRepeatsByTheirCharacters) {
  std::vector<QString> texts;
  for (int i = 0; i < 1000; ++i) texts.push_back(QStringLiteral("id-%1").arg(i));
  texts.push_back(QString());
  texts.push_back(QStringLiteral("Gr\u00FC\u00DFe"));
  for (const std::size_t room : {std::size_t(0), texts.size()}) {
    pf::TextSet set(room);
    for (const QString& text : texts) EXPECT_TRUE(set.insert(text)) << text.toStdString();
    for (const QString& text : texts) {
      const QString copy(text.constData(), text.size());
      EXPECT_TRUE(set.contains(copy)) << text.toStdString();
      EXPECT_FALSE(set.insert(copy)) << text.toStdString();
    }
    EXPECT_FALSE(set.contains(u"id-1000"));
    EXPECT_FALSE(set.contains(u"gr\u00FC\u00DFe"));
    EXPECT_FALSE(set.contains(u"id-1 "));
  }
}

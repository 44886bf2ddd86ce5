#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <limits>

using pf::JsonWriter;

TEST(JsonWriter, WritesWhatEncodingTheSameValueGives) {
  const QString awkward = QString::fromUtf8(
      "q\"b\\s/\b\f\n\r\t\x01\x1f\x7f \u0080\u07ff\u0800\uffff \u2028 \u00e9 \U0001F600");
  // Surrogates without their partner have no UTF-8 spelling.
  const QString loneSurrogates = QString(QChar(0xd800)) + u'a' + QChar(0xdc00) + QChar(0xdbff) +
                                 QChar(0xd83d) + QChar(0xde00) + QChar(0xd800);
  const QJsonObject value{
      {"array", QJsonArray{1, QJsonObject{{"inner", "x"}}, QJsonArray{}, "text"}},
      {"empty", QJsonObject{}},
      {"flags", QJsonArray{true, false}},
      {"numbers", QJsonArray{1.5, 3.0, 1e15, 1e16, -0.0, 794585130.5, -42, 0.1}},
      {"text", awkward},
      {"unpaired", loneSurrogates},
  };
  JsonWriter writer;
  writer.beginObject();
  writer.key(u"array");
  writer.beginArray();
  writer.integer(1);
  writer.beginObject();
  writer.key(u"inner");
  writer.string(u"x");
  writer.endObject();
  writer.beginArray();
  writer.endArray();
  writer.string(u"text");
  writer.endArray();
  writer.key(u"empty");
  writer.beginObject();
  writer.endObject();
  writer.key(u"flags");
  writer.beginArray();
  writer.boolean(true);
  writer.boolean(false);
  writer.endArray();
  writer.key(u"numbers");
  writer.beginArray();
  for (double n : {1.5, 3.0, 1e15, 1e16, -0.0, 794585130.5, -42.0, 0.1}) writer.number(n);
  writer.endArray();
  writer.key(u"text");
  writer.string(awkward);
  writer.key(u"unpaired");
  writer.string(loneSurrogates);
  writer.endObject();
  EXPECT_EQ(writer.take(), pf::Json::encode(value));
}

TEST(JsonWriter, RefusesNumbersJsonCannotSpell) {
  JsonWriter writer;
  writer.beginArray();
  EXPECT_THROW(writer.number(std::numeric_limits<double>::infinity()), pf::JsonError);
  EXPECT_THROW(writer.number(std::numeric_limits<double>::quiet_NaN()), pf::JsonError);
}

TEST(JsonWriter, ATextEndsWhereItsViewEnds) {
  // The view stops between the two halves of a pair; the half beyond it is not the text's.
  const QString pair = QString::fromUtf8("\U0001F600");
  JsonWriter writer;
  writer.beginArray();
  writer.string(QStringView(pair).first(1));
  writer.endArray();
  EXPECT_EQ(writer.take(), pf::Json::encode(QJsonArray{QString(pair.front())}));
}

TEST(JsonWriter, TextsStartingWithAByteOrderMarkReadBackWhole) {
  // Qt drops a raw mark that starts a text, and keeps an escaped one.
  for (const QString& text : {QStringLiteral("\uFEFFid"), QStringLiteral("\uFEFF\u0301x"), QStringLiteral("a\uFEFF")}) {
    JsonWriter writer;
    writer.beginArray();
    writer.string(text);
    writer.endArray();
    EXPECT_EQ(pf::JsonArrayReader::parse(writer.take()).string(0), text);
  }
}

// Reading straight from simdjson's document: every read either gives what
// the strict readers give for the same text, or is unsure and leaves it to them.
#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"

#include <gtest/gtest.h>
#include <functional>

using pf::JsonDocument;

namespace {

/// The value a read gives, spelled out, or "unsure".
template <typename Read>
std::string outcome(Read read) {
  try {
    const auto value = read();
    if constexpr (std::is_same_v<decltype(value), const QString>)
      return value.toStdString();
    else
      return std::to_string(value);
  } catch (const pf::JsonUnsure&) {
    return "unsure";
  }
}

/// The value the strict reader gives, spelled out, or "refused".
template <typename Read>
std::string strictOutcome(Read read) {
  try {
    return outcome(read);
  } catch (const pf::JsonError&) {
    return "refused";
  }
}

}  // namespace

TEST(JsonDocument, ReadsAreExactlyTheStrictReadersOrUnsure) {
  const struct {
    const char* value;
    const char* integer;
    const char* number;
    const char* text;
    const char* boolean;
  } cases[] = {
      {"-42", "-42", "-42.000000", "unsure", "unsure"},
      {"9223372036854775807", "9223372036854775807", "9223372036854775808.000000", "unsure", "unsure"},
      // Whole numbers spelled otherwise, and integers past 64 bits, are the strict readers' to judge.
      {"2.0", "unsure", "2.000000", "unsure", "unsure"},
      {"18446744073709551615", "unsure", "18446744073709551616.000000", "unsure", "unsure"},
      {"0.25", "unsure", "0.250000", "unsure", "unsure"},
      // Qt refuses what underflows; a zero with a fraction is left to it as well.
      {"1e-400", "unsure", "unsure", "unsure", "unsure"},
      {"0.0", "unsure", "unsure", "unsure", "unsure"},
      {R"("Grüße \u00e9\n")", "unsure", "unsure", "Grüße é\n", "unsure"},
      {R"("")", "unsure", "unsure", "", "unsure"},
      // Qt drops a byte order mark that starts a text.
      {R"("\ufeffmark")", "unsure", "unsure", "unsure", "unsure"},
      {"true", "unsure", "unsure", "unsure", "1"},
      {"null", "unsure", "unsure", "unsure", "unsure"},
  };
  for (const auto& c : cases) {
    const QByteArray text = QByteArray(R"({"v": )") + c.value + "}";
    const JsonDocument document(text);
    const auto [v] = JsonDocument::fields(document.top(), std::array<std::string_view, 1>{"v"});
    const auto strict = [&text] { return pf::JsonObjectReader::parse(text); };
    const auto check = [&](const char* expected, auto read, auto readStrictly) {
      const std::string found = outcome(read);
      EXPECT_EQ(found, expected) << c.value;
      if (found != "unsure") {
        EXPECT_EQ(strictOutcome(readStrictly), found) << c.value;
      }
    };
    check(
        c.integer, [&] { return JsonDocument::integer(v); }, [&] { return strict().integer("v"); });
    check(
        c.number, [&] { return JsonDocument::number(v); }, [&] { return strict().number("v"); });
    check(
        c.text, [&] { return JsonDocument::string(v); }, [&] { return strict().string("v"); });
    check(
        c.boolean, [&] { return JsonDocument::boolean(v); }, [&] { return strict().boolean("v"); });
    EXPECT_EQ(JsonDocument::isPresent(v), std::string_view(c.value) != "null") << c.value;
  }
}

TEST(JsonDocument, MembersAreFoundAsQtFindsThemAndAnythingElseIsUnsure) {
  using Keys = std::array<std::string_view, 3>;
  const Keys keys{"a", "b", "c"};
  const auto found = [&](const char* text) {
    return outcome([&] {
      const JsonDocument document{QByteArray(text)};
      QString values;
      for (const JsonDocument::Field& field : JsonDocument::fields(document.top(), keys))
        values += field ? QString::number(JsonDocument::integer(field)) : QStringLiteral("-");
      return values;
    });
  };
  EXPECT_EQ(found(R"({"a": 1, "b": 2, "c": 3})"), "123");
  EXPECT_EQ(found(R"({"c": 3, "a": 1})"), "1-3");
  // Of a repeated key Qt keeps the last.
  EXPECT_EQ(found(R"({"a": 1, "b": 2, "a": 4})"), "42-");
  EXPECT_EQ(found(R"({"a": 1, "d": 2})"), "unsure");
  EXPECT_EQ(found(R"([{"a": 1}])"), "unsure");
  EXPECT_EQ(found(R"({"a": 1,})"), "unsure");
  EXPECT_EQ(found("\xEF\xBB\xBF{\"a\": 1}"), "unsure");
  EXPECT_EQ(found(R"({"a": [1, 2]})"), "unsure");
  // Arrays hold only what is asked of them.
  const JsonDocument document(R"({"a": [3, 1, 2], "b": [{"c": 5}, {"c": 6}], "c": [1, "2"]})");
  const auto [a, b, c] = JsonDocument::fields(document.top(), keys);
  EXPECT_EQ(JsonDocument::integers(a), (std::vector<qint64>{3, 1, 2}));
  EXPECT_EQ(JsonDocument::objects(b,
                                  [&](const JsonDocument::Object& object) {
                                    return JsonDocument::integer(JsonDocument::fields(object, keys)[2]);
                                  }),
            (std::vector<qint64>{5, 6}));
  EXPECT_THROW(JsonDocument::integers(c), pf::JsonUnsure);
  EXPECT_THROW(JsonDocument::objects(a, [](const JsonDocument::Object&) { return 0; }), pf::JsonUnsure);
}

TEST(JsonDocument, ARecurringTextIsDecodedOnceAndShared) {
  QByteArray text = "[";
  for (int i = 0; i < 1000; ++i) text += QStringLiteral(R"("text %1", "text %1", )").arg(i).toUtf8();
  text += R"("é"])";
  JsonDocument document(text);
  const JsonDocument::Array items = document.root().get_array().value();
  std::vector<QString> read;
  for (const JsonDocument::Value item : items) read.push_back(document.sharedString(item));
  for (std::size_t i = 0; i + 1 < read.size(); i += 2) {
    EXPECT_EQ(read[i], QStringLiteral("text %1").arg(i / 2));
    EXPECT_TRUE(read[i].isSharedWith(read[i + 1])) << i;
    if (i > 0) {
      EXPECT_FALSE(read[i].isSharedWith(read[i - 1])) << i;
    }
  }
  EXPECT_EQ(read.back(), QStringLiteral("é"));
  JsonDocument marked(R"(["\ufeffmark"])");
  EXPECT_THROW(marked.sharedString(marked.root().get_array().at(0).value()), pf::JsonUnsure);
  // A text decoded by itself keeps no room a multi-byte text left unused.
  EXPECT_EQ(JsonDocument::decoded("ééééééééé").capacity(), 9);
}

TEST(JsonDocument, TextsDecodeAsQtDecodesThemWhereverTheirCharactersFall) {
  // Sixteen bytes are decoded at a time, two-byte characters among them, so
  // each kind of character is tried at every place in and across a block.
  const char* const characters[] = {
      "a", "\xC3\xA9", "\xC3\xBC\xC3\x9F", "\xE2\x82\xAC", "\xEF\xBB\xBF", "\xF0\x9F\x91\x8D", "\x7F\xDF\xBF"};
  for (const char* character : characters) {
    for (int before = 0; before < 20; ++before) {
      for (int after : {0, 1, 17}) {
        const QByteArray text = QByteArray(before, 'x') + character + QByteArray(after, 'y') + character;
        EXPECT_EQ(JsonDocument::decoded(std::string_view(text.constData(), std::size_t(text.size()))),
                  QString::fromUtf8(text))
            << text.constData();
      }
    }
  }
}

TEST(JsonDocument, ValuesAreTheSameOnlyWhenEveryKindKeyTextAndNumberIs) {
  const struct {
    const char* first;
    const char* second;
    bool same;
  } cases[] = {
      {R"({"a": 1, "b": ["x", null, true]})", R"({"a":1,"b":["x",null,true]})", true},
      {R"({"a": 1, "b": 2})", R"({"b": 2, "a": 1})", false},
      {R"({"a": 1})", R"({"a": 1, "b": 2})", false},
      {R"({"a": 1, "b": 2})", R"({"a": 1})", false},
      {R"({"a": 1})", R"({"b": 1})", false},
      {R"([1, 2])", R"([1, 2, 3])", false},
      {R"([1, 2, 3])", R"([1, 2])", false},
      {R"([[{"a": null}]])", R"([[{"a": false}]])", false},
      {R"("café")", R"("café")", true},
      {R"("café")", R"("cafe")", false},
      {"1", "1.0", false},
      {"1", "2", false},
      {"0.0", "-0.0", false},
      {"2.5", "25e-1", true},
      {"18446744073709551615", "18446744073709551615", true},
      {"18446744073709551615", "18446744073709551614", false},
      {"true", "false", false},
      {"null", "null", true},
      {"null", "false", false},
  };
  for (const auto& c : cases) {
    JsonDocument first(c.first);
    JsonDocument second(c.second);
    EXPECT_EQ(JsonDocument::same(first.root(), second.root()), c.same) << c.first << " / " << c.second;
  }
}

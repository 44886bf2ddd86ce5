#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

using pf::Json;
using pf::JsonArrayReader;
using pf::JsonError;
using pf::JsonNull;
using pf::JsonObjectReader;

namespace {

const QByteArray record = R"({
  "name": "Lunch",
  "count": "3",
  "flag": true,
  "ratio": 2.5,
  "whole": 2.0,
  "big": 9007199254740993,
  "smallest": -9223372036854775808,
  "huge": 1e30,
  "note": null,
  "image": "aGVsbG8=",
  "nested": {"items": [{"n": 1}, {"n": "two"}], "tags": ["a", "b"]}
})";

/// Runs `read`, which must be refused; returns the error.
JsonError refusal(const std::function<void()>& read) {
  try {
    read();
  } catch (const JsonError& error) {
    return error;
  }
  ADD_FAILURE() << "the read was accepted";
  return JsonError({});
}

bool mentions(const JsonError& error, const char* text) {
  return std::string(error.what()).find(text) != std::string::npos;
}

}  // namespace

TEST(Json, RefusesMissingKeysAndWrongTypesNamingTheKey) {
  const auto reader = JsonObjectReader::parse(record);

  JsonError missing = refusal([&] { reader.integer("minutes"); });
  EXPECT_EQ(missing.key(), "minutes");
  EXPECT_TRUE(mentions(missing, "\"minutes\" is missing")) << missing.what();

  JsonError stringForNumber = refusal([&] { reader.integer("count"); });
  EXPECT_EQ(stringForNumber.key(), "count");
  EXPECT_TRUE(mentions(stringForNumber, "\"count\" must be an integer, not a string")) << stringForNumber.what();
  EXPECT_TRUE(mentions(refusal([&] { reader.number("count"); }), "\"count\""));

  JsonError boolForInteger = refusal([&] { reader.integer("flag"); });
  EXPECT_EQ(boolForInteger.key(), "flag");
  EXPECT_TRUE(mentions(boolForInteger, "not a Boolean")) << boolForInteger.what();
  EXPECT_TRUE(mentions(refusal([&] { reader.number("flag"); }), "\"flag\" must be a number"));

  JsonError fraction = refusal([&] { reader.integer("ratio"); });
  EXPECT_EQ(fraction.key(), "ratio");
  EXPECT_TRUE(mentions(fraction, "whole number, not 2.5")) << fraction.what();

  EXPECT_TRUE(mentions(refusal([&] { reader.boolean("name"); }), "\"name\" must be a Boolean, not a string"));
  EXPECT_TRUE(mentions(refusal([&] { reader.string("note"); }), "not null"));
  EXPECT_TRUE(mentions(refusal([&] { reader.object("nested").array("tags").integer(0); }), "Item 0 of nested.tags"));
}

TEST(Json, ErrorsInsideNestedValuesGiveTheirPath) {
  const auto items = JsonObjectReader::parse(record).object("nested").array("items");
  EXPECT_EQ(items.object(0).integer("n"), 1);

  JsonError inner = refusal([&] { items.object(1).integer("n"); });
  EXPECT_EQ(inner.key(), "n");
  EXPECT_EQ(inner.path(), "nested.items[1].n");
  EXPECT_TRUE(mentions(inner, "\"n\" in nested.items[1] must be an integer")) << inner.what();

  JsonError beyond = refusal([&] { items.object(2); });
  EXPECT_EQ(beyond.key(), "items");
  EXPECT_EQ(beyond.path(), "nested.items[2]");

  JsonError missingInside = refusal([&] { items.object(0).string("label"); });
  EXPECT_EQ(missingInside.path(), "nested.items[0].label");
  EXPECT_TRUE(mentions(missingInside, "\"label\" is missing in nested.items[0]")) << missingInside.what();
}

TEST(Json, ErrorsInsideNestedArraysAndTopLevelArraysGiveTheirPath) {
  const auto grid = JsonObjectReader::parse(R"({"grid": [[1, 2], [3, "x"]]})").array("grid");
  JsonError cell = refusal([&] { grid.array(1).integer(1); });
  EXPECT_EQ(cell.key(), "grid");
  EXPECT_EQ(cell.path(), "grid[1][1]");
  EXPECT_STREQ(cell.what(), "Item 1 of grid[1] must be an integer, not a string.");
  JsonError beyond = refusal([&] { grid.array(0).integer(2); });
  EXPECT_EQ(beyond.path(), "grid[0][2]");
  EXPECT_STREQ(beyond.what(), "Item 2 of grid[0] is missing; there are 2 items.");

  const auto list = JsonArrayReader::parse(R"([{"n": 1}, {"n": {"deep": [true]}}])");
  EXPECT_EQ(list.object(1).object("n").path(), "[1].n");
  JsonError deep = refusal([&] { list.object(1).object("n").array("deep").string(0); });
  EXPECT_EQ(deep.key(), "deep");
  EXPECT_EQ(deep.path(), "[1].n.deep[0]");
  EXPECT_STREQ(deep.what(), "Item 0 of [1].n.deep must be a string, not a Boolean.");
  JsonError top = refusal([&] { list.integer(0); });
  EXPECT_EQ(top.path(), "[0]");
  EXPECT_STREQ(top.what(), "Item 0 must be an integer, not an object.");
  JsonError missing = refusal([&] { list.object(0).object("m"); });
  EXPECT_EQ(missing.path(), "[0].m");
  EXPECT_STREQ(missing.what(), "The key \"m\" is missing in [0].");

  const JsonObjectReader placed(QJsonObject{{"a", QJsonArray{QJsonObject{}}}}, "outer.inner");
  JsonError given = refusal([&] { placed.array("a").object(0).boolean("b"); });
  EXPECT_EQ(given.path(), "outer.inner.a[0].b");
  EXPECT_STREQ(given.what(), "The key \"b\" is missing in outer.inner.a[0].");
}

TEST(Json, ReadsNumbersExactly) {
  const auto reader = JsonObjectReader::parse(record);
  EXPECT_EQ(reader.integer("whole"), 2);
  EXPECT_EQ(reader.integer("big"), 9007199254740993LL);
  EXPECT_EQ(reader.integer("smallest"), std::numeric_limits<qint64>::min());
  EXPECT_DOUBLE_EQ(reader.number("ratio"), 2.5);
  EXPECT_DOUBLE_EQ(reader.number("whole"), 2.0);
  EXPECT_TRUE(mentions(refusal([&] { reader.integer("huge"); }), "fits in 64 bits"));
  EXPECT_DOUBLE_EQ(reader.number("huge"), 1e30);
}

TEST(Json, OptionalReadsTreatNullAsAbsentOnlyWhenAsked) {
  const auto reader = JsonObjectReader::parse(record);
  EXPECT_EQ(reader.optionalString("missing"), std::nullopt);
  EXPECT_EQ(reader.optionalString("name"), QString("Lunch"));
  EXPECT_EQ(reader.optionalString("note", JsonNull::absent), std::nullopt);
  EXPECT_TRUE(mentions(refusal([&] { reader.optionalString("note"); }), "\"note\" must be a string, not null"));
  EXPECT_TRUE(mentions(refusal([&] { reader.optionalInteger("count", JsonNull::absent); }), "\"count\""));
  EXPECT_EQ(reader.optionalBoolean("flag"), true);
  EXPECT_FALSE(reader.optionalObject("absent").has_value());
  EXPECT_TRUE(mentions(refusal([&] { reader.optionalArray("nested"); }), "\"nested\" must be an array, not an object"));
}

TEST(Json, DataIsStrictBase64) {
  const auto reader = JsonObjectReader::parse(R"({"ok": "aGVsbG8=", "bad": "not base64!", "short": "aGVsbG8",
                                                  "empty": ""})");
  EXPECT_EQ(reader.data("ok"), QByteArray("hello"));
  EXPECT_EQ(reader.data("empty"), QByteArray());
  EXPECT_TRUE(mentions(refusal([&] { reader.data("bad"); }), "\"bad\" must be Base64 data"));
  EXPECT_TRUE(mentions(refusal([&] { reader.data("short"); }), "\"short\""));
  EXPECT_EQ(Json::data("hello"), QJsonValue("aGVsbG8="));
}

TEST(Json, ArraysReadWhole) {
  const auto nested = JsonObjectReader::parse(record).object("nested");
  EXPECT_EQ(nested.array("tags").strings(), (QStringList{"a", "b"}));
  EXPECT_EQ(nested.array("items").objects().size(), 2u);
  EXPECT_TRUE(mentions(refusal([&] { nested.array("items").strings(); }), "Item 0 of nested.items must be a string"));
  EXPECT_EQ(JsonArrayReader::parse("[1, 2, 3]").integers(), (std::vector<qint64>{1, 2, 3}));
}

TEST(Json, RefusesTextThatIsNotTheExpectedJson) {
  EXPECT_TRUE(mentions(refusal([] { Json::parseObject("{\"a\": 1"); }), "not valid JSON"));
  EXPECT_TRUE(mentions(refusal([] { Json::parseObject("{\"a\": 1} trailing"); }), "not valid JSON"));
  EXPECT_TRUE(mentions(refusal([] { Json::parseObject("[1]"); }), "must hold an object"));
  EXPECT_TRUE(mentions(refusal([] { Json::parseArray("{}"); }), "must hold an array"));
}

TEST(Json, EncodesDeterministicallyWithSortedKeysAndPlainSlashes) {
  QJsonObject first;
  first["zeta"] = 1;
  first["url"] = "https://example.org/a/b";
  first["alpha"] = QJsonArray{true, 2.5, QJsonObject{{"y", 1}, {"b", 2}}};
  first["big"] = qint64(9007199254740993LL);
  QJsonObject second;
  second["big"] = qint64(9007199254740993LL);
  second["alpha"] = QJsonArray{true, 2.5, QJsonObject{{"b", 2}, {"y", 1}}};
  second["url"] = "https://example.org/a/b";
  second["zeta"] = 1;

  const QByteArray bytes = Json::encode(first);
  EXPECT_EQ(bytes, Json::encode(first));
  EXPECT_EQ(bytes, Json::encode(second));
  EXPECT_EQ(bytes,
            "{\n"
            "    \"alpha\": [\n"
            "        true,\n"
            "        2.5,\n"
            "        {\n"
            "            \"b\": 2,\n"
            "            \"y\": 1\n"
            "        }\n"
            "    ],\n"
            "    \"big\": 9007199254740993,\n"
            "    \"url\": \"https://example.org/a/b\",\n"
            "    \"zeta\": 1\n"
            "}\n");
  EXPECT_EQ(Json::parseObject(bytes), first);
}

TEST(Json, RefusesToEncodeNumbersJsonCannotSpell) {
  QJsonObject object{{"list", QJsonArray{1, std::numeric_limits<double>::quiet_NaN()}}};
  JsonError error = refusal([&] { Json::encode(object); });
  EXPECT_EQ(error.path(), "list[1]");
  EXPECT_TRUE(
      mentions(refusal([] { Json::encode(QJsonArray{std::numeric_limits<double>::infinity()}); }), "not finite"));
}

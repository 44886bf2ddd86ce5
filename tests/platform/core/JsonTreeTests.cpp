#include "platform/core/JsonReader.h"
#include "platform/core/JsonTree.h"

#include <QJsonDocument>
#include <QVariant>
#include <bit>
#include <gtest/gtest.h>
#include <random>

using pf::JsonTree;
using Kind = JsonTree::Kind;

namespace {

/// Where the tree and Qt's value first differ, or nothing.
std::string difference(const JsonTree& tree, JsonTree::Index node, const QJsonValue& value,
                       const std::string& at = "top") {
  const auto kindIs = [&](Kind kind) { return tree.kind(node) == kind; };
  bool same = false;
  switch (value.type()) {
    case QJsonValue::Null: same = kindIs(Kind::null); break;
    case QJsonValue::Bool: same = kindIs(Kind::boolean) && tree.boolean(node) == value.toBool(); break;
    case QJsonValue::Double:
      if (value.toVariant().typeId() == QMetaType::LongLong)
        same = kindIs(Kind::integer) && tree.integer(node) == value.toVariant().toLongLong();
      else
        same = kindIs(Kind::number) &&
               std::bit_cast<quint64>(tree.number(node)) == std::bit_cast<quint64>(value.toDouble());
      break;
    case QJsonValue::String: same = kindIs(Kind::string) && tree.string(node) == value.toString(); break;
    case QJsonValue::Array: {
      const QJsonArray array = value.toArray();
      if (!kindIs(Kind::array) || tree.size(node) != array.size()) break;
      for (qsizetype i = 0; i < array.size(); ++i)
        if (auto inner = difference(tree, tree.item(node, i), array[i], at + "[" + std::to_string(i) + "]");
            !inner.empty())
          return inner;
      same = true;
      break;
    }
    case QJsonValue::Object: {
      const QJsonObject object = value.toObject();
      if (!kindIs(Kind::object) || tree.keys(node) != object.keys() || tree.member(node, "\x01none")) break;
      for (const QString& key : object.keys()) {
        // Qt lists some keys it cannot find again; the tree must not find them either.
        const auto found = object.constFind(key);
        const auto member = tree.member(node, key);
        if (member.has_value() != (found != object.constEnd()))
          return at + "." + key.toStdString() + ": found by one only";
        if (!member) continue;
        if (auto inner = difference(tree, *member, *found, at + "." + key.toStdString()); !inner.empty()) return inner;
      }
      same = true;
      break;
    }
    case QJsonValue::Undefined: break;
  }
  return same ? std::string() : at + ": differs from Qt's " + QJsonDocument(QJsonArray{value}).toJson().toStdString();
}

/// Where our parser's tree differs from Qt's reading of `bytes`; nothing when
/// the parser left them to Qt. The tree of Qt's own values must match too.
std::string differenceFromQt(const QByteArray& bytes) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  const QJsonValue top = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
  if (error.error == QJsonParseError::NoError) {
    const JsonTree ofQt = document.isObject() ? JsonTree::of(document.object()) : JsonTree::of(document.array());
    if (auto found = difference(ofQt, JsonTree::root, top); !found.empty()) return "Qt's tree: " + found;
  }
  const auto tree = JsonTree::read(bytes);
  if (!tree) return {};
  if (error.error != QJsonParseError::NoError) return "read text Qt refuses: " + error.errorString().toStdString();
  return difference(*tree, JsonTree::root, top);
}

QByteArray nested(int depth, const char* open, const char* close) {
  QByteArray text;
  for (int i = 0; i < depth; ++i) text += open;
  text += "0";
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

}  // namespace

TEST(JsonTree, ReadsPlainJsonAsQtDoesAndLeavesEverythingElseToQt) {
  QByteArray manyKeys = "{";
  for (int i = 40; i > 0; --i) manyKeys += "\"k" + QByteArray::number(i % 37) + "\": " + QByteArray::number(i) + ",";
  manyKeys += "\"\": 0}";
  // Keys that begin one another, longest first, enough of them to meet in the parser's table of keys seen.
  QByteArray longest;
  for (int i = 0; i < 300; ++i) longest += char('a' + i * 7919 % 26);
  QByteArray prefixKeys = "{";
  for (int i = 300; i > 0; --i) prefixKeys += "\"" + longest.left(i) + "\": " + QByteArray::number(i) + ",";
  prefixKeys += "\"\": 0}";
  // Our parser must read these itself.
  const QByteArrayList ours = {
      // Grammar and whitespace
      "{}", "[]", " \t\r\n{ \"a\" : [ 1 , 2 ] , \"b\":{}}\n", "[true, false, null, [], {}]",
      // Escapes, surrogate pairs, UTF-8 of every length, a byte order mark within a text
      R"(["\"\\\/\b\f\n\r\t", "\u0000", "a\u0000b", "\u00e9\u00E9\u20ac", "\ud83d\ude00\uD83D\uDE00"])",
      "[\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x7F\xEF\xBF\xBF\xF4\x8F\xBF\xBF\"]", "[\"a\xEF\xBB\xBF\"]",
      // Numbers: integers to 64 bits, whole doubles as integers, edges of the double range
      "[0, -0, 1, -1, 0.1, -0.1, 2.0, 2.5, -2.5, 1e308, -1e308, 1E+2, 1e-2, 1.5e-300]",
      "[9007199254740992, 9007199254740993, -9007199254740993, 9007199254740993.0, 1e18, 1.5e19]",
      "[9223372036854775807, -9223372036854775808, 9223372036854775808]",
      "[1.7976931348623157e308, 1.7976931348623158e308, 2.2250738585072014e-308, "
      "0.30000000000000004441]",
      "[1." + QByteArray(120, '0') + "]",
      // Keys: order, duplicates (the last wins, escaped or not), non-ASCII up to U+FFFF, many keys
      R"({"b": 1, "a": 2, "B": 3, "a": "x", "": 0})", R"({"\u0061": 1, "a": 2})",
      R"({"a": {"k": 1}, "a": [2], "a": null})", "{\"\xC3\xA9\": 1, \"e\": 2, \"\xEF\xBF\xBF\": 3, \"z\": 4}", manyKeys,
      prefixKeys,
      // Nesting up to Qt's limit
      nested(1024, "[", "]"), nested(1024, "{\"a\":", "}"), nested(512, "[{\"a\":", "}]")};
  // Our parser must leave these to Qt: some it reads differently, the rest it refuses.
  const QByteArrayList leftToQt = {
      // Grammar and whitespace
      "\xEF\xBB\xBF[1]", "\f[1]", "[1]\f", "[1] x", QByteArray("[1]\0", 4), "", " ", "1", "\"s\"", "null", "[1,]",
      "{\"a\":1,}", "[1 2]", "{\"a\":1 \"b\":2}", "{1:2}", "{\"a\" 1}", "[}", "]", "[tru]", "[nul]", "[truex]",
      "{\"a\": 1", "{\"a\"", "{\"a\":", "[",
      // Lone and mispaired surrogates, other escapes, control characters, a leading byte order mark
      R"(["\ud800"])", R"(["\udc00"])", R"(["\ude00\ud83d"])", R"(["\ud83dx"])", R"(["\ud800\u0041"])",
      R"(["\ud800\n"])", R"(["\x"])", R"(["\a"])", R"(["\u12"])", R"(["\u12G4"])", "[\"a\tb\"]",
      QByteArray("[\"a\0b\"]", 7), "[\"\x1F\"]", "[\"\\\n\"]", "[\"\xEF\xBB\xBFs\"]", R"(["\ufeff"])",
      // Invalid and truncated UTF-8, unterminated texts
      "[\"\xC0\x80\"]", "[\"\xED\xA0\x80\"]", "[\"\xF4\x90\x80\x80\"]", "[\"\xC3\"]", "[\"\xE2\x82\"]", "[\"\x80\"]",
      "[\"\xFF\"]", "[\"\xE0\x80\x80\"]", "[\"\xF0\x80\x80\x80\"]", "[\"\xF8\x88\x80\x80\x80\"]", "[\"abc", "[\"abc\\",
      "[\"\\", "[\"\\u00",
      // Numbers: zero spelled as a double, overflow, underflow, subnormals, loose spellings
      "[-0.0]", "[0e400]", "[0.000e-999]", "[1.7976931348623159e308]", "[1e309]", "[-1e309]", "[1e-400]", "[4.9e-324]",
      "[2.5e-320]", "[1.]", "[-.5]", "[.5]", "[01]", "[-]", "[+1]", "[1e]", "[1e+]", "[NaN]", "[Infinity]", "[0x10]",
      // Integers beyond 64 bits, which Qt reads as doubles
      "[-9223372036854775809]", "[18446744073709551616]", "[123456789012345678901234567890]",
      // Keys Qt orders inconsistently or cannot find, or that are invalid
      "{\"\xF0\x9F\x98\x80\": 1}", "{\"\\uffff\": 1, \"\xF0\x9F\x98\x80\": 2}",
      "{\"\xEF\xBF\xBF\": 1, \"\\ud83d\\ude00\": 2}", "{\"a\tb\": 1}", "{\"o\": 1, \"\xEF\xBB\xBFs\": 2}",
      "{\"\xC3\": 1}", "{\"\xC3\x83" + QByteArray(16, 'a') + "\": 1}", "{\"\\u00c3" + QByteArray(16, 'a') + "\": 1}",
      "{\"\xC3\x83\": 1}",
      // Nesting beyond Qt's limit
      nested(1025, "[", "]"), nested(1025, "{\"a\":", "}"), nested(512, "[{\"a\":", "}]").prepend("[").append("]")};
  for (const auto& [documents, isOurs] : {std::pair(ours, true), std::pair(leftToQt, false)}) {
    for (const QByteArray& bytes : documents) {
      const auto label = bytes.left(80).toPercentEncoding(" {}[]\":,");
      EXPECT_EQ(JsonTree::read(bytes).has_value(), isOurs) << label.constData();
      EXPECT_EQ(differenceFromQt(bytes), "") << label.constData();
    }
  }
}

TEST(JsonTree, ReadersGiveQtsValuesAndQtsRefusals) {
  const auto outcome = [](auto read) -> std::string {
    try {
      return std::to_string(read());
    } catch (const pf::JsonError& error) {
      return error.what();
    }
  };
  for (const QByteArray& bytes :
       {QByteArray(R"({"a": 1, "b": [true]})"), QByteArray(R"([1, {"a": 2}])"), QByteArray(R"({"\ud800": 1})"),
        QByteArray("[\"\\x\"]"), QByteArray("{"), QByteArray("[1]]"), QByteArray("[1e999]")}) {
    EXPECT_EQ(outcome([&] { return pf::JsonObjectReader::parse(bytes).keys().size(); }),
              outcome([&] { return pf::Json::parseObject(bytes).keys().size(); }))
        << bytes.constData();
    EXPECT_EQ(outcome([&] { return pf::JsonArrayReader::parse(bytes).size(); }),
              outcome([&] { return pf::Json::parseArray(bytes).size(); }))
        << bytes.constData();
  }
}

namespace {

/// Random documents. Plain ones use only what our parser must read itself;
/// with `oddness` some pieces are ones it leaves to Qt.
class RandomDocument final {
 public:
  RandomDocument(std::mt19937& random, bool odd) : m_random(random), m_odd(odd) {}

  QByteArray text() { return pick(2) ? container(0, true) : container(0, false); }

 private:
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
  template <std::size_t N>
  const char* oneOf(const char* const (&plain)[N]) {
    return plain[pick(int(N))];
  }
  bool oddNow() { return m_odd && pick(12) == 0; }

  QByteArray space() { return oneOf({"", "", " ", "\n    ", "\t", "\r\n"}); }
  QByteArray string() {
    static const char* const plain[] = {"a",    "Zo\xC3\xAB", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\\n", "\\\"",
                                        "\\\\", "\\/",        "\\u00e9",      "\\uD83D\\uDE00",   "\\t", "\\u0000",
                                        " ",    "1"};
    static const char* const odd[] = {"\\ud800", "\\x", "\t", "\xC3", "\xED\xA0\x80", "\\u12", "\x01", "\xEF\xBB\xBF"};
    QByteArray text = "\"";
    for (int n = pick(6); n > 0; --n) text += oddNow() ? oneOf(odd) : oneOf(plain);
    return text + "\"";
  }
  QByteArray key() {
    if (oddNow()) return oneOf({"\"\\u0061\"", "\"\xF0\x9F\x98\x80\"", "\"\\n\""});
    return oneOf({"\"a\"", "\"b\"", "\"id\"", "\"\xC3\xA9\"", "\"k1\"", "\"\"", "\"name\""});
  }
  QByteArray number() {
    if (oddNow()) return oneOf({"1.", ".5", "1e400", "4.9e-324", "01", "-", "-0.0", "0e5", "-9223372036854775809"});
    // Never zero: zero with a fraction or an exponent is left to Qt.
    const quint64 bits = quint64(m_random()) << 32 | m_random();
    const QByteArray digits = QByteArray::number((bits >> pick(64)) | 1);
    switch (pick(6)) {
      case 0:
        // Within 64-bit integers: beyond them Qt reads a double, which is left to it.
        return "-" + QByteArray::number((bits >> 1 >> pick(63)) | 1);
      case 1: return digits + "." + QByteArray::number(pick(1000));
      case 2: return digits + ".0";
      case 3: return digits.left(3) + "e" + oneOf({"", "+", "-"}) + QByteArray::number(pick(40));
      case 4: return oneOf({"9223372036854775808", "-9223372036854775808", "-0", "0", "1e18"});
      default: return digits;
    }
  }
  QByteArray value(int depth) {
    switch (pick(depth < 4 ? 6 : 4)) {
      case 0: return string();
      case 1: return number();
      case 2: return oneOf({"true", "false", "null"});
      case 3: return number();
      case 4: return container(depth + 1, true);
      default: return container(depth + 1, false);
    }
  }
  QByteArray container(int depth, bool isObject) {
    QByteArray text = isObject ? "{" : "[";
    for (int n = pick(5); n > 0; --n) {
      text += space() + (isObject ? key() + space() + ":" + space() : QByteArray()) + value(depth) + space();
      if (n > 1) text += ",";
    }
    return text + (isObject ? "}" : "]");
  }

  std::mt19937& m_random;
  bool m_odd;
};

}  // namespace

TEST(JsonTree, RandomDocumentsReadAsQtReadsThem) {
  std::mt19937 random(20261207);
  int ours = 0;
  for (int round = 0; round < 3000; ++round) {
    const bool odd = round % 2;
    QByteArray bytes = RandomDocument(random, odd).text();
    if (round % 3 == 2 && !bytes.isEmpty()) {
      const auto at = std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random);
      if (round % 6 == 2)
        bytes.truncate(at);
      else
        bytes[at] = char(random());
    }
    const bool read = JsonTree::read(bytes).has_value();
    if (!odd && round % 3 != 2) {
      EXPECT_TRUE(read) << bytes.constData();
    }
    ours += read;
    ASSERT_EQ(differenceFromQt(bytes), "") << bytes.constData();
  }
  // Damaged and odd documents are read too when what they hold is plain.
  EXPECT_GT(ours, 1500);
}

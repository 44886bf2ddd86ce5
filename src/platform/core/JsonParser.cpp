#include "platform/core/JsonParser.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace pf {
namespace {

/// Thrown on anything the parser is not certain of.
struct Unsure {};

// Qt refuses a document nested deeper than this.
constexpr int deepestNesting = 1024;
// A number spelled longer than this is left to Qt, whose conversion of very
// long spellings this parser has not compared with its own.
constexpr std::ptrdiff_t longestNumber = 100;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(uchar c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw Unsure{};
}

/// The UTF-16 code unit of the four hex digits after "\u" at `at`.
char16_t escapedUnit(const uchar* at) {
  if (at[1] != 'u') throw Unsure{};
  int unit = 0;
  for (int i = 2; i < 6; ++i) unit = unit * 16 + hexDigit(at[i]);
  return char16_t(unit);
}

bool isContinuation(uchar c) { return (c & 0xC0) == 0x80; }

/// Decodes the escape at `at` into `out`; returns the bytes it took. Only the
/// standard escapes, with surrogates in pairs: Qt passes other letters
/// through and keeps lone surrogates, which the parser leaves to it.
int unescape(const uchar* at, char16_t*& out) {
  static constexpr char letters[] = "\"\\/bfnrt";
  static constexpr char16_t meanings[] = u"\"\\/\b\f\n\r\t";
  if (const char* letter = std::strchr(letters, at[1]); letter && at[1]) {
    *out++ = meanings[letter - letters];
    return 2;
  }
  const char16_t unit = escapedUnit(at);
  if (QChar::isLowSurrogate(unit)) throw Unsure{};
  if (!QChar::isHighSurrogate(unit)) {
    *out++ = unit;
    return 6;
  }
  if (at[6] != '\\') throw Unsure{};
  const char16_t low = escapedUnit(at + 6);
  if (!QChar::isLowSurrogate(low)) throw Unsure{};
  *out++ = unit;
  *out++ = low;
  return 12;
}

/// Decodes the well-formed UTF-8 sequence at `at` into `out`; returns its
/// length. The text ends in a quote, which is no continuation byte, so no
/// read passes it.
int decodeSequence(const uchar* at, char16_t*& out) {
  const uchar lead = at[0];
  if (lead < 0xC2 || lead > 0xF4) throw Unsure{};
  if (lead < 0xE0) {
    if (!isContinuation(at[1])) throw Unsure{};
    *out++ = char16_t((lead & 0x1F) << 6 | (at[1] & 0x3F));
    return 2;
  }
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  const uchar low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const uchar high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (at[1] < low || at[1] > high || !isContinuation(at[2])) throw Unsure{};
  if (lead < 0xF0) {
    *out++ = char16_t((lead & 0x0F) << 12 | (at[1] & 0x3F) << 6 | (at[2] & 0x3F));
    return 3;
  }
  if (!isContinuation(at[3])) throw Unsure{};
  const char32_t point = char32_t(lead & 0x07) << 18 | char32_t(at[1] & 0x3F) << 12 |
                         char32_t(at[2] & 0x3F) << 6 | (at[3] & 0x3F);
  *out++ = QChar::highSurrogate(point);
  *out++ = QChar::lowSurrogate(point);
  return 4;
}

// Texts are scanned eight bytes at a time, in one 64-bit word.
constexpr std::ptrdiff_t wordSize = 8;
constexpr quint64 eachByte = 0x0101010101010101u;
constexpr quint64 highBits = 0x8080808080808080u;

quint64 wordAt(const uchar* at) {
  quint64 word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

/// Whether some byte of `word`, whose bytes are all below 0x80, is below `limit`.
bool hasByteBelow(quint64 word, uchar limit) {
  return ((word - eachByte * limit) & ~word & highBits) != 0;
}
bool hasByte(quint64 word, uchar byte) { return hasByteBelow(word ^ (eachByte * byte), 1); }

/// Whether every byte of `word` is printable ASCII other than a quote or backslash.
bool isPlainWord(quint64 word) {
  return !(word & highBits) && !hasByteBelow(word, 0x20) && !hasByte(word, '"') &&
         !hasByte(word, '\\');
}

/// The text between `begin` and the closing quote at `end`, which holds escapes or non-ASCII bytes.
QString decodeText(const uchar* begin, const uchar* end) {
  // Every escape and sequence takes at least as many bytes as the code units it gives.
  QString text(end - begin, Qt::Uninitialized);
  char16_t* const start = reinterpret_cast<char16_t*>(text.data());
  char16_t* out = start;
  for (const uchar* at = begin; at < end;) {
    if (end - at >= wordSize && isPlainWord(wordAt(at))) {
      out = std::copy(at, at + wordSize, out);
      at += wordSize;
    } else if (*at == '\\')
      at += unescape(at, out);
    else if (*at < 0x80)
      *out++ = *at++;
    else
      at += decodeSequence(at, out);
  }
  text.resize(out - start);
  return text;
}

}  // namespace

void JsonParser::reserveFor(std::size_t bytes) {
  // Growing the vectors step by step costs more than space reserved and never touched.
  m_tree.m_nodes.reserve(bytes / 16);
  m_tree.m_strings.reserve(bytes / 32);
  m_tree.m_items.reserve(bytes / 64);
  m_tree.m_members.reserve(bytes / 32);
}

inline void JsonParser::skipSpace() {
  // Indentation comes in long runs of spaces.
  while (m_end - m_at >= wordSize && wordAt(reinterpret_cast<const uchar*>(m_at)) == eachByte * ' ')
    m_at += wordSize;
  while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t')) ++m_at;
}

std::optional<JsonTree> JsonParser::parse(const QByteArray& bytes) {
  // Nodes are counted in 32 bits, and a node takes at least one byte.
  if (bytes.size() > std::numeric_limits<qint32>::max()) return std::nullopt;
  JsonParser parser(bytes.constData(), bytes.constData() + bytes.size());
  parser.reserveFor(std::size_t(bytes.size()));
  try {
    parser.skipSpace();
    if (parser.m_at == parser.m_end || (*parser.m_at != '{' && *parser.m_at != '['))
      return std::nullopt;
    parser.value(0);
    parser.skipSpace();
    if (parser.m_at != parser.m_end) return std::nullopt;
  } catch (const Unsure&) {
    return std::nullopt;
  }
  return std::move(parser.m_tree);
}

JsonTree::Index JsonParser::value(int depth) {
  if (m_at == m_end) throw Unsure{};
  switch (*m_at) {
    case '{':
      return object(depth + 1);
    case '[':
      return array(depth + 1);
    case '"':
      return m_tree.addString(string(false));
    case 't':
      return literal("true", JsonTree::Kind::boolean, 1);
    case 'f':
      return literal("false", JsonTree::Kind::boolean, 0);
    case 'n':
      return literal("null", JsonTree::Kind::null, 0);
    default:
      return number();
  }
}

template <typename Entry>
void JsonParser::entries(char close, Entry entry) {
  ++m_at;
  skipSpace();
  if (m_at < m_end && *m_at == close) {
    ++m_at;
    return;
  }
  for (;;) {
    entry();
    skipSpace();
    if (m_at == m_end || *m_at != ',') break;
    ++m_at;
    skipSpace();
  }
  expect(close);
}

template <typename Entry>
JsonTree::Index JsonParser::keep(Index node, std::vector<Entry>& open, std::size_t first,
                                 std::vector<Entry>& kept) {
  JsonTree::Node& held = m_tree.m_nodes[node];
  held.first = Index(kept.size());
  held.size = quint32(open.size() - first);
  kept.insert(kept.end(), open.begin() + std::ptrdiff_t(first), open.end());
  open.resize(first);
  return node;
}

JsonTree::Index JsonParser::array(int depth) {
  if (depth > deepestNesting) throw Unsure{};
  const Index node = m_tree.add(JsonTree::Kind::array);
  const std::size_t first = m_openItems.size();
  entries(']', [&] { m_openItems.push_back(value(depth)); });
  return keep(node, m_openItems, first, m_tree.m_items);
}

JsonTree::Index JsonParser::object(int depth) {
  if (depth > deepestNesting) throw Unsure{};
  const Index node = m_tree.add(JsonTree::Kind::object);
  const std::size_t first = m_openMembers.size();
  entries('}', [&] {
    const Index name = key();
    skipSpace();
    expect(':');
    skipSpace();
    m_openMembers.push_back({name, value(depth)});
  });
  sortMembers(first);
  return keep(node, m_openMembers, first, m_tree.m_members);
}

JsonTree::Index JsonParser::literal(const char* word, JsonTree::Kind kind, qint64 payload) {
  const auto length = std::ptrdiff_t(std::strlen(word));
  if (m_end - m_at < length || std::memcmp(m_at, word, std::size_t(length)) != 0) throw Unsure{};
  m_at += length;
  return m_tree.add(kind, payload);
}

JsonTree::Index JsonParser::number() {
  const char* const start = m_at;
  const char* at = m_at;
  const auto digits = [&at, this] {
    const char* const from = at;
    while (at < m_end && isDigit(*at)) ++at;
    if (at == from) throw Unsure{};
  };
  if (at < m_end && *at == '-') ++at;
  if (at < m_end && *at == '0')
    ++at;
  else
    digits();
  bool whole = true;
  if (at < m_end && *at == '.') {
    ++at;
    digits();
    whole = false;
  }
  if (at < m_end && (*at == 'e' || *at == 'E')) {
    ++at;
    if (at < m_end && (*at == '+' || *at == '-')) ++at;
    digits();
    whole = false;
  }
  if (at - start > longestNumber) throw Unsure{};
  m_at = at;
  if (whole) {
    qint64 integer = 0;
    if (std::from_chars(start, at, integer).ec == std::errc())
      return m_tree.add(JsonTree::Kind::integer, integer);
  }
  double number = 0;
  const auto [end, error] = std::from_chars(start, at, number);
  // Qt refuses what overflows or underflows to zero. Subnormal numbers, and zero spelled with
  // a fraction or exponent, are left to it too rather than told from an underflow here.
  if (error != std::errc() || end != at || !std::isfinite(number) ||
      std::abs(number) < std::numeric_limits<double>::min())
    throw Unsure{};
  // Like Qt, a whole number that fits in 64 bits is kept as an integer, whatever its spelling.
  constexpr double twoToThe63 = 9223372036854775808.0;
  if (number >= -twoToThe63 && number < twoToThe63 && std::trunc(number) == number)
    return m_tree.add(JsonTree::Kind::integer, qint64(number));
  return m_tree.addNumber(number);
}

QString JsonParser::string(bool isKey) {
  const auto* const begin = reinterpret_cast<const uchar*>(++m_at);
  const auto* const end = reinterpret_cast<const uchar*>(m_end);
  const uchar* at = begin;
  bool escaped = false;
  uchar highest = 0;
  for (;; ++at) {
    while (end - at >= wordSize && isPlainWord(wordAt(at))) at += wordSize;
    if (at >= end) throw Unsure{};
    if (*at == '"') break;
    if (*at < 0x20) throw Unsure{};
    if (*at == '\\') {
      escaped = true;
      if (++at == end) throw Unsure{};
    }
    highest = std::max(highest, *at);
  }
  m_at = reinterpret_cast<const char*>(at + 1);
  // Qt orders and finds keys with escapes or characters beyond U+FFFF inconsistently.
  if (isKey && (escaped || highest >= 0xF0)) throw Unsure{};
  if (!escaped && highest < 0x80)
    return QString::fromLatin1(reinterpret_cast<const char*>(begin), at - begin);
  // Qt drops a byte order mark that starts a text, and then cannot find such a key.
  if (at - begin >= 3 && begin[0] == 0xEF && begin[1] == 0xBB && begin[2] == 0xBF) throw Unsure{};
  return decodeText(begin, at);
}

JsonTree::Index JsonParser::key() {
  if (m_at == m_end || *m_at != '"') throw Unsure{};
  const char* const begin = m_at + 1;
  const char* const end =
      static_cast<const char*>(std::memchr(begin, '"', std::size_t(m_end - begin)));
  if (!end) throw Unsure{};
  const auto size = std::size_t(end - begin);
  // Open addressing, FNV-1a; a key seen before has been checked already.
  quint32 hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ uchar(begin[i])) * 16777619u;
  std::size_t slot = hash % m_knownKeys.size();
  for (; m_knownKeys[slot].bytes; slot = (slot + 1) % m_knownKeys.size()) {
    const KnownKey& known = m_knownKeys[slot];
    if (known.size == size && std::memcmp(known.bytes, begin, size) == 0) {
      m_at = end + 1;
      return known.string;
    }
  }
  m_tree.m_strings.push_back(string(true));
  const auto name = Index(m_tree.m_strings.size() - 1);
  // Half full at most, so a search always meets an empty slot soon.
  if (m_knownKeyCount < m_knownKeys.size() / 2) {
    m_knownKeys[slot] = {begin, size, name};
    ++m_knownKeyCount;
  }
  return name;
}

void JsonParser::sortMembers(std::size_t first) {
  const auto begin = m_openMembers.begin() + std::ptrdiff_t(first);
  const auto end = m_openMembers.end();
  const auto& strings = m_tree.m_strings;
  const auto before = [&strings](const JsonTree::Member& a, const JsonTree::Member& b) {
    return JsonTree::keyBefore(strings[a.key], strings[b.key]);
  };
  const auto notBefore = [&before](const JsonTree::Member& a, const JsonTree::Member& b) {
    return !before(a, b);
  };
  if (std::adjacent_find(begin, end, notBefore) == end) return;
  std::stable_sort(begin, end, before);
  // Of members with one key, Qt keeps the last.
  auto kept = begin;
  for (auto it = begin; it != end; ++it)
    if (std::next(it) == end || strings[it->key] != strings[std::next(it)->key]) *kept++ = *it;
  m_openMembers.erase(kept, end);
}

void JsonParser::expect(char c) {
  if (m_at == m_end || *m_at != c) throw Unsure{};
  ++m_at;
}

}  // namespace pf

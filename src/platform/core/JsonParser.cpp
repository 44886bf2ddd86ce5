#include "platform/core/JsonParser.h"

#include "platform/core/JsonDocument.h"
#include "platform/core/TextHash.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pf {
namespace {

// Texts up to this many bytes are decoded once per document, however often they occur.
constexpr std::size_t sharedTextLength = 256;
// Beyond this many different ones, further texts are decoded each time.
constexpr std::size_t largestKnownTexts = std::size_t(1) << 20;

/// Whether the well-formed UTF-8 `text` holds a character beyond U+FFFF, which
/// takes four bytes, led by 0xF0 or above.
bool beyondBasicPlane(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return uchar(c) >= 0xF0; });
}

/// Whether the well-formed UTF-8 `text` holds U+00C3, encoded C3 83. Qt's
/// comparison of UTF-8 with UTF-16 takes that lead byte for the UTF-16 unit
/// of the same value, so it cannot find a long key holding the character.
bool holdsCapitalAWithTilde(std::string_view text) { return text.find("\xC3\x83") != std::string_view::npos; }

}  // namespace

JsonParser::JsonParser(std::size_t bytes) : m_knownTexts(1024) {
  // Growing the vectors step by step costs more than space reserved and never touched.
  m_tree.m_nodes.reserve(bytes / 16);
  m_tree.m_strings.reserve(bytes / 32);
  m_tree.m_items.reserve(bytes / 64);
  m_tree.m_members.reserve(bytes / 32);
}

std::optional<JsonTree> JsonParser::parse(const QByteArray& bytes) {
  // Nodes are counted in 32 bits, and a node takes at least one byte.
  if (bytes.size() > std::numeric_limits<qint32>::max()) return std::nullopt;
  try {
    const JsonDocument document(bytes);
    const simdjson::dom::element root = document.root();
    if (!(root.is_object() || root.is_array())) return std::nullopt;
    JsonParser parser(std::size_t(bytes.size()));
    parser.value(root, 0);
    return std::move(parser.m_tree);
  } catch (const JsonUnsure&) {
  }
  return std::nullopt;
}

JsonTree::Index JsonParser::value(const simdjson::dom::element& element, int depth) {
  using Type = simdjson::dom::element_type;
  switch (element.type()) {
    case Type::OBJECT: return object(element, depth + 1);
    case Type::ARRAY: return array(element, depth + 1);
    case Type::STRING: return string(element.get_string().value_unsafe());
    case Type::INT64: return m_tree.add(JsonTree::Kind::integer, element.get_int64().value_unsafe());
    case Type::UINT64:
      // Only integers past the signed range come as unsigned; Qt keeps them as doubles.
      return m_tree.addNumber(double(element.get_uint64().value_unsafe()));
    case Type::DOUBLE: return number(element.get_double().value_unsafe());
    case Type::BOOL: return m_tree.add(JsonTree::Kind::boolean, element.get_bool().value_unsafe());
    case Type::NULL_VALUE: break;
  }
  return m_tree.add(JsonTree::Kind::null);
}

template <typename Entry>
JsonTree::Index JsonParser::keep(Index node, std::vector<Entry>& open, std::size_t first, std::vector<Entry>& kept) {
  JsonTree::Node& held = m_tree.m_nodes[node];
  held.first = Index(kept.size());
  held.size = quint32(open.size() - first);
  kept.insert(kept.end(), open.begin() + std::ptrdiff_t(first), open.end());
  open.resize(first);
  return node;
}

JsonTree::Index JsonParser::array(const simdjson::dom::element& element, int depth) {
  if (depth > JsonDocument::deepestNesting) throw JsonUnsure{};
  const Index node = m_tree.add(JsonTree::Kind::array);
  const std::size_t first = m_openItems.size();
  const simdjson::dom::array items = element.get_array().value_unsafe();
  for (const simdjson::dom::element item : items) m_openItems.push_back(value(item, depth));
  return keep(node, m_openItems, first, m_tree.m_items);
}

JsonTree::Index JsonParser::object(const simdjson::dom::element& element, int depth) {
  if (depth > JsonDocument::deepestNesting) throw JsonUnsure{};
  const Index node = m_tree.add(JsonTree::Kind::object);
  const std::size_t first = m_openMembers.size();
  const simdjson::dom::object members = element.get_object().value_unsafe();
  for (const simdjson::dom::key_value_pair member : members) {
    const Index name = key(member.key);
    m_openMembers.push_back({name, value(member.value, depth)});
  }
  sortMembers(first);
  return keep(node, m_openMembers, first, m_tree.m_members);
}

JsonTree::Index JsonParser::number(double number) {
  // Qt refuses what underflows to zero. Subnormal numbers, and zero spelled with
  // a fraction or exponent, are left to it too rather than told from an underflow here.
  if (!(std::abs(number) >= std::numeric_limits<double>::min())) throw JsonUnsure{};
  // Like Qt, a whole number that fits in 64 bits is kept as an integer, whatever its spelling.
  constexpr double twoToThe63 = 9223372036854775808.0;
  if (number >= -twoToThe63 && number < twoToThe63 && std::trunc(number) == number)
    return m_tree.add(JsonTree::Kind::integer, qint64(number));
  return m_tree.addNumber(number);
}

JsonTree::Index JsonParser::string(std::string_view text) {
  // Qt drops a byte order mark that starts a text; escaped or not, such a text is left to it.
  if (JsonDocument::startsWithByteOrderMark(text)) throw JsonUnsure{};
  const Index node = m_tree.add(JsonTree::Kind::string);
  m_tree.m_nodes[node].first = decoded(text);
  return node;
}

JsonTree::Index JsonParser::key(std::string_view name) {
  // Qt orders and finds keys with characters beyond U+FFFF inconsistently.
  if (JsonDocument::startsWithByteOrderMark(name) || beyondBasicPlane(name) || holdsCapitalAWithTilde(name))
    throw JsonUnsure{};
  return decoded(name);
}

JsonParser::KnownText* JsonParser::knownText(std::string_view text) {
  const auto hash = quint32(TextHash{}(text));
  KnownText* known = slotOf(text, hash);
  if (known->text.data()) return known;
  // Half full at most, so a search always meets an empty slot soon.
  if (m_knownTextCount >= m_knownTexts.size() / 2) {
    if (m_knownTexts.size() >= largestKnownTexts) return nullptr;
    std::vector<KnownText> kept(m_knownTexts.size() * 2);
    std::swap(kept, m_knownTexts);
    for (const KnownText& entry : kept)
      if (entry.text.data()) *slotOf(entry.text, entry.hash) = entry;
    known = slotOf(text, hash);
  }
  ++m_knownTextCount;
  *known = {text, hash, Index(m_tree.m_strings.size())};
  m_tree.m_strings.push_back(QString::fromUtf8(QByteArrayView(text.data(), qsizetype(text.size()))));
  return known;
}

JsonParser::KnownText* JsonParser::slotOf(std::string_view text, quint32 hash) {
  for (std::size_t slot = hash % m_knownTexts.size();; slot = (slot + 1) % m_knownTexts.size()) {
    KnownText& known = m_knownTexts[slot];
    if (!known.text.data() || (known.hash == hash && known.text == text)) return &known;
  }
}

JsonTree::Index JsonParser::decoded(std::string_view text) {
  // Keys and short texts such as ids recur (a journal repeats each reminder in
  // its occurrences): they are decoded once and shared. Hashing long texts
  // would cost more than it saves.
  if (text.size() <= sharedTextLength) {
    if (const KnownText* known = knownText(text)) return known->string;
  }
  m_tree.m_strings.push_back(JsonDocument::decoded(text));
  return Index(m_tree.m_strings.size() - 1);
}

void JsonParser::sortMembers(std::size_t first) {
  const auto begin = m_openMembers.begin() + std::ptrdiff_t(first);
  const auto end = m_openMembers.end();
  const auto& strings = m_tree.m_strings;
  const auto before = [&strings](const JsonTree::Member& a, const JsonTree::Member& b) {
    return JsonTree::keyBefore(strings[a.key], strings[b.key]);
  };
  const auto notBefore = [&before](const JsonTree::Member& a, const JsonTree::Member& b) { return !before(a, b); };
  if (std::adjacent_find(begin, end, notBefore) == end) return;
  std::stable_sort(begin, end, before);
  // Of members with one key, Qt keeps the last.
  auto kept = begin;
  for (auto it = begin; it != end; ++it)
    if (std::next(it) == end || strings[it->key] != strings[std::next(it)->key]) *kept++ = *it;
  m_openMembers.erase(kept, end);
}

}  // namespace pf

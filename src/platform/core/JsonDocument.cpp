#include "platform/core/JsonDocument.h"

#include "platform/core/FileDescriptor.h"
#include "platform/core/TextHash.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace pf {
namespace {

static_assert(FileDescriptor::readAhead >= qsizetype(simdjson::SIMDJSON_PADDING),
              "files are read with the room simdjson reads past the end");

}  // namespace

JsonDocument::JsonDocument(const QByteArray& bytes) {
  const std::string_view text(bytes.constData(), std::size_t(bytes.size()));
  if (startsWithByteOrderMark(text)) throw JsonUnsure{};
  // simdjson is let go one level deeper than Qt, so that Qt's own limit is what refuses.
  if (m_parser.allocate(text.size(), deepestNesting + 1) != simdjson::SUCCESS) throw JsonUnsure{};
  // simdjson reads a little past the end; bytes read from a file leave room for it, others are copied.
  const bool padded = bytes.capacity() - bytes.size() >= qsizetype(simdjson::SIMDJSON_PADDING);
  if (m_parser.parse(text.data(), text.size(), !padded).get(m_root) != simdjson::SUCCESS) throw JsonUnsure{};
}

JsonDocument::Object JsonDocument::object(Field field) {
  Object object;
  if (require(field).get(object) != simdjson::SUCCESS) throw JsonUnsure{};
  return object;
}

JsonDocument::Array JsonDocument::array(Field field) {
  Array array;
  if (require(field).get(array) != simdjson::SUCCESS) throw JsonUnsure{};
  return array;
}

qint64 JsonDocument::integer(Field field) {
  // Whole numbers spelled with a fraction or exponent, and those past 64 bits,
  // are left to the strict readers, which know Qt's reading of them.
  if (!require(field).is_int64()) throw JsonUnsure{};
  return field->get_int64().value_unsafe();
}

double JsonDocument::number(Field field) {
  const Value value = require(field);
  switch (value.type()) {
    case simdjson::dom::element_type::INT64: return double(value.get_int64().value_unsafe());
    case simdjson::dom::element_type::UINT64:
      // Only integers past the signed range come as unsigned; Qt keeps them as doubles.
      return double(value.get_uint64().value_unsafe());
    case simdjson::dom::element_type::DOUBLE: break;
    default: throw JsonUnsure{};
  }
  const double number = value.get_double().value_unsafe();
  // Qt refuses what underflows to zero; it is left to Qt to tell that from a
  // zero spelled with a fraction or a subnormal number.
  if (!(std::abs(number) >= std::numeric_limits<double>::min())) throw JsonUnsure{};
  return number;
}

bool JsonDocument::boolean(Field field) {
  bool value = false;
  if (require(field).get(value) != simdjson::SUCCESS) throw JsonUnsure{};
  return value;
}

std::vector<qint64> JsonDocument::integers(Field field) {
  const Array items = array(field);
  std::vector<qint64> values;
  values.reserve(items.size());
  for (const Value item : items) values.push_back(integer(item));
  return values;
}

QString JsonDocument::string(Field field) {
  std::string_view text;
  if (require(field).get(text) != simdjson::SUCCESS) throw JsonUnsure{};
  // Qt drops a byte order mark that starts a text.
  if (startsWithByteOrderMark(text)) throw JsonUnsure{};
  return decoded(text);
}

QString JsonDocument::sharedString(Field field) {
  std::string_view text;
  if (require(field).get(text) != simdjson::SUCCESS) throw JsonUnsure{};
  const auto hash = quint32(TextHash{}(text));
  KnownText* known = &slotOf(text, hash);
  if (known->text.data()) return m_sharedTexts[known->index];
  QString fresh = string(field);
  if (m_sharedTexts.size() >= m_knownTexts.size() / 2) {
    std::vector<KnownText> kept(m_knownTexts.size() * 2);
    std::swap(kept, m_knownTexts);
    for (const KnownText& entry : kept)
      if (entry.text.data()) slotOf(entry.text, entry.hash) = entry;
    known = &slotOf(text, hash);
  }
  *known = {text, hash, quint32(m_sharedTexts.size())};
  m_sharedTexts.push_back(fresh);
  return fresh;
}

bool JsonDocument::same(Value first, Value second) {
  using Kind = simdjson::dom::element_type;
  if (first.type() != second.type()) return false;
  switch (first.type()) {
    case Kind::OBJECT: return same(first.get_object().value_unsafe(), second.get_object().value_unsafe());
    case Kind::ARRAY: return same(first.get_array().value_unsafe(), second.get_array().value_unsafe());
    case Kind::STRING: return first.get_string().value_unsafe() == second.get_string().value_unsafe();
    case Kind::INT64: return first.get_int64().value_unsafe() == second.get_int64().value_unsafe();
    case Kind::UINT64: return first.get_uint64().value_unsafe() == second.get_uint64().value_unsafe();
    // Bit for bit, so that zero and negative zero stay apart.
    case Kind::DOUBLE:
      return std::bit_cast<quint64>(first.get_double().value_unsafe()) ==
             std::bit_cast<quint64>(second.get_double().value_unsafe());
    case Kind::BOOL: return first.get_bool().value_unsafe() == second.get_bool().value_unsafe();
    case Kind::NULL_VALUE: return true;
  }
  return false;
}

bool JsonDocument::same(Object first, Object second) {
  return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                    [](const simdjson::dom::key_value_pair& one, const simdjson::dom::key_value_pair& other) {
                      return one.key == other.key && same(one.value, other.value);
                    });
}

bool JsonDocument::same(Array first, Array second) {
  return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                    [](Value one, Value other) { return same(one, other); });
}

JsonDocument::KnownText& JsonDocument::slotOf(std::string_view text, quint32 hash) {
  const std::size_t mask = m_knownTexts.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    KnownText& known = m_knownTexts[slot];
    if (!known.text.data() || (known.hash == hash && known.text == text)) return known;
  }
}

QString JsonDocument::decoded(std::string_view text) {
  QString decoded = QString::fromUtf8(QByteArrayView(text.data(), qsizetype(text.size())));
  // Decoding reserves a code unit for every byte; texts of many multi-byte characters give the rest back.
  if (decoded.capacity() - decoded.size() > decoded.size() / 8) decoded.squeeze();
  return decoded;
}

}  // namespace pf

#include "platform/core/JsonDocument.h"

#include "platform/core/FileDescriptor.h"
#include "platform/core/TextHash.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <tmmintrin.h>
#endif

namespace pf {
namespace {

static_assert(FileDescriptor::readAhead >= qsizetype(simdjson::SIMDJSON_PADDING),
              "files are read with the room simdjson reads past the end");

using Byte = unsigned char;

/// Decodes the character of more than one byte at `in` into `out`; returns
/// past it. The text is well-formed UTF-8: simdjson has checked all of it.
const Byte* decodeMultiByte(const Byte* in, char16_t*& out) {
  const char32_t lead = in[0];
  if (lead < 0xE0) {
    *out++ = char16_t((lead & 0x1F) << 6 | (in[1] & 0x3F));
    return in + 2;
  }
  if (lead < 0xF0) {
    *out++ = char16_t((lead & 0x0F) << 12 | (in[1] & 0x3F) << 6 | (in[2] & 0x3F));
    return in + 3;
  }
  const char32_t c = (lead & 0x07) << 18 | (in[1] & 0x3F) << 12 | (in[2] & 0x3F) << 6 | (in[3] & 0x3F);
  *out++ = QChar::highSurrogate(c);
  *out++ = QChar::lowSurrogate(c);
  return in + 4;
}

#if defined(__SSE2__)
/// For each way eight units may be kept or dropped, the shuffle that moves
/// the kept ones to the front, and how many they are.
struct Compaction {
  std::array<std::array<Byte, 16>, 256> shuffles{};
  std::array<Byte, 256> counts{};

  constexpr Compaction() {
    for (unsigned keep = 0; keep < 256; ++keep) {
      std::array<Byte, 16>& shuffle = shuffles[keep];
      shuffle.fill(0x80);
      Byte kept = 0;
      for (Byte lane = 0; lane < 8; ++lane) {
        if (!(keep & (1u << lane))) continue;
        shuffle[2 * kept] = Byte(2 * lane);
        shuffle[2 * kept + 1] = Byte(2 * lane + 1);
        ++kept;
      }
      counts[keep] = kept;
    }
  }
};
constexpr Compaction compaction;

/// The units of eight bytes: each byte widened, or where `leads` are set, the
/// character a two-byte lead and the byte after it spell.
__m128i unitsOf(__m128i lead, __m128i after, __m128i leads) {
  const __m128i pair = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(lead, _mm_set1_epi16(0x1F)), 6),
                                    _mm_and_si128(after, _mm_set1_epi16(0x3F)));
  return _mm_or_si128(_mm_and_si128(leads, pair), _mm_andnot_si128(leads, lead));
}

/// Stores the units of `units` that `keep` marks, packed; returns past them.
[[gnu::target("ssse3")]] char16_t* storeKept(char16_t* out, __m128i units, unsigned keep) {
  const auto* shuffle = reinterpret_cast<const __m128i*>(compaction.shuffles[keep].data());
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(units, _mm_loadu_si128(shuffle)));
  return out + compaction.counts[keep];
}

/// Decodes the sixteen bytes at `in` at once when every character in them
/// takes one byte or two, as letters of most European languages do, and none
/// is cut at their end; returns past what it wrote, or nothing.
[[gnu::target("ssse3")]] char16_t* decodePairs(const Byte* in, char16_t* out) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 1));
  const __m128i leadLanes = _mm_cmpeq_epi8(_mm_and_si128(block, _mm_set1_epi8(char(0xE0))), _mm_set1_epi8(char(0xC0)));
  const auto leads = unsigned(_mm_movemask_epi8(leadLanes));
  const auto high = unsigned(_mm_movemask_epi8(block));
  // Well-formed UTF-8 with no longer character follows each lead by exactly one continuation.
  if ((high & ~leads) != leads << 1) return nullptr;
  const __m128i zero = _mm_setzero_si128();
  const unsigned keep = ~(leads << 1) & 0xFFFF;
  out = storeKept(
      out,
      unitsOf(_mm_unpacklo_epi8(block, zero), _mm_unpacklo_epi8(after, zero), _mm_unpacklo_epi8(leadLanes, leadLanes)),
      keep & 0xFF);
  return storeKept(
      out,
      unitsOf(_mm_unpackhi_epi8(block, zero), _mm_unpackhi_epi8(after, zero), _mm_unpackhi_epi8(leadLanes, leadLanes)),
      keep >> 8);
}

/// Whether the processor shuffles bytes (SSSE3), which packing decoded pairs
/// takes. Asked while static objects are made, so the features are read first.
const bool shufflesBytes = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
#endif

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
  // As Qt's own decoding does.
  if (startsWithByteOrderMark(text)) text.remove_prefix(3);
  // No character takes fewer bytes in UTF-8 than units in UTF-16.
  QString decoded(qsizetype(text.size()), Qt::Uninitialized);
  char16_t* const begin = reinterpret_cast<char16_t*>(decoded.data());
  char16_t* out = begin;
  auto in = reinterpret_cast<const Byte*>(text.data());
  const Byte* const end = in + text.size();
#if defined(__SSE2__)
  // Sixteen bytes at a time (the pairs read one more) while they are ASCII,
  // written out whole: the units past the first byte that is not are written again.
  while (end - in > 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, _mm_setzero_si128()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, _mm_setzero_si128()));
    const auto high = unsigned(_mm_movemask_epi8(block));
    if (high == 0) {
      in += 16;
      out += 16;
      continue;
    }
    if (char16_t* const past = shufflesBytes ? decodePairs(in, out) : nullptr) {
      in += 16;
      out = past;
      continue;
    }
    const int plain = std::countr_zero(high);
    out += plain;
    in = decodeMultiByte(in + plain, out);
  }
#endif
  while (in < end) {
    if (*in < 0x80)
      *out++ = *in++;
    else
      in = decodeMultiByte(in, out);
  }
  decoded.truncate(out - begin);
  // Texts of many multi-byte characters give the spare room back.
  if (decoded.capacity() - decoded.size() > decoded.size() / 8) decoded.squeeze();
  return decoded;
}

}  // namespace pf

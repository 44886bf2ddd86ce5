#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>
#include <simdjson.h>
#include <string_view>
#include <type_traits>
#include <vector>

namespace pf {

/// Thrown by a `JsonDocument` on anything it cannot be certain the strict
/// readers (`JsonObjectReader`) would read to the same values; the caller
/// then reads the bytes with those, which decide and word any refusal.
struct JsonUnsure {};

/// Plain JSON text read by simdjson, for decoders of large files that walk it
/// straight into their values with no tree in between. The text is held to
/// the rules of `JsonParser`: what it reads, Qt reads to the same values.
/// Reads take only the exact kind asked for (an integer is only an integer
/// spelled as one) and throw `JsonUnsure` on anything else, a missing field
/// among it.
class JsonDocument final {
 public:
  using Value = simdjson::dom::element;
  using Object = simdjson::dom::object;
  using Array = simdjson::dom::array;
  /// A member's value as `fields` finds it: nothing when the key is missing.
  using Field = std::optional<Value>;

  /// Reads `bytes`; throws `JsonUnsure` when simdjson refuses them or they
  /// start with a byte order mark (Qt drops it).
  explicit JsonDocument(const QByteArray& bytes);
  JsonDocument(const JsonDocument&) = delete;
  JsonDocument& operator=(const JsonDocument&) = delete;

  /// The top value.
  Value root() const { return m_root; }
  /// The top value, which must be an object.
  Object top() const { return object(m_root); }

  /// The value of each of `keys`, in their order: of a repeated key the last,
  /// as Qt keeps it. Any other key is unsure. Members written in the order of
  /// `keys` are found fastest.
  template <std::size_t count>
  static std::array<Field, count> fields(Object object, const std::array<std::string_view, count>& keys);

  static Object object(Field field);
  static Array array(Field field);
  static qint64 integer(Field field);
  /// Any number: the double Qt reads for it.
  static double number(Field field);
  static bool boolean(Field field);
  /// An array of integers.
  static std::vector<qint64> integers(Field field);
  /// An array of objects, each read into a value by `read`.
  template <typename Read>
  static std::vector<std::invoke_result_t<Read, Object>> objects(Field field, Read read);
  /// A text, decoded.
  static QString string(Field field);
  /// A text decoded once per document: a name or id that recurs is one shared string.
  QString sharedString(Field field);
  /// Whether the field is there and not null, for keys where null means missing.
  static bool isPresent(Field field) { return field && !field->is_null(); }
  /// Whether two values hold the same: the same kinds, keys in the same
  /// order, equal texts and numbers bit for bit. Such values read alike, so
  /// a decoder may reuse what it read from the first for the second.
  static bool same(Value first, Value second);
  static bool same(Object first, Object second);
  static bool same(Array first, Array second);

  /// Qt refuses a document nested deeper than this.
  static constexpr int deepestNesting = 1024;
  /// Qt drops a byte order mark that starts a document or a text.
  static bool startsWithByteOrderMark(std::string_view text) { return text.starts_with("\xEF\xBB\xBF"); }
  /// Well-formed UTF-8 decoded as `QString::fromUtf8` decodes it, keeping no
  /// spare room beyond an eighth.
  static QString decoded(std::string_view text);

 private:
  static Value require(Field field) {
    if (!field) throw JsonUnsure{};
    return *field;
  }

  /// A text met before: the view points into the parser's own copy. Kept
  /// small, as the table is searched at random.
  struct KnownText {
    std::string_view text;
    quint32 hash = 0;
    /// Its place in `m_sharedTexts`.
    quint32 index = 0;
  };
  /// The slot holding `text`, or the empty one where it belongs (open addressing).
  KnownText& slotOf(std::string_view text, quint32 hash);

  simdjson::dom::parser m_parser;
  Value m_root;
  /// Half full at most, so a search soon meets an empty slot; the size is a power of two.
  std::vector<KnownText> m_knownTexts = std::vector<KnownText>(256);
  std::vector<QString> m_sharedTexts;
};

template <std::size_t count>
std::array<JsonDocument::Field, count> JsonDocument::fields(Object object,
                                                            const std::array<std::string_view, count>& keys) {
  std::array<Field, count> found;
  std::size_t next = 0;
  for (const simdjson::dom::key_value_pair member : object) {
    // Files this program wrote hold their keys in the order asked for.
    if (next >= count || member.key != keys[next]) {
      next = 0;
      while (next < count && member.key != keys[next]) ++next;
      if (next == count) throw JsonUnsure{};
    }
    found[next++] = member.value;
  }
  return found;
}

template <typename Read>
std::vector<std::invoke_result_t<Read, JsonDocument::Object>> JsonDocument::objects(Field field, Read read) {
  const Array items = array(field);
  std::vector<std::invoke_result_t<Read, Object>> values;
  values.reserve(items.size());
  for (const Value item : items) values.push_back(read(object(item)));
  return values;
}

}  // namespace pf

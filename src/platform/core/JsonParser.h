#pragma once

#include "platform/core/JsonTree.h"

#include <QByteArray>
#include <optional>
#include <string_view>
#include <vector>

namespace simdjson::dom {
class element;
}

namespace pf {

/// Builds a JsonTree from plain JSON text. simdjson reads the text: strict
/// grammar, well-formed UTF-8, standard escapes with paired surrogates, no
/// raw control characters, exact integers and correctly rounded numbers.
/// Of what it reads, this keeps only what it is certain Qt reads to the same
/// values: no text or key starting with a byte order mark (Qt drops the
/// mark), no key beyond U+FFFF (Qt orders and finds those inconsistently) or
/// holding U+00C3 (Qt cannot find a long one), no
/// number that underflows (Qt refuses it) or is beyond 64-bit integers,
/// nesting within Qt's limit. Anything else, invalid text among it, gives
/// nothing, and the caller lets Qt decide and word the error.
class JsonParser final {
 public:
  static std::optional<JsonTree> parse(const QByteArray& bytes);

 private:
  using Index = JsonTree::Index;

  explicit JsonParser(std::size_t bytes);

  Index value(const simdjson::dom::element& element, int depth);
  Index array(const simdjson::dom::element& element, int depth);
  Index object(const simdjson::dom::element& element, int depth);
  /// Moves the finished container's entries from `open`, from `first` on, to the tree's `kept`.
  template <typename Entry>
  Index keep(Index node, std::vector<Entry>& open, std::size_t first, std::vector<Entry>& kept);
  Index number(double number);
  Index string(std::string_view text);
  /// The key's index in the tree's strings.
  Index key(std::string_view name);
  /// The index in the tree's strings of `text`, decoded, or of the same text met before.
  Index decoded(std::string_view text);
  void sortMembers(std::size_t first);

  JsonTree m_tree;
  /// Items and members of the containers being read, innermost last.
  std::vector<Index> m_openItems;
  std::vector<JsonTree::Member> m_openMembers;
  /// A text met earlier, so a repeated key or short text is decoded once and
  /// shared; the view points into the parsed document, which outlives the parser.
  struct KnownText {
    std::string_view text;
    quint32 hash = 0;
    Index string = 0;
  };
  /// The entry of `text`, made when new; nothing when the table is full.
  KnownText* knownText(std::string_view text);
  /// Open addressing: the slot holding `text`, or the empty one where it belongs.
  KnownText* slotOf(std::string_view text, quint32 hash);

  std::vector<KnownText> m_knownTexts;
  std::size_t m_knownTextCount = 0;
};

}  // namespace pf

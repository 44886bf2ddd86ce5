#pragma once

#include "platform/core/JsonTree.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <vector>

namespace pf {

/// Builds a JsonTree from plain JSON text in one pass. It reads only what it
/// is certain Qt reads to the same values: standard grammar, well-formed
/// UTF-8, standard escapes with paired surrogates, no raw control characters,
/// keys without escapes or characters beyond U+FFFF (Qt orders those keys
/// inconsistently), numbers Qt converts without overflow or underflow, and
/// nesting within Qt's limit. Anything else, invalid text among it, gives
/// nothing, and the caller lets Qt decide and word the error.
class JsonParser final {
 public:
  static std::optional<JsonTree> parse(const QByteArray& bytes);

 private:
  using Index = JsonTree::Index;
  /// A key met earlier, so a repeated key is decoded once.
  struct KnownKey {
    const char* bytes = nullptr;
    std::size_t size = 0;
    Index string = 0;
  };

  JsonParser(const char* begin, const char* end) : m_at(begin), m_end(end) {}

  void reserveFor(std::size_t bytes);
  Index value(int depth);
  Index array(int depth);
  Index object(int depth);
  /// Reads the entries of the container opening at `m_at`, each by `entry`, up to its `close`.
  template <typename Entry>
  void entries(char close, Entry entry);
  /// Moves the finished container's entries from `open`, from `first` on, to the tree's `kept`.
  template <typename Entry>
  Index keep(Index node, std::vector<Entry>& open, std::size_t first, std::vector<Entry>& kept);
  Index literal(const char* word, JsonTree::Kind kind, qint64 payload);
  Index number();
  /// The string whose opening quote is at `m_at`, decoded.
  QString string(bool isKey);
  Index key();
  void sortMembers(std::size_t first);
  void skipSpace();
  /// Moves past `c`, which must come next.
  void expect(char c);

  const char* m_at;
  const char* m_end;
  JsonTree m_tree;
  /// Items and members of the containers being read, innermost last.
  std::vector<Index> m_openItems;
  std::vector<JsonTree::Member> m_openMembers;
  std::array<KnownKey, 1024> m_knownKeys{};
  std::size_t m_knownKeyCount = 0;
};

}  // namespace pf

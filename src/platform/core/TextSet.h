#pragma once

#include <QStringView>
#include <cstddef>
#include <functional>
#include <vector>

namespace pf {

/// Texts seen, for telling repeats among many: ids checked by a file's
/// validation. The texts are looked at, not copied, and must outlive the set.
/// Each is hashed once by `TextHash`, and only texts of equal hash are
/// compared, so a check reads no text but its own: thousands of ids no longer
/// in the cache cost a miss each rather than one for every neighbour met.
class TextSet final {
 public:
  /// Room for `expected` texts before the set grows.
  explicit TextSet(std::size_t expected = 0);

  /// Adds `text`; false when an equal text is in already.
  bool insert(QStringView text);
  bool contains(QStringView text) const;

  /// Whether every text `keyOf` gives of `values` (ids of a file's entries) is
  /// distinct; the texts are looked at, not copied.
  template <typename Values, typename Key = std::identity>
  static bool allDistinct(const Values& values, Key keyOf = {}) {
    TextSet seen(values.size());
    for (const auto& value : values)
      if (!seen.insert(std::invoke(keyOf, value))) return false;
    return true;
  }

 private:
  struct Slot {
    std::size_t hash = 0;
    const QChar* data = nullptr;
    /// Negative while the slot is free.
    qsizetype size = -1;
  };

  /// The place of the slot holding `text`, or of the free one where it belongs (open addressing).
  std::size_t placeOf(QStringView text, std::size_t hash) const;
  void grow();

  /// Half full at most, so a search soon meets a free slot; the size is a power of two.
  std::vector<Slot> m_slots;
  std::size_t m_count = 0;
};

}  // namespace pf

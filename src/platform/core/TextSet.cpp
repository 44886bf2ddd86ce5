#include "platform/core/TextSet.h"

#include "platform/core/TextHash.h"

#include <algorithm>
#include <bit>

namespace pf {

TextSet::TextSet(std::size_t expected) : m_slots(std::bit_ceil(std::max<std::size_t>(2 * expected, 16))) {}

bool TextSet::insert(QStringView text) {
  if (2 * (m_count + 1) > m_slots.size()) grow();
  const std::size_t hash = TextHash{}(text);
  Slot& slot = m_slots[placeOf(text, hash)];
  if (slot.size >= 0) return false;
  slot = {hash, text.data(), text.size()};
  ++m_count;
  return true;
}

bool TextSet::contains(QStringView text) const { return m_slots[placeOf(text, TextHash{}(text))].size >= 0; }

std::size_t TextSet::placeOf(QStringView text, std::size_t hash) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = m_slots[at];
    if (slot.size < 0 || (slot.hash == hash && QStringView(slot.data, slot.size) == text)) return at;
  }
}

void TextSet::grow() {
  std::vector<Slot> kept(m_slots.size() * 2);
  std::swap(kept, m_slots);
  const std::size_t mask = m_slots.size() - 1;
  for (const Slot& slot : kept) {
    if (slot.size < 0) continue;
    std::size_t at = slot.hash & mask;
    while (m_slots[at].size >= 0) at = (at + 1) & mask;
    m_slots[at] = slot;
  }
}

}  // namespace pf

#pragma once

#include "platform/gfx/Path.h"

#include <cstddef>
#include <deque>

namespace pf {

/// What is worked out of a path, kept for the recent paths: the renderer
/// asks the same of one path frame after frame (an orbit followed, a vine
/// trimmed). Each entry holds its path, so the storage it is keyed by stays
/// alive; a value stays where it is until 256 newer ones push it out.
template <typename Value>
class RecentByPath final {
 public:
  template <typename Make>
  const Value& of(const Path& path, Make make) {
    for (const Entry& e : m_entries) {
      if (e.path.storageIdentity() == path.storageIdentity()) return e.value;
    }
    if (m_entries.size() >= kept) m_entries.pop_front();
    m_entries.push_back({path, make(path)});
    return m_entries.back().value;
  }

 private:
  static constexpr std::size_t kept = 256;
  struct Entry {
    Path path;
    Value value;
  };
  std::deque<Entry> m_entries;
};

}  // namespace pf

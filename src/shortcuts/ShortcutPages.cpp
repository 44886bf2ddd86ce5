#include "shortcuts/ShortcutPages.h"

#include <algorithm>

namespace {

std::vector<Shortcut> activeOf(const std::vector<Shortcut>& shortcuts) {
  std::vector<Shortcut> active;
  std::copy_if(shortcuts.begin(), shortcuts.end(), std::back_inserter(active),
               [](const Shortcut& s) { return s.isActive; });
  return active;
}

int pageCount(std::ptrdiff_t activeCount, int capacity) {
  return std::max(1, int((activeCount + capacity - 1) / capacity));
}

}  // namespace

namespace ShortcutPages {

int count(const std::vector<Shortcut>& shortcuts, int capacity) {
  return pageCount(std::ssize(activeOf(shortcuts)), std::max(capacity, 1));
}

std::vector<Shortcut> items(const std::vector<Shortcut>& shortcuts, int page, int capacity) {
  const int size = std::max(capacity, 1);
  std::vector<Shortcut> active = activeOf(shortcuts);
  const int first = std::clamp(page, 0, pageCount(std::ssize(active), size) - 1) * size;
  const int last = std::min(first + size, int(active.size()));
  return {active.begin() + first, active.begin() + last};
}

}  // namespace ShortcutPages

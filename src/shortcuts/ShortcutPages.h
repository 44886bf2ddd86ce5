#pragma once

#include "shortcuts/Shortcut.h"

#include <vector>

/// The active shortcuts of a list split into pages of a fixed size.
namespace ShortcutPages {

/// Shortcuts on one page.
constexpr int capacity = 12;

/// How many pages the active shortcuts of `shortcuts` fill; at least one. A
/// capacity below one counts as one.
int count(const std::vector<Shortcut>& shortcuts, int capacity = ShortcutPages::capacity);

/// The active shortcuts on `page`, in list order; a page before the first
/// gives the first, one past the last gives the last.
std::vector<Shortcut> items(const std::vector<Shortcut>& shortcuts, int page, int capacity = ShortcutPages::capacity);

}  // namespace ShortcutPages

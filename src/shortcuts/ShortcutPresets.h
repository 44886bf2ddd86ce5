#pragma once

#include "shortcuts/Shortcut.h"

#include <QSet>
#include <QString>
#include <vector>

/// The shortcuts that come with the program. Each table is built once, on
/// first use, and never changes.
namespace ShortcutPresets {

/// The stock catalog a new catalog is seeded with when no older stored shortcut list exists.
const std::vector<Shortcut>& creator();

/// An older, personal catalog; seeded only when a store asks for it.
const std::vector<Shortcut>& legacyPersonal();

/// The ids of both tables (14 distinct ids): a shortcut with one of them is a stock shortcut.
const QSet<QString>& stockIDs();

/// The table a brand-new catalog starts from.
const std::vector<Shortcut>& seed(bool legacyPersonalDefaults);

/// Where the Fizzcast application's desktop entry lies.
QString fizzcastPath();

}  // namespace ShortcutPresets

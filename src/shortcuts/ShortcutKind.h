#pragma once

#include <QString>
#include <optional>

/// What a shortcut's destination names; stored as its raw string.
enum class ShortcutKind { web, application, folder };

/// The stored raw string: "web", "application" or "folder".
QString rawValue(ShortcutKind kind);

/// The kind a raw string names; none for any other string.
std::optional<ShortcutKind> shortcutKind(const QString& raw);

#pragma once

#include <QString>
#include <optional>

/// Which reaction the companion plays when a shortcut opens, chosen from the
/// shortcut's label and destination alone: a video service, a mail program, a
/// browser, a folder of pictures and so on.
class ShortcutReaction final {
 public:
  ShortcutReaction() = delete;

  /// An "action-" reaction name for the first rule that matches, or none (the
  /// callers then play "action-app"). Names are the trimmed lower-case label,
  /// the destination's last path component and that component without its
  /// extension, compared whole; hosts match a listed domain or any subdomain
  /// of it, except the web-mail hosts, which match only exactly.
  static std::optional<QString> role(const QString& label, const QString& destination);
};

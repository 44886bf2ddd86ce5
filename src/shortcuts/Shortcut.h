#pragma once

#include "shortcuts/ShortcutKind.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

namespace pf {
class JsonObjectReader;
}

/// One launcher shortcut, compared field by field.
struct Shortcut {
  /// Unique in its catalog: letters, digits, "-" and "_".
  QString id;
  /// Title shown on the button and in messages.
  QString label;
  /// What `destination` names.
  ShortcutKind kind = ShortcutKind::web;
  /// Web: the URL text; application and folder: an absolute path. Empty when not configured yet.
  QString destination;
  /// Free text; empty when none.
  QString note;
  /// A custom button image reference or the name of a built-in icon.
  std::optional<QString> icon;
  /// Optional group name.
  std::optional<QString> group;
  /// True: on the launcher; false: listed under "Not Active".
  bool isActive = true;

  /// True when the id is one of the stock ids; a stock shortcut can be deactivated but not deleted.
  bool isStock() const;

  /// Reads a shortcut object: "id", "label", "kind", "destination" and "note"
  /// are required; "icon" and "group" absent or null give none; "isActive"
  /// absent or null gives true. Throws `pf::JsonError`.
  static Shortcut fromJson(const pf::JsonObjectReader& object);

  /// Reads a JSON list of shortcut objects. Throws `pf::JsonError`.
  static std::vector<Shortcut> decodeList(const QByteArray& bytes);

  /// The shortcut object; "icon" and "group" only when present.
  QJsonObject json() const;

  bool operator==(const Shortcut&) const = default;
};

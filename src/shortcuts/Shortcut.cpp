#include "shortcuts/Shortcut.h"

#include "platform/core/JsonReader.h"
#include "shortcuts/ShortcutPresets.h"

bool Shortcut::isStock() const { return ShortcutPresets::stockIDs().contains(id); }

Shortcut Shortcut::fromJson(const pf::JsonObjectReader& object) {
  const QString rawKind = object.string(QStringLiteral("kind"));
  const auto kind = ShortcutKind::fromRawValue(rawKind);
  if (!kind)
    throw pf::JsonError(QStringLiteral("\"%1\" is not a kind of shortcut.").arg(rawKind), QStringLiteral("kind"),
                        object.path());
  return {object.string(QStringLiteral("id")),
          object.string(QStringLiteral("label")),
          *kind,
          object.string(QStringLiteral("destination")),
          object.string(QStringLiteral("note")),
          object.optionalString(QStringLiteral("icon"), pf::JsonNull::absent),
          object.optionalString(QStringLiteral("group"), pf::JsonNull::absent),
          object.optionalBoolean(QStringLiteral("isActive"), pf::JsonNull::absent).value_or(true)};
}

std::vector<Shortcut> Shortcut::decodeList(const QByteArray& bytes) {
  std::vector<Shortcut> shortcuts;
  for (const pf::JsonObjectReader& object : pf::JsonArrayReader::parse(bytes).objects())
    shortcuts.push_back(fromJson(object));
  return shortcuts;
}

QJsonObject Shortcut::json() const {
  QJsonObject object{{QStringLiteral("id"), id},
                     {QStringLiteral("label"), label},
                     {QStringLiteral("kind"), kind.rawValue()},
                     {QStringLiteral("destination"), destination},
                     {QStringLiteral("note"), note},
                     {QStringLiteral("isActive"), isActive}};
  if (icon) object.insert(QStringLiteral("icon"), *icon);
  if (group) object.insert(QStringLiteral("group"), *group);
  return object;
}

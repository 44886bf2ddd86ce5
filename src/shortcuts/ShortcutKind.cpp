#include "shortcuts/ShortcutKind.h"

QString rawValue(ShortcutKind kind) {
  switch (kind) {
    case ShortcutKind::web:
      return QStringLiteral("web");
    case ShortcutKind::application:
      return QStringLiteral("application");
    case ShortcutKind::folder:
      break;
  }
  return QStringLiteral("folder");
}

std::optional<ShortcutKind> shortcutKind(const QString& raw) {
  for (ShortcutKind kind : {ShortcutKind::web, ShortcutKind::application, ShortcutKind::folder})
    if (rawValue(kind) == raw) return kind;
  return std::nullopt;
}

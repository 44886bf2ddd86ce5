#pragma once

#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutCatalog.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

/// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace test {

inline Shortcut shortcut(const QString& id, ShortcutKind kind = ShortcutKind::web,
                         const QString& destination = QStringLiteral("https://example.com/")) {
  return {id,  QStringLiteral("Label ") + id, kind, destination, QStringLiteral("A note"), std::nullopt, std::nullopt,
          true};
}

/// A valid catalog of `count` web shortcuts with ids "s0", "s1", ...
inline ShortcutCatalog catalogOf(int count) {
  ShortcutCatalog catalog;
  for (int i = 0; i < count; ++i) catalog.shortcuts.push_back(shortcut(QStringLiteral("s%1").arg(i)));
  return catalog;
}

/// The ids of `list`, in order.
inline QStringList idsOf(const std::vector<Shortcut>& list) {
  QStringList ids;
  for (const Shortcut& s : list) ids << s.id;
  return ids;
}

/// The catalog error `action` throws; fails the test when it throws none.
inline std::optional<CatalogError> catalogErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CatalogError& error) {
    return error;
  }
  ADD_FAILURE() << "no CatalogError was thrown";
  return std::nullopt;
}

/// The sentence of the error `action` throws, or "" when it throws none.
inline QString messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
  return {};
}

}  // namespace test

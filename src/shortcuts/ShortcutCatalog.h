#pragma once

#include "shortcuts/Shortcut.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <map>
#include <optional>
#include <vector>

namespace pf {
class JsonObjectReader;
}

/// The whole shortcut catalog: format version, shortcuts in display order and
/// bookmarks by id. Every catalog passes `validate()` before it is accepted
/// from disk or written to disk.
struct ShortcutCatalog {
  /// The format version this program reads and writes.
  static constexpr int currentVersion = 2;
  /// The most shortcuts a catalog holds; drafts and the editor stop adding there.
  static constexpr int maximumShortcuts = 128;

  int schemaVersion = currentVersion;
  std::vector<Shortcut> shortcuts;
  /// Shortcut id (or another id-shaped key) to the bookmark of a folder or application.
  std::map<QString, QByteArray> bookmarks;

  /// True for 1 to 128 bytes of ASCII letters, digits, "_" and "-".
  static bool validID(const QString& text);

  /// The web address of a web destination: trimmed, http or https, with a
  /// host and without login credentials; none otherwise.
  static std::optional<QUrl> webURL(const QString& text);

  /// Throws `CatalogError` for the first rule the catalog breaks.
  void validate() const;

  /// Decodes and validates the bytes of a catalog file. A version other than 1
  /// or 2 throws `CatalogError::version` before anything else is read.
  static ShortcutCatalog decode(const QByteArray& bytes);

  /// Reads a catalog object without validating it: "schemaVersion" first (a
  /// version other than 1 or 2 throws `CatalogError::version`), then
  /// "shortcuts" and "bookmarks". The result always carries the current version.
  static ShortcutCatalog fromJson(const pf::JsonObjectReader& object);

  /// The catalog object, bookmarks in standard Base64; not validated.
  QJsonObject json() const;

  /// Validates, then encodes: pretty printed, keys sorted, "/" not escaped,
  /// bookmarks in standard Base64. The same catalog always gives the same bytes.
  QByteArray encoded() const;

  bool operator==(const ShortcutCatalog&) const = default;
};

#include "shortcuts/ShortcutCatalog.h"

#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"
#include "platform/core/Text.h"
#include "shortcuts/CatalogError.h"

#include <QJsonArray>
#include <QSet>
#include <algorithm>
#include <iterator>

namespace {

constexpr int maximumIDBytes = 128;
constexpr int maximumLabelCharacters = 100;
constexpr int maximumNoteCharacters = 4096;
constexpr int maximumDestinationBytes = 16384;
constexpr int maximumBookmarkBytes = 1048576;

const QString invalidShortcut = QStringLiteral("A shortcut has an invalid label, destination or icon reference.");

bool isLineBreak(char32_t scalar) {
  static constexpr char32_t breaks[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x85, 0x2028, 0x2029};
  return std::find(std::begin(breaks), std::end(breaks), scalar) != std::end(breaks);
}

// Line-break scalars always begin a user-perceived character of their own
// (CR LF included), so looking at every scalar is the same as looking at the
// first scalar of every character.
bool containsLineBreak(const QString& text) {
  for (char32_t scalar : text.toUcs4())
    if (isLineBreak(scalar)) return true;
  return false;
}

bool hasValidFields(const Shortcut& shortcut) {
  const QString& label = shortcut.label;
  if (pf::Text::trimmed(label).isEmpty()) return false;
  if (pf::Text::characterCount(label) > maximumLabelCharacters) return false;
  if (containsLineBreak(label)) return false;
  if (pf::Text::characterCount(shortcut.note) > maximumNoteCharacters) return false;
  if (shortcut.destination.toUtf8().size() > maximumDestinationBytes) return false;
  if (shortcut.destination.contains(QChar(u'\0'))) return false;
  if (shortcut.group &&
      (shortcut.group->isEmpty() || pf::Text::characterCount(*shortcut.group) > maximumLabelCharacters))
    return false;
  return !shortcut.icon || ShortcutCatalog::validID(*shortcut.icon);
}

void validateDestination(const Shortcut& shortcut) {
  if (shortcut.destination.isEmpty()) return;
  if (shortcut.kind == ShortcutKind::web) {
    if (!ShortcutCatalog::webURL(shortcut.destination))
      throw CatalogError::invalid(shortcut.label +
                                  QStringLiteral(" needs a complete HTTP(S) URL without embedded login credentials."));
  } else if (!shortcut.destination.startsWith(u'/')) {
    throw CatalogError::invalid(shortcut.label + QStringLiteral(" needs an absolute file path."));
  }
}

const QString versionKey = QStringLiteral("schemaVersion");

/// Refuses a catalog object of a format this program cannot read, before anything else is read.
void requireSupportedVersion(const pf::JsonObjectReader& object) {
  const qint64 version = object.integer(versionKey);
  if (version != 1 && version != 2) throw CatalogError::version(version);
}

// The authority part of a URL text, between "//" and the path, query or fragment.
QStringView authority(QStringView url) {
  const qsizetype start = url.indexOf(u"//");
  if (start < 0) return {};
  QStringView rest = url.mid(start + 2);
  qsizetype end = 0;
  while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?' && rest[end] != u'#') ++end;
  return rest.first(end);
}

}  // namespace

bool ShortcutCatalog::validID(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  if (bytes.isEmpty() || bytes.size() > maximumIDBytes) return false;
  for (char c : bytes) {
    const bool allowed =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (!allowed) return false;
  }
  return true;
}

std::optional<QUrl> ShortcutCatalog::webURL(const QString& text) {
  const QString trimmed = pf::Text::trimmed(text);
  if (trimmed.isEmpty()) return std::nullopt;
  for (QChar c : trimmed)
    if (pf::Text::isWhiteSpaceOrNewline(c)) return std::nullopt;
  const QUrl url(trimmed, QUrl::StrictMode);
  if (!url.isValid()) return std::nullopt;
  const QString scheme = url.scheme().toLower();
  if (scheme != u"http" && scheme != u"https") return std::nullopt;
  if (url.host().isEmpty()) return std::nullopt;
  // QUrl cannot tell an empty user name from none, so any "@" in the
  // authority counts as embedded credentials.
  if (!url.userName().isEmpty() || !url.password().isEmpty() || authority(trimmed).contains(u'@')) return std::nullopt;
  return url;
}

void ShortcutCatalog::validate() const {
  if (schemaVersion != currentVersion) throw CatalogError::version(schemaVersion);
  if (shortcuts.size() > maximumShortcuts)
    throw CatalogError::invalid(QStringLiteral("Too many shortcuts (maximum %1).").arg(maximumShortcuts));
  QSet<QString> seen;
  for (const Shortcut& shortcut : shortcuts) {
    if (!validID(shortcut.id) || seen.contains(shortcut.id))
      throw CatalogError::invalid(
          QStringLiteral("Shortcut IDs must be unique letters, numbers, dashes or underscores."));
    seen.insert(shortcut.id);
    if (!hasValidFields(shortcut)) throw CatalogError::invalid(invalidShortcut);
    validateDestination(shortcut);
  }
  for (const auto& [key, data] : bookmarks)
    if (!validID(key) || data.size() > maximumBookmarkBytes)
      throw CatalogError::invalid(QStringLiteral("Invalid folder or application bookmark."));
}

ShortcutCatalog ShortcutCatalog::fromJson(const pf::JsonObjectReader& object) {
  requireSupportedVersion(object);
  ShortcutCatalog catalog;
  for (const pf::JsonObjectReader& item : object.array(QStringLiteral("shortcuts")).objects())
    catalog.shortcuts.push_back(Shortcut::fromJson(item));
  const pf::JsonObjectReader bookmarks = object.object(QStringLiteral("bookmarks"));
  for (const QString& key : bookmarks.keys()) catalog.bookmarks[key] = bookmarks.data(key);
  return catalog;
}

QJsonObject ShortcutCatalog::json() const {
  QJsonArray items;
  for (const Shortcut& shortcut : shortcuts) items.append(shortcut.json());
  QJsonObject marks;
  for (const auto& [key, data] : bookmarks) marks.insert(key, pf::Json::data(data));
  return {{versionKey, schemaVersion}, {QStringLiteral("shortcuts"), items}, {QStringLiteral("bookmarks"), marks}};
}

ShortcutCatalog ShortcutCatalog::decode(const QByteArray& bytes) {
  const pf::JsonObjectReader object = pf::JsonObjectReader::parse(bytes);
  const ShortcutCatalog catalog = fromJson(object);
  catalog.validate();
  return catalog;
}

QByteArray ShortcutCatalog::encoded() const {
  validate();
  return pf::Json::encode(json());
}

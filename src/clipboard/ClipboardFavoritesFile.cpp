#include "clipboard/ClipboardFavoritesFile.h"

#include "platform/core/JsonDocument.h"
#include "platform/core/JsonReader.h"
#include "platform/core/JsonWriter.h"
#include "platform/core/TextSet.h"
#include "values/QuibError.h"

#include <algorithm>
#include <optional>

namespace {

const QString versionKey = QStringLiteral("version");
const QString listsKey = QStringLiteral("lists");
const QString itemsKey = QStringLiteral("items");
const QString idKey = QStringLiteral("id");
const QString nameKey = QStringLiteral("name");
const QString textKey = QStringLiteral("text");
const QString listIDKey = QStringLiteral("listID");

[[noreturn]] void refuse(const char* sentence) { throw QuibError(QString::fromUtf8(sentence)); }

ClipboardFavoriteList readList(const pf::JsonObjectReader& object) {
  return {object.string(idKey), object.string(nameKey)};
}

ClipboardFavorite readFavorite(const pf::JsonObjectReader& object) {
  return {object.string(idKey), object.string(nameKey), object.string(textKey), object.string(listIDKey)};
}

// The first version had no lists: every favorite lived in "Others".
ClipboardFavorite readLegacyItem(const pf::JsonObjectReader& object) {
  return {object.string(idKey), object.string(nameKey), object.string(textKey), ClipboardFavoriteList::othersID};
}

template <typename Value>
std::vector<Value> readArray(const pf::JsonObjectReader& object, const QString& key,
                             Value (*read)(const pf::JsonObjectReader&)) {
  const std::vector<pf::JsonObjectReader> items = object.array(key).objects();
  std::vector<Value> values;
  values.reserve(items.size());
  for (const pf::JsonObjectReader& item : items) values.push_back(read(item));
  return values;
}

bool holds(const std::vector<ClipboardFavoriteList>& lists, const ClipboardFavoriteList& list) {
  return std::find(lists.begin(), lists.end(), list) != lists.end();
}

void requireAllBuiltIns(const std::vector<ClipboardFavoriteList>& lists) {
  for (const ClipboardFavoriteList& builtIn : ClipboardFavoriteList::builtIns())
    if (!holds(lists, builtIn)) refuse("This older favorites file is incomplete. It has been preserved.");
}

void requireBuiltInNames(const std::vector<ClipboardFavoriteList>& lists) {
  for (const ClipboardFavoriteList& list : lists)
    for (const ClipboardFavoriteList& builtIn : ClipboardFavoriteList::builtIns())
      if (list.id == builtIn.id && list.name != builtIn.name)
        refuse("This older favorites file contains invalid standard lists. It has been preserved.");
}

ClipboardFavoriteList listFrom(pf::JsonDocument& document, const pf::JsonDocument::Object& object) {
  static constexpr std::array<std::string_view, 2> keys{"id", "name"};
  const auto [id, name] = pf::JsonDocument::fields(object, keys);
  return {document.sharedString(id), document.sharedString(name)};
}

// Of a favorite, only the list recurs.
ClipboardFavorite favoriteFrom(pf::JsonDocument& document, const pf::JsonDocument::Object& object) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 4> keys{"id", "listID", "name", "text"};
  const auto [id, listID, name, text] = Document::fields(object, keys);
  return {Document::string(id), Document::string(name), Document::string(text), document.sharedString(listID)};
}

/// What `validate` asks of a file, asked of each favorite as it is read:
/// afterwards, the ids, names and texts of thousands of favorites are no
/// longer in the cache, and looking at them again costs more than the rules.
/// Anything that does not pass throws, and is left to `validate` to word.
class ValidatedWhileRead {
 public:
  ValidatedWhileRead(const std::vector<ClipboardFavoriteList>& lists, std::size_t items)
      : m_listIDs(lists.size()), m_ids(items) {
    // The lists' rules are those of a file holding no favorites.
    ClipboardFavoritesFile{ClipboardFavoritesFile::currentVersion, lists, {}}.validate();
    for (const ClipboardFavoriteList& list : lists) m_listIDs.insert(list.id);
  }

  /// Checks a favorite just read. The id is looked at, not copied: its text
  /// stays where it is when the favorite moves into the file.
  void check(const ClipboardFavorite& item) {
    item.validate();
    if (!m_ids.insert(item.id) || !m_listIDs.contains(item.listID)) throw pf::JsonUnsure{};
  }

 private:
  pf::TextSet m_listIDs;
  pf::TextSet m_ids;
};

enum class Validation { none, whileRead };

/// A file of the current version read straight from a document.
ClipboardFavoritesFile fileFrom(pf::JsonDocument& document, Validation validation) {
  using Document = pf::JsonDocument;
  static constexpr std::array<std::string_view, 3> fileKeys{"items", "lists", "version"};
  const auto [items, lists, version] = Document::fields(document.top(), fileKeys);
  if (Document::integer(version) != ClipboardFavoritesFile::currentVersion) throw pf::JsonUnsure{};
  ClipboardFavoritesFile file{
      ClipboardFavoritesFile::currentVersion,
      Document::objects(lists, [&document](const Document::Object& list) { return listFrom(document, list); }),
      {}};
  std::optional<ValidatedWhileRead> validated;
  if (validation == Validation::whileRead) validated.emplace(file.lists, Document::array(items).size());
  file.items = Document::objects(items, [&document, &validated](const Document::Object& object) {
    ClipboardFavorite item = favoriteFrom(document, object);
    if (validated) validated->check(item);
    return item;
  });
  return file;
}

/// The file read straight from its bytes, when it is of the current version
/// as this program writes it (and passes while read, when asked); none
/// otherwise, for the strict reading, and the whole validation, to decide and
/// word any refusal.
std::optional<ClipboardFavoritesFile> readStraight(const QByteArray& bytes, Validation validation,
                                                   qint64* storedVersion) {
  if (bytes.size() > ClipboardFavoritesFile::largestFileBytes) return std::nullopt;
  try {
    pf::JsonDocument document(bytes);
    ClipboardFavoritesFile file = fileFrom(document, validation);
    if (storedVersion) *storedVersion = ClipboardFavoritesFile::currentVersion;
    return file;
  } catch (const pf::JsonUnsure&) {
  } catch (const QuibError&) {
  }
  return std::nullopt;
}

}  // namespace

ClipboardFavoritesFile ClipboardFavoritesFile::empty() {
  const auto& builtIns = ClipboardFavoriteList::builtIns();
  return {currentVersion, {builtIns.begin(), builtIns.end()}, {}};
}

QString ClipboardFavoritesFile::tooLargeToSave() {
  return QStringLiteral("Favorites would take more than %1 MB. Delete favorites you no longer need.")
      .arg(largestFileBytes / (1024 * 1024));
}

ClipboardFavoritesFile ClipboardFavoritesFile::decode(const QByteArray& bytes, qint64* storedVersion) {
  if (auto file = readStraight(bytes, Validation::none, storedVersion)) return *std::move(file);
  return decodeStrictly(bytes, storedVersion);
}

ClipboardFavoritesFile ClipboardFavoritesFile::decodeStrictly(const QByteArray& bytes, qint64* storedVersion) {
  if (bytes.size() > largestFileBytes)
    throw QuibError(QStringLiteral("This favorites file is larger than %1 MB, more than favorites take. "
                                   "It has been preserved.")
                        .arg(largestFileBytes / (1024 * 1024)));
  const pf::JsonObjectReader object = pf::JsonObjectReader::parse(bytes);
  const qint64 version = object.integer(versionKey);
  if (version < 1 || version > currentVersion)
    refuse("This favorites file is from an unsupported version. It has been preserved.");
  if (storedVersion) *storedVersion = version;
  if (version == 1) {
    ClipboardFavoritesFile file = empty();
    file.items = readArray(object, itemsKey, readLegacyItem);
    return file;
  }
  ClipboardFavoritesFile file{currentVersion, readArray(object, listsKey, readList),
                              readArray(object, itemsKey, readFavorite)};
  if (version == 2) requireAllBuiltIns(file.lists);
  if (version == 3) requireBuiltInNames(file.lists);
  return file;
}

ClipboardFavoritesFile ClipboardFavoritesFile::decodeValidated(const QByteArray& bytes, qint64* storedVersion) {
  if (auto file = readStraight(bytes, Validation::whileRead, storedVersion)) return *std::move(file);
  ClipboardFavoritesFile file = decodeStrictly(bytes, storedVersion);
  file.validate();
  return file;
}

ClipboardFavoritesFile ClipboardFavoritesFile::fromJson(pf::JsonDocument& document) {
  return fileFrom(document, Validation::none);
}

QByteArray ClipboardFavoritesFile::encoded() const {
  pf::JsonWriter writer;
  const auto text = [&writer](QStringView key, const QString& value) {
    writer.key(key);
    writer.string(value);
  };
  writer.beginObject();
  writer.key(itemsKey);
  writer.beginArray();
  for (const ClipboardFavorite& item : items) {
    writer.beginObject();
    text(idKey, item.id);
    text(listIDKey, item.listID);
    text(nameKey, item.name);
    text(textKey, item.text);
    writer.endObject();
  }
  writer.endArray();
  writer.key(listsKey);
  writer.beginArray();
  for (const ClipboardFavoriteList& list : lists) {
    writer.beginObject();
    text(idKey, list.id);
    text(nameKey, list.name);
    writer.endObject();
  }
  writer.endArray();
  writer.key(versionKey);
  writer.integer(currentVersion);
  writer.endObject();
  return writer.take();
}

void ClipboardFavoritesFile::validate() const {
  const ClipboardFavoriteList& others = ClipboardFavoriteList::builtIns().back();
  std::vector<QString> nameKeys;
  nameKeys.reserve(lists.size());
  for (const ClipboardFavoriteList& list : lists) nameKeys.push_back(list.nameKey());
  using pf::TextSet;
  const bool sound = version == currentVersion && TextSet::allDistinct(items, &ClipboardFavorite::id) &&
                     TextSet::allDistinct(lists, &ClipboardFavoriteList::id) && TextSet::allDistinct(nameKeys) &&
                     holds(lists, others);
  if (!sound) refuse("This favorites file is unreadable or from a newer version. It has been preserved.");
  for (const ClipboardFavoriteList& list : lists) list.validate();
  for (const ClipboardFavorite& item : items) item.validate();
  pf::TextSet listIDs(lists.size());
  for (const ClipboardFavoriteList& list : lists) listIDs.insert(list.id);
  for (const ClipboardFavorite& item : items)
    if (!listIDs.contains(item.listID))
      refuse("A saved favorite refers to a missing list. The file has been preserved.");
}

std::optional<QString> ClipboardFavoritesFile::backupName(qint64 storedVersion) {
  if (storedVersion < 1 || storedVersion >= currentVersion) return std::nullopt;
  return QStringLiteral("clipboard-favorites.v%1-backup.json").arg(storedVersion);
}

#include "clipboard/ClipboardFavoritesStore.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "platform/core/Text.h"
#include "values/ErrorSentence.h"
#include "values/QuibError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

using Lists = std::vector<ClipboardFavoriteList>;
using Items = std::vector<ClipboardFavorite>;

const QString primaryName = QStringLiteral("clipboard-favorites.json");
const QString lockName = QStringLiteral("clipboard-favorites.lock");

[[noreturn]] void refuse(const char* sentence) { throw QuibError(QString::fromUtf8(sentence)); }

// Never waited for: the user is told at once and tries again.
pf::FileLock lockFavorites(const QString& path) {
  return pf::FileLock::take(path, QStringLiteral("Wendle clipboard favorites: %@"),
                            QuibError(QStringLiteral("Cannot open the favorites lock.")),
                            QuibError(QStringLiteral("Another Wendle is saving favorites. Try again shortly.")));
}

/// Whether any item has that name, a dangling link included, or it cannot be
/// told; a backup is only ever written where nothing is.
bool anythingAt(const QString& path) {
  struct stat status {};
  return ::lstat(QFile::encodeName(path).constData(), &status) == 0 || errno != ENOENT;
}

Items::iterator firstWithID(Items& items, const QString& id) {
  return std::find_if(items.begin(), items.end(), [&](const ClipboardFavorite& item) { return item.id == id; });
}

bool hasListWithID(const Lists& lists, const QString& id) {
  return std::any_of(lists.begin(), lists.end(), [&](const ClipboardFavoriteList& list) { return list.id == id; });
}

/// Whether a list other than the one with `exceptID` already has the name of `list`.
bool nameTaken(const Lists& lists, const ClipboardFavoriteList& list, const QString& exceptID = {}) {
  const QString key = list.nameKey();
  return std::any_of(lists.begin(), lists.end(), [&](const ClipboardFavoriteList& other) {
    return other.id != exceptID && other.nameKey() == key;
  });
}

/// A list value for a name the user typed, checked before any file is touched.
ClipboardFavoriteList namedList(QString id, const QString& typedName) {
  const ClipboardFavoriteList list{std::move(id), pf::Text::trimmed(typedName)};
  list.validate();
  if (list.nameKey() == u"all") refuse("All is reserved for the combined view.");
  return list;
}

}  // namespace

ClipboardFavoritesStore::ClipboardFavoritesStore(QString directory)
    : write([](const QByteArray& bytes, const QString& path) { pf::AtomicWriter::write(path, bytes); }),
      m_directory(std::move(directory)) {
  try {
    reload();
  } catch (const std::exception&) {
    // Kept in failure(); the window shows it and every change refuses.
  }
}

QString ClipboardFavoritesStore::path(const QString& name) const { return m_directory + u'/' + name; }

QString ClipboardFavoritesStore::primary() const { return path(primaryName); }

ClipboardFavoritesStore::Snapshot ClipboardFavoritesStore::read() const {
  // Taken before the bytes are read: a file replaced in between is read again next time.
  std::optional<pf::FileIdentity> identity = pf::FileIdentity::of(primary());
  // Decoding dominates a change; a file still the one last read or written
  // decodes to the contents already held and checked.
  if (identity && identity == m_current.identity) return m_current;
  // A file past the limit is refused without reading all of it.
  const std::optional<QByteArray> bytes = pf::Files::read(primary(), ClipboardFavoritesFile::largestFileBytes + 1);
  if (!bytes) return {};
  Snapshot fresh{{}, std::move(identity)};
  fresh.file = ClipboardFavoritesFile::decodeValidated(*bytes, &fresh.storedVersion);
  return fresh;
}

void ClipboardFavoritesStore::adopt(Snapshot snapshot) {
  m_current = std::move(snapshot);
  m_failure.reset();
}

void ClipboardFavoritesStore::reload() {
  try {
    adopt(read());
  } catch (const std::exception& error) {
    m_failure = QStringLiteral("Favorites are unavailable: ") + errorSentence(error);
    throw;
  }
}

void ClipboardFavoritesStore::change(const std::function<void(ClipboardFavoritesFile&)>& step) {
  pf::Files::makeFolders(m_directory);
  const pf::FileLock lock = lockFavorites(path(lockName));
  Snapshot fresh = read();
  ClipboardFavoritesFile changed = fresh.file;
  step(changed);
  changed.validate();
  if (changed == fresh.file) {
    adopt(std::move(fresh));
    return;
  }
  const QByteArray encoded = changed.encoded();
  // Never written: the next read would refuse it.
  if (encoded.size() > ClipboardFavoritesFile::largestFileBytes)
    throw QuibError(ClipboardFavoritesFile::tooLargeToSave());
  keepOlderVersion(fresh);
  writePrivately(encoded, primary());
  // Nobody else writes while the lock is held, so the file just written is known without reading it back.
  adopt({std::move(changed), pf::FileIdentity::of(primary())});
}

void ClipboardFavoritesStore::keepOlderVersion(const Snapshot& snapshot) {
  const std::optional<QString> name = ClipboardFavoritesFile::backupName(snapshot.storedVersion);
  if (!snapshot.identity || !name || anythingAt(path(*name))) return;
  // The bytes just decoded, read again under the lock rather than kept in memory.
  if (const auto bytes = pf::Files::read(primary(), ClipboardFavoritesFile::largestFileBytes + 1))
    writePrivately(*bytes, path(*name));
}

void ClipboardFavoritesStore::writePrivately(const QByteArray& bytes, const QString& path) {
  write(bytes, path);
  // The default writer creates its files 0600; a replaced one may not.
  ::chmod(QFile::encodeName(path).constData(), 0600);
}

void ClipboardFavoritesStore::save(const ClipboardFavorite& favorite,
                                   const std::optional<ClipboardFavorite>& expected) {
  favorite.validate();
  change([&](ClipboardFavoritesFile& file) {
    if (!hasListWithID(file.lists, favorite.listID))
      refuse("That list no longer exists. Reopen the favorite to choose another list.");
    const auto current = firstWithID(file.items, favorite.id);
    const bool exists = current != file.items.end();
    const std::optional<ClipboardFavorite> seen = exists ? std::optional(*current) : std::nullopt;
    if (seen != expected) refuse("This favorite changed elsewhere. Reopen it before saving.");
    if (exists)
      *current = favorite;
    else
      file.items.push_back(favorite);
  });
}

void ClipboardFavoritesStore::deleteFavorite(const ClipboardFavorite& favorite) {
  change([&](ClipboardFavoritesFile& file) {
    const auto current = firstWithID(file.items, favorite.id);
    if (current == file.items.end() || *current != favorite)
      refuse("This favorite changed elsewhere. Review it again before deleting.");
    std::erase_if(file.items, [&](const ClipboardFavorite& item) { return item.id == favorite.id; });
  });
}

ClipboardFavoriteList ClipboardFavoritesStore::addList(const QString& name) {
  const ClipboardFavoriteList list = namedList(ClipboardFavorite::newID(), name);
  change([&](ClipboardFavoritesFile& file) {
    if (nameTaken(file.lists, list)) refuse("A list with that name already exists.");
    file.lists.push_back(list);
  });
  return list;
}

void ClipboardFavoritesStore::renameList(const ClipboardFavoriteList& list, const QString& name) {
  const ClipboardFavoriteList renamed = namedList(list.id, name);
  change([&](ClipboardFavoritesFile& file) {
    if (!list.canRename()) refuse("Others stays available for saved favorites and cannot be renamed.");
    const auto found = std::find(file.lists.begin(), file.lists.end(), list);
    if (found == file.lists.end()) refuse("This list changed elsewhere. Select it again before renaming.");
    // The list itself is left out, so a change of letter case alone is allowed.
    if (nameTaken(file.lists, renamed, list.id)) refuse("A list with that name already exists.");
    *found = renamed;
  });
}

void ClipboardFavoritesStore::deleteList(const ClipboardFavoriteList& list) {
  change([&](ClipboardFavoritesFile& file) {
    if (!list.canDelete()) refuse("Others stays available for saved favorites and cannot be deleted.");
    if (std::find(file.lists.begin(), file.lists.end(), list) == file.lists.end())
      refuse("This list changed elsewhere. Select it again before deleting.");
    for (ClipboardFavorite& item : file.items)
      if (item.listID == list.id) item.listID = ClipboardFavoriteList::othersID;
    std::erase_if(file.lists, [&](const ClipboardFavoriteList& other) { return other.id == list.id; });
  });
}

// The store's changing operations. Each builds a whole new catalog and hands
// it to the single write path, `commit`.
#include "shortcuts/ShortcutStore.h"

#include "platform/core/Bookmark.h"
#include "platform/core/Files.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/CatalogError.h"
#include "values/QuibError.h"

#include <QSet>
#include <algorithm>

namespace {

const QString offeredKey = QStringLiteral("importedCompanionShortcutIDs");

/// True when `current` holds `shortcut`'s id with the same kind and destination,
/// so a bookmark made for that destination still belongs to it.
bool pointsWhereItDid(const Shortcut& shortcut, const std::optional<Shortcut>& current) {
  return current && current->kind == shortcut.kind && current->destination == shortcut.destination;
}

QSet<QString> idsOf(const std::vector<Shortcut>& shortcuts) {
  QSet<QString> ids;
  for (const Shortcut& s : shortcuts) ids.insert(s.id);
  return ids;
}

bool isStoredImage(const QByteArray& png, const QString& reference) {
  try {
    ShortcutImageStore::validate(png, reference);
    return true;
  } catch (const QuibError&) {
    return false;
  }
}

template <typename List>
auto findID(List& shortcuts, const QString& id) {
  return std::find_if(shortcuts.begin(), shortcuts.end(), [&](const Shortcut& s) { return s.id == id; });
}

}  // namespace

void ShortcutStore::requireWritable() const {
  if (!m_catalogIsWritable)
    throw CatalogError::unavailable(m_catalogNotice.value_or(QStringLiteral("The shortcut catalog is read-only.")));
}

std::map<QString, QByteArray> ShortcutStore::bookmarksKeptFor(const std::vector<Shortcut>& shortcuts) const {
  std::map<QString, QByteArray> bookmarks = m_catalog.bookmarks;
  for (const Shortcut& s : shortcuts)
    if (!pointsWhereItDid(s, item(s.id))) bookmarks.erase(s.id);
  return bookmarks;
}

void ShortcutStore::saveDraft(const ShortcutDraft& draft) {
  if (m_sharedSource) return m_sharedSource->saveDraft(draft);
  if (shortcuts() != draft.original) throw CatalogError::conflict();
  requireWritable();
  if (!draft.hasChanges()) return;
  ShortcutCatalog catalog{m_catalog.schemaVersion, draft.items, bookmarksKeptFor(draft.items)};
  const QSet<QString> kept = idsOf(draft.items);
  for (const Shortcut& s : shortcuts())
    if (!kept.contains(s.id)) catalog.bookmarks.erase(s.id);
  catalog.validate();
  addSelectedFiles(draft, catalog.bookmarks);
  commit(catalog, imagesToSave(draft));
}

void ShortcutStore::addSelectedFiles(const ShortcutDraft& draft, std::map<QString, QByteArray>& bookmarks) const {
  for (const auto& [id, url] : draft.selectedFiles) {
    const auto owner = findID(draft.items, id);
    if (owner == draft.items.end() || owner->kind == ShortcutKind::web || owner->destination != url.toLocalFile())
      throw CatalogError::invalid(QStringLiteral("A selected file no longer matches its shortcut."));
    validateFile(url, owner->kind);
    bookmarks[id] = pf::Bookmark::create(url.toLocalFile());
  }
}

/// The chosen pictures some shortcut still shows; fails when a shortcut shows
/// a custom picture that is neither chosen, unchanged nor stored.
PendingImages ShortcutStore::imagesToSave(const ShortcutDraft& draft) const {
  QSet<QString> shown;
  for (const Shortcut& s : draft.items)
    if (s.icon) shown.insert(*s.icon);
  PendingImages images;
  for (const auto& [reference, png] : draft.selectedImages) {
    if (!shown.contains(reference)) continue;
    ShortcutImageStore::validate(png, reference);
    images.emplace(reference, png);
  }
  for (const Shortcut& s : draft.items) {
    if (!s.icon || !ShortcutImageStore::digest(*s.icon) || images.contains(*s.icon)) continue;
    const auto current = item(s.id);
    if ((current && current->icon == s.icon) || imageStore().contains(*s.icon)) continue;
    throw QuibError(QStringLiteral("The custom image for ") + s.label +
                    QStringLiteral(" is missing. Choose it again before saving."));
  }
  return images;
}

ShortcutStore::ImportResult ShortcutStore::importAvailableShortcuts(const ShortcutStore& source) {
  const QStringList offered = m_defaults.stringArray(offeredKey).value_or(QStringList());
  const QSet<QString> offeredIDs(offered.begin(), offered.end());
  const QSet<QString> present = idsOf(m_catalog.shortcuts);
  std::vector<Shortcut> candidates;
  std::copy_if(source.shortcuts().begin(), source.shortcuts().end(), std::back_inserter(candidates),
               [&](const Shortcut& s) { return !present.contains(s.id) && !offeredIDs.contains(s.id); });
  ImportResult result;
  if (!candidates.empty()) {
    ShortcutCatalog catalog = m_catalog;
    for (const Shortcut& s : candidates) {
      catalog.shortcuts.push_back(s);
      if (const auto bookmark = source.m_catalog.bookmarks.find(s.id); bookmark != source.m_catalog.bookmarks.end())
        catalog.bookmarks[s.id] = bookmark->second;
    }
    const PendingImages images = importedImages(candidates, source, result.missingImages);
    catalog.validate();
    commit(catalog, images);
  }
  rememberOffered(source.shortcuts());
  return result;
}

// A picture the source lost (or holds damaged) is left behind: copying it
// could never succeed, and failing would fail again at every later import.
PendingImages ShortcutStore::importedImages(const std::vector<Shortcut>& candidates, const ShortcutStore& source,
                                            QStringList& missing) const {
  PendingImages images;
  for (const Shortcut& s : candidates) {
    if (!s.icon) continue;
    const auto url = source.imageStore().url(*s.icon);
    if (!url) continue;
    const auto png = pf::Files::read(url->toLocalFile());
    if (png && isStoredImage(*png, *s.icon))
      images.emplace(*s.icon, *png);
    else
      missing << s.label;
  }
  return images;
}

void ShortcutStore::rememberOffered(const std::vector<Shortcut>& offered) {
  QStringList ids = m_defaults.stringArray(offeredKey).value_or(QStringList());
  for (const Shortcut& s : offered) ids << s.id;
  ids.removeDuplicates();
  std::sort(ids.begin(), ids.end());
  m_defaults.set(offeredKey, ids);
}

void ShortcutStore::replaceShortcuts(const std::vector<Shortcut>& shortcuts) {
  if (m_sharedSource) return m_sharedSource->replaceShortcuts(shortcuts);
  commit({m_catalog.schemaVersion, shortcuts, bookmarksKeptFor(shortcuts)}, {});
}

void ShortcutStore::saveURLs(const std::map<QString, QString>& urls) {
  if (m_sharedSource) return m_sharedSource->saveURLs(urls);
  ShortcutCatalog catalog = m_catalog;
  for (const auto& [id, text] : urls) {
    const auto found = findID(catalog.shortcuts, id);
    if (found == catalog.shortcuts.end() || found->kind != ShortcutKind::web)
      throw CatalogError::invalid(QStringLiteral("Unknown website shortcut: ") + id + u'.');
    const QString address = text.trimmed();
    if (address == found->destination) continue;
    found->destination = address;
    found->note = address.isEmpty() ? QStringLiteral("Not configured — choose a destination in Settings")
                                    : QStringLiteral("Your configured destination");
  }
  commit(catalog, {});
}

void ShortcutStore::swapActiveShortcut(const QString& id, int position, const std::vector<Shortcut>& expected) {
  if (m_sharedSource) return m_sharedSource->swapActiveShortcut(id, position, expected);
  if (shortcuts() != expected) throw CatalogError::conflict();
  ShortcutDraft draft(expected);
  if (!draft.swapActive(id, position))
    throw CatalogError::invalid(
        QStringLiteral("This shortcut is no longer active or its destination position changed."));
  saveDraft(draft);
}

void ShortcutStore::setFile(const QUrl& url, const QString& id) {
  if (m_sharedSource) return m_sharedSource->setFile(url, id);
  ShortcutCatalog catalog = m_catalog;
  const auto found = findID(catalog.shortcuts, id);
  if (found == catalog.shortcuts.end() || found->kind == ShortcutKind::web)
    throw CatalogError::invalid(QStringLiteral("Unknown file shortcut: ") + id + u'.');
  validateFile(url, found->kind);
  catalog.bookmarks[id] = pf::Bookmark::create(url.toLocalFile());
  found->destination = url.toLocalFile();
  found->note = QStringLiteral("Your selected ") +
                (found->kind == ShortcutKind::folder ? QStringLiteral("folder") : QStringLiteral("application"));
  commit(catalog, {});
}

#include "shortcuts/ShortcutStore.h"

#include "platform/core/Bookmark.h"
#include "platform/core/Log.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/DesktopEntry.h"
#include "shortcuts/ShortcutPresets.h"
#include "values/ErrorSentence.h"
#include "values/QuibError.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString scaleKey = QStringLiteral("scale");
const QString legacyShortcutsKey = QStringLiteral("shortcuts");
const QString legacyBookmarkPrefix = QStringLiteral("bookmark.");
constexpr std::size_t visibleCapacity = 12;

// Another copy holds the catalog's lock for one save, a few milliseconds; a
// start that meets it tries again for a few seconds rather than going without
// shortcuts for its whole run.
constexpr std::array<unsigned long, 5> busyPauses{100, 200, 400, 800, 1500};

ShortcutCatalogRepository::Loaded loadWaitingForOtherCopies(ShortcutCatalogRepository& repository,
                                                            const ShortcutCatalogRepository::Seed& seed,
                                                            const std::optional<QByteArray>& legacyData) {
  for (unsigned long pause : busyPauses) {
    try {
      return repository.load(seed, legacyData);
    } catch (const CatalogError& error) {
      if (!(error == ShortcutCatalogRepository::busy())) throw;
    }
    QThread::msleep(pause);
  }
  return repository.load(seed, legacyData);
}

QuibError missingDestination() {
  return QuibError(QStringLiteral("This destination is missing. Choose its current location in Settings."));
}

}  // namespace

const QString ShortcutStore::contentsChanged = QStringLiteral("ShortcutContentsChanged");

QString ShortcutStore::identifier() { return pf::SystemInfo::bundleIdentifier(); }

const std::vector<Shortcut>& ShortcutStore::initial() { return ShortcutPresets::legacyPersonal(); }

ShortcutStore::ShortcutStore(pf::UserDefaults& defaults, const QString& catalogDirectory,
                             std::optional<bool> legacyPersonalDefaults)
    : m_defaults(defaults), m_repository(catalogDirectory), m_localImageStore(catalogDirectory) {
  m_defaults.set(QStringLiteral("gentleMotion"), true);
  const std::optional<QByteArray> legacyData = m_defaults.data(legacyShortcutsKey);
  m_defaults.registerDefaults({{scaleKey, 1.0},
                               {QStringLiteral("characterHeight"), 180.0},
                               {QStringLiteral("gentleMotion"), true},
                               {QStringLiteral("alwaysOnTop"), true},
                               {QStringLiteral("pinned"), false}});
  try {
    auto loaded = loadWaitingForOtherCopies(
        m_repository, [&] { return legacySeed(legacyPersonalDefaults.value_or(false)); }, legacyData);
    m_catalog = std::move(loaded.catalog);
    m_catalogIsWritable = true;
    m_catalogNotice = std::move(loaded.notice);
  } catch (const std::exception& error) {
    m_catalogNotice = QStringLiteral("Shortcuts are unavailable: ") + errorSentence(error);
    // A folder where not even the lock can be made (read-only media, another
    // owner) still shows its shortcuts; the store stays read-only.
    const auto* catalogError = dynamic_cast<const CatalogError*>(&error);
    if (catalogError && *catalogError == ShortcutCatalogRepository::lockUnavailable())
      m_catalog = m_repository.readWithoutLock().value_or(m_catalog);
  }
  auto& center = pf::NotificationCenter::defaultCenter();
  m_sharingObserver = center.addObserver(contentsChanged, nullptr, [this](const pf::Notification& note) {
    if (m_sharedSource && note.object == m_sharedSource.get()) changed();
  });
  if (m_catalogNotice) pf::log(QStringLiteral("Wendle shortcut catalog: %@"), *m_catalogNotice);
}

ShortcutStore::~ShortcutStore() { m_sharingObserver.reset(); }

ShortcutCatalog ShortcutStore::legacySeed(bool legacyPersonal) const {
  ShortcutCatalog catalog{ShortcutCatalog::currentVersion, ShortcutPresets::seed(legacyPersonal), {}};
  if (m_defaults.object(legacyShortcutsKey)) {
    const auto record = m_defaults.data(legacyShortcutsKey);
    if (!record)
      throw CatalogError::invalid(
          QStringLiteral("The legacy shortcut record is unreadable. It was preserved unchanged."));
    catalog.shortcuts = Shortcut::decodeList(*record);
  }
  // Legacy bookmarks are carried over whichever list the catalog starts from.
  const QVariantMap everything = m_defaults.dictionaryRepresentation();
  for (auto it = everything.begin(); it != everything.end(); ++it) {
    if (!it.key().startsWith(legacyBookmarkPrefix) || it.value().typeId() != QMetaType::QByteArray) continue;
    const QString id = it.key().mid(legacyBookmarkPrefix.size());
    // A stray key no catalog can hold would leave every new catalog unwritten.
    if (!ShortcutCatalog::validID(id)) {
      pf::log(QStringLiteral("Wendle shortcut catalog: the setting \"%@\" names no shortcut and was left "
                             "out of the new catalog; it stays in the settings unchanged."),
              it.key());
      continue;
    }
    catalog.bookmarks[id] = it.value().toByteArray();
  }
  return catalog;
}

const ShortcutStore& ShortcutStore::shown() const {
  const ShortcutStore* store = this;
  while (store->m_sharedSource) store = store->m_sharedSource.get();
  return *store;
}

ShortcutImageStore& ShortcutStore::imageStore() { return const_cast<ShortcutStore&>(shown()).m_localImageStore; }

const ShortcutImageStore& ShortcutStore::imageStore() const { return shown().m_localImageStore; }

const std::vector<Shortcut>& ShortcutStore::shortcuts() const { return shown().m_catalog.shortcuts; }

std::vector<Shortcut> ShortcutStore::activeShortcuts() const {
  std::vector<Shortcut> active;
  std::copy_if(shortcuts().begin(), shortcuts().end(), std::back_inserter(active),
               [](const Shortcut& s) { return s.isActive; });
  return active;
}

std::vector<Shortcut> ShortcutStore::visibleShortcuts() const {
  std::vector<Shortcut> visible = activeShortcuts();
  if (visible.size() > visibleCapacity) visible.resize(visibleCapacity);
  return visible;
}

std::optional<Shortcut> ShortcutStore::item(const QString& id) const {
  const auto& all = shortcuts();
  const auto it = std::find_if(all.begin(), all.end(), [&](const Shortcut& s) { return s.id == id; });
  if (it == all.end()) return std::nullopt;
  return *it;
}

QImage ShortcutStore::customImage(const Shortcut& shortcut, const PendingImages& pending) const {
  if (!shortcut.icon) return {};
  return imageStore().image(*shortcut.icon, pending);
}

double ShortcutStore::scale() const {
  const double value = m_defaults.doubleValue(scaleKey);
  if (!std::isfinite(value)) return 1.0;
  return std::clamp(value, 0.8, 1.2);
}

void ShortcutStore::setScale(double value) {
  m_defaults.set(scaleKey, value);
  changed();
}

void ShortcutStore::setSharedSource(std::shared_ptr<ShortcutStore> source) {
  m_sharedSource = std::move(source);
  changed();
}

void ShortcutStore::changed() const {
  if (onChange) onChange();
}

void ShortcutStore::commit(const ShortcutCatalog& catalog, const PendingImages& images) {
  requireWritable();
  QSet<QString> ids;
  for (const Shortcut& s : catalog.shortcuts) ids.insert(s.id);
  for (const Shortcut& s : m_catalog.shortcuts)
    if (s.isStock() && !ids.contains(s.id))
      throw CatalogError::invalid(
          QStringLiteral("Stock shortcuts are permanent. Move them to Not Active instead of deleting them."));
  // The store's own catalog and pictures, even while it shows another's: an
  // import into a store that shares fills its own catalog.
  m_repository.save(catalog, [&] { m_localImageStore.persist(images); });
  m_catalog = catalog;
  changed();
  pf::NotificationCenter::defaultCenter().post(contentsChanged, this);
}

QUrl ShortcutStore::resolvedURL(const Shortcut& shortcut) {
  if (m_sharedSource) return m_sharedSource->resolvedURL(shortcut);
  const std::optional<Shortcut> stored = item(shortcut.id);
  if (!stored || !stored->isActive)
    throw QuibError(QStringLiteral("This shortcut is not active. Activate it in Edit Shortcuts first."));
  if (shortcut.kind == ShortcutKind::web) {
    if (const auto url = webURL(shortcut.destination)) return *url;
    throw QuibError(shortcut.label + QStringLiteral(" needs a valid website URL. Open Settings to configure it."));
  }
  if (shortcut.destination.isEmpty())
    throw QuibError(QStringLiteral("Choose your ") + shortcut.label +
                    QStringLiteral(" destination in Settings first."));
  QUrl url = QUrl::fromLocalFile(shortcut.destination);
  const auto bookmark = m_catalog.bookmarks.find(shortcut.id);
  if (bookmark != m_catalog.bookmarks.end()) url = followBookmark(shortcut.id, bookmark->second).value_or(url);
  validateFile(url, shortcut.kind);
  return url;
}

// A bookmark that cannot be resolved is no error: the stored path is used.
std::optional<QUrl> ShortcutStore::followBookmark(const QString& id, const QByteArray& bookmark) {
  pf::BookmarkResolution resolution;
  try {
    resolution = pf::Bookmark::resolve(bookmark);
  } catch (const pf::BookmarkError&) {
    return std::nullopt;
  }
  if (resolution.isStale) renewBookmark(id, resolution.path);
  return QUrl::fromLocalFile(resolution.path);
}

// The item moved: keep a bookmark of its new place so it is found at once next
// time. Opening goes on whether or not that can be saved.
void ShortcutStore::renewBookmark(const QString& id, const QString& path) {
  ShortcutCatalog renewed = m_catalog;
  try {
    renewed.bookmarks[id] = pf::Bookmark::create(path);
  } catch (const pf::BookmarkError&) {
    return;
  }
  try {
    commit(renewed, {});
  } catch (const std::exception& error) {
    m_catalogNotice =
        QStringLiteral("Folder opened, but its refreshed bookmark was not saved: ") + errorSentence(error);
  }
}

void ShortcutStore::validateFile(const QUrl& url, ShortcutKind kind) {
  if (!url.isLocalFile()) throw missingDestination();
  const QFileInfo item(url.toLocalFile());
  if (!item.exists()) throw missingDestination();
  if (kind != ShortcutKind::application) {
    if (!item.isDir()) throw missingDestination();
    return;
  }
  // Applications are desktop entries on this platform.
  if (!DesktopEntry::isApplication(item.filePath()))
    throw QuibError(QStringLiteral("Choose an installed .app application."));
}

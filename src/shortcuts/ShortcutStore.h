#pragma once

#include "platform/core/NotificationCenter.h"
#include "shortcuts/ShortcutCatalog.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutDraft.h"
#include "shortcuts/ShortcutImageStore.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace pf {
class UserDefaults;
}

/// One companion's shortcuts: its catalog in memory with the repository that
/// reads and writes it, its custom button images and the launcher's panel
/// scale. Every change goes through one commit step that saves, replaces the
/// catalog in memory, calls `onChange` and posts "ShortcutContentsChanged".
/// A store whose catalog cannot be read stays empty and read-only, with a
/// notice that says why; one whose folder cannot even hold the lock shows
/// the catalog it can read, read-only. A store may show another store's catalog instead of
/// its own (`setSharedSource`).
class ShortcutStore final {
 public:
  /// The application notification posted after every commit, with the committing store as object.
  static const QString contentsChanged;
  /// The application's bundle identifier.
  static QString identifier();
  /// The older personal stock table.
  static const std::vector<Shortcut>& initial();

  /// Loads the catalog in `catalogDirectory` (seeding a brand-new one from the
  /// legacy record in `defaults`, or from the stock table that
  /// `legacyPersonalDefaults` chooses). Never fails: a catalog that cannot be
  /// loaded leaves the store read-only with a notice. While another copy
  /// holds the catalog's lock, it tries again for a few seconds first.
  ShortcutStore(pf::UserDefaults& defaults, const QString& catalogDirectory,
                std::optional<bool> legacyPersonalDefaults = std::nullopt);
  ShortcutStore(const ShortcutStore&) = delete;
  ShortcutStore& operator=(const ShortcutStore&) = delete;
  ~ShortcutStore();

  /// The companion's settings domain.
  pf::UserDefaults& defaults() const { return m_defaults; }
  /// The catalog folder; other subsystems keep a companion's unshared files there.
  const QString& dataDirectory() const { return m_repository.directory(); }
  /// The image store of the catalog shown (the shared source's, when set).
  ShortcutImageStore& imageStore();
  const ShortcutImageStore& imageStore() const;

  /// The shortcuts shown, in catalog order (the shared source's, when set).
  const std::vector<Shortcut>& shortcuts() const;
  /// The shown shortcuts that are active, in order.
  std::vector<Shortcut> activeShortcuts() const;
  /// The first 12 active shortcuts.
  std::vector<Shortcut> visibleShortcuts() const;
  /// The first shown shortcut with `id`, or none.
  std::optional<Shortcut> item(const QString& id) const;
  /// The shortcut's custom button image (from `pending` first); a null image
  /// when its icon names no stored or pending picture.
  QImage customImage(const Shortcut& shortcut, const PendingImages& pending = {}) const;

  /// The web address of a web destination, or none.
  static std::optional<QUrl> webURL(const QString& text) { return ShortcutCatalog::webURL(text); }

  /// A sentence about the catalog to show: why it is unavailable, or how it was recovered.
  const std::optional<QString>& catalogNotice() const { return m_catalogNotice; }
  void setCatalogNotice(std::optional<QString> notice) { m_catalogNotice = std::move(notice); }
  /// True exactly when the catalog was loaded; every change is refused while false.
  bool catalogIsWritable() const { return m_catalogIsWritable; }
  void setCatalogIsWritable(bool writable) { m_catalogIsWritable = writable; }

  /// The launcher panel scale: the stored value kept between 0.8 and 1.2, 1.0 when not finite.
  double scale() const;
  /// Stores `value` unchanged (reads clamp it), then calls `onChange`.
  void setScale(double value);

  /// Shows and edits `source`'s catalog instead of this store's own (none
  /// returns to its own), then calls `onChange`.
  void setSharedSource(std::shared_ptr<ShortcutStore> source);

  /// The address to open for `shortcut`: its checked web address, or its
  /// folder or application, found again through its bookmark when it moved
  /// (a bookmark found elsewhere is renewed and saved; when that save fails,
  /// `catalogNotice` says so and the address is still given). Only the id and
  /// the stored active state come from the store. Follows the shared source.
  /// Throws `QuibError`.
  QUrl resolvedURL(const Shortcut& shortcut);

  /// What an import brought over besides the shortcuts themselves.
  struct ImportResult {
    /// Labels of copied shortcuts whose custom picture the source no longer
    /// has (or holds damaged); they were copied without it.
    QStringList missingImages;
  };

  /// Saves the editor's draft with its chosen files and pictures. Does
  /// nothing when the draft has no changes. Throws `CatalogError::conflict`
  /// when the store's shortcuts are no longer the draft's `original`.
  /// Follows the shared source.
  void saveDraft(const ShortcutDraft& draft);

  /// Appends to this store's own catalog the shortcuts of `source` it was
  /// never offered before, with their bookmarks and pictures, and remembers
  /// every id of `source` as offered, so a shortcut deleted here never comes
  /// back. A picture the source no longer has is left out and named in the
  /// result instead of failing every later import. Never follows the shared source.
  ImportResult importAvailableShortcuts(const ShortcutStore& source);

  /// Replaces the list; a shortcut keeps its bookmark only while its kind and
  /// destination stay. Follows the shared source.
  void replaceShortcuts(const std::vector<Shortcut>& shortcuts);

  /// Sets web addresses (trimmed) by shortcut id, with the note that goes
  /// with a configured or empty address. Follows the shared source.
  void saveURLs(const std::map<QString, QString>& urls);

  /// Exchanges the active shortcut `id` with the active shortcut at
  /// `position`; `expected` is the list the caller saw. Follows the shared source.
  void swapActiveShortcut(const QString& id, int position, const std::vector<Shortcut>& expected);

  /// Points the folder or application shortcut `id` at `url`, with a fresh
  /// bookmark. Follows the shared source.
  void setFile(const QUrl& url, const QString& id);

  /// Checks that a file URL is a usable destination: an existing folder for a
  /// folder, a desktop entry of an application for an application. Throws `QuibError`.
  static void validateFile(const QUrl& url, ShortcutKind kind);

  /// Called after anything the store's users show may have changed.
  std::function<void()> onChange;

 private:
  const ShortcutStore& shown() const;
  ShortcutCatalog legacySeed(bool legacyPersonal) const;
  void changed() const;
  std::optional<QUrl> followBookmark(const QString& id, const QByteArray& bookmark);
  void renewBookmark(const QString& id, const QString& path);
  void requireWritable() const;
  std::map<QString, QByteArray> bookmarksKeptFor(const std::vector<Shortcut>& shortcuts) const;
  void addSelectedFiles(const ShortcutDraft& draft, std::map<QString, QByteArray>& bookmarks) const;
  PendingImages imagesToSave(const ShortcutDraft& draft) const;
  PendingImages importedImages(const std::vector<Shortcut>& candidates, const ShortcutStore& source,
                               QStringList& missing) const;
  void rememberOffered(const std::vector<Shortcut>& offered);
  /// The single write path: checks, saves with the images persisted under the
  /// catalog lock, then replaces the catalog in memory and tells everyone.
  void commit(const ShortcutCatalog& catalog, const PendingImages& images);

  pf::UserDefaults& m_defaults;
  ShortcutCatalog m_catalog;
  ShortcutCatalogRepository m_repository;
  ShortcutImageStore m_localImageStore;
  std::shared_ptr<ShortcutStore> m_sharedSource;
  pf::ObserverToken m_sharingObserver;
  std::optional<QString> m_catalogNotice;
  bool m_catalogIsWritable = false;
};

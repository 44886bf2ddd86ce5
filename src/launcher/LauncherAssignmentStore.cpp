#include "launcher/LauncherAssignmentStore.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileError.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "platform/core/NotificationCenter.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutCatalogRepository.h"

#include <cerrno>
#include <chrono>
#include <memory>

namespace {

// Another copy holds the folder for one comparison and write, a few
// milliseconds; one that keeps it longer is treated as a change elsewhere.
constexpr std::chrono::milliseconds lockPatience{2000};

std::unique_ptr<LauncherAssignmentStore>& sharedStore() {
  static std::unique_ptr<LauncherAssignmentStore> store;
  return store;
}

QString message(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace

LauncherAssignmentStore& LauncherAssignmentStore::shared(const std::vector<Shortcut>& items,
                                                         const LauncherGrid& grid) {
  auto& store = sharedStore();
  if (!store)
    store = std::make_unique<LauncherAssignmentStore>(
        ShortcutCatalogRepository::applicationDirectory(), items, grid);
  return *store;
}

void LauncherAssignmentStore::resetShared() { sharedStore().reset(); }

LauncherAssignmentStore::LauncherAssignmentStore(const QString& directory,
                                                 const std::vector<Shortcut>& items,
                                                 const LauncherGrid& grid)
    : m_url(directory + QStringLiteral("/launcher-positions.json")), m_value(items, grid) {
  try {
    load();
  } catch (const std::exception& error) {
    m_error = message(error);
  }
}

QString LauncherAssignmentStore::previousURL() const { return m_url + QStringLiteral(".previous"); }

void LauncherAssignmentStore::load() {
  const std::optional<QByteArray> bytes = pf::Files::read(m_url);
  if (!bytes) {
    save(m_value);
    return;
  }
  LauncherAssignments decoded = LauncherAssignments::decode(*bytes);
  decoded.validate();
  m_expected = bytes;
  m_value = std::move(decoded);
}

bool LauncherAssignmentStore::update(const std::vector<Shortcut>& items,
                                     const LauncherGrid& grid) {
  LauncherAssignments model = m_value;
  model.reconcile(items, grid);
  try {
    save(model);
    return true;
  } catch (const std::exception& error) {
    if (!m_error) m_error = message(error);
  }
  // Refusing to save must not hide a shortcut: the buttons are built from the
  // model in memory, which still follows the catalog and the grid.
  m_value = std::move(model);
  return false;
}

void LauncherAssignmentStore::assign(const std::optional<QString>& id, const LauncherSlot& target,
                                     const std::vector<Shortcut>& items,
                                     const LauncherGrid& grid) {
  LauncherAssignments model = m_value;
  model.assign(id, target, items);
  model.reconcile(items, grid);
  save(model);
  pf::NotificationCenter::defaultCenter().post(changed, this);
}

void LauncherAssignmentStore::save(const LauncherAssignments& model) {
  if (m_error) throw CatalogError::unavailable(*m_error);
  model.validate();
  // The comparison and the replacement are one step against other copies:
  // they hold the folder's own lock, which adds no file to it. The first
  // run creates the application-data folder (0700) for that.
  const QString folder = pf::Files::parentFolder(m_url);
  pf::Files::makeFolders(folder);
  const auto lock = pf::FileLock::lockFolder(folder, lockPatience);
  if (!lock) throw CatalogError::conflict();
  const std::optional<QByteArray> current = pf::Files::read(m_url);
  if (m_expected) {
    if (!current) throw pf::FileError::failed(ENOENT, QStringLiteral("open"), m_url);
    if (*current != *m_expected) throw CatalogError::conflict();
  } else if (current) {
    // A file that appeared after this copy found none was written by another copy.
    throw CatalogError::conflict();
  }
  const QByteArray encoded = model.encoded();
  if (encoded == m_expected) {
    m_value = model;
    return;
  }
  if (m_expected) pf::AtomicWriter::write(previousURL(), *m_expected);
  pf::AtomicWriter::write(m_url, encoded);
  m_expected = encoded;
  m_value = model;
}

#include "shortcuts/ShortcutCatalogRepository.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"
#include "platform/core/Log.h"
#include "platform/core/SystemInfo.h"
#include "shortcuts/CatalogError.h"

#include <QFile>
#include <QJsonDocument>
#include <QUuid>
#include <sys/stat.h>

namespace {

const QString primaryName = QStringLiteral("shortcuts.json");
const QString previousName = QStringLiteral("shortcuts.previous.json");
const QString migrationName = QStringLiteral("shortcuts.migration.json");
const QString lockName = QStringLiteral("shortcuts.lock");

using Migration = ShortcutCatalogRepository::Migration;

// The record is written compact; only this program reads it back.
QByteArray encodeMigration(const Migration& migration) {
  QJsonObject object{{QStringLiteral("schemaVersion"), migration.schemaVersion},
                     {QStringLiteral("catalog"), migration.catalog.json()}};
  if (migration.originalLegacyData)
    object.insert(QStringLiteral("originalLegacyData"), pf::Json::data(*migration.originalLegacyData));
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Migration decodeMigration(const QByteArray& bytes) {
  const pf::JsonObjectReader object = pf::JsonObjectReader::parse(bytes);
  const qint64 version = object.integer(QStringLiteral("schemaVersion"));
  if (version != 1) throw CatalogError::version(version);
  return {1, object.optionalData(QStringLiteral("originalLegacyData")),
          ShortcutCatalog::fromJson(object.object(QStringLiteral("catalog")))};
}

/// Why bytes are not a catalog, as the decoder says it.
QString damageOf(const QByteArray& bytes) {
  try {
    ShortcutCatalog::decode(bytes);
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
  return {};
}

}  // namespace

CatalogError ShortcutCatalogRepository::busy() {
  return CatalogError::unavailable(
      QStringLiteral("Another Wendle is saving shortcuts. Try again after it finishes."));
}

CatalogError ShortcutCatalogRepository::lockUnavailable() {
  return CatalogError::unavailable(QStringLiteral("Cannot open the shortcut catalog lock."));
}

QString ShortcutCatalogRepository::applicationDirectory() {
  return pf::SystemInfo::applicationDataDirectory();
}

ShortcutCatalogRepository::ShortcutCatalogRepository(QString directory)
    : write([](const QByteArray& bytes, const QString& path) { pf::AtomicWriter::write(path, bytes); }),
      m_directory(std::move(directory)) {}

QString ShortcutCatalogRepository::path(const QString& name) const { return m_directory + u'/' + name; }

template <typename Operation>
auto ShortcutCatalogRepository::underLock(Operation&& operation) {
  pf::Files::makeFolders(m_directory);
  const pf::FileLock lock =
      pf::FileLock::take(path(lockName), QStringLiteral("Wendle shortcut catalog: %@"), lockUnavailable(), busy());
  return operation();
}

std::optional<QByteArray> ShortcutCatalogRepository::read(const QString& name) const {
  return pf::Files::read(path(name));
}

void ShortcutCatalogRepository::atomicWrite(const QByteArray& bytes, const QString& name) {
  write(bytes, path(name));
  // The default writer creates its file 0600; a replaced one may not.
  ::chmod(QFile::encodeName(path(name)).constData(), 0600);
}

QString ShortcutCatalogRepository::preserveDamaged(const QByteArray& bytes) {
  const QString identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  const QString name = QStringLiteral("shortcuts.unreadable.") + identifier + QStringLiteral(".json");
  atomicWrite(bytes, name);
  return path(name);
}

std::optional<ShortcutCatalog> ShortcutCatalogRepository::readWithoutLock() const {
  try {
    if (const auto primary = read(primaryName)) return ShortcutCatalog::decode(*primary);
  } catch (const std::exception& error) {
    pf::log(QStringLiteral("Wendle shortcut catalog: \"%@\" could not be read: %@"), path(primaryName),
            QString::fromUtf8(error.what()));
  }
  return std::nullopt;
}

ShortcutCatalogRepository::Loaded ShortcutCatalogRepository::accept(const ShortcutCatalog& catalog,
                                                                    const QByteArray& bytes,
                                                                    std::optional<QString> notice) {
  m_expectedData = bytes;
  m_loaded = true;
  return {catalog, std::move(notice)};
}

ShortcutCatalogRepository::Loaded ShortcutCatalogRepository::load(
    const Seed& seed, const std::optional<QByteArray>& legacyData) {
  // Only reading needs the lock: a save compares the file with exactly these
  // bytes, so they are decoded after it is let go, and copies saving at once
  // are kept waiting for a read rather than for a whole load each.
  if (const auto primary = underLock([&] { return read(primaryName); }))
    if (auto loaded = acceptPrimary(*primary)) return *loaded;
  return underLock([&] {
    if (auto loaded = loadExisting()) return *loaded;
    if (const auto migration = read(migrationName)) return loadFromMigration(*migration);
    return seedCatalog(seed, legacyData);
  });
}

std::optional<ShortcutCatalogRepository::Loaded> ShortcutCatalogRepository::acceptPrimary(
    const QByteArray& bytes) {
  try {
    return accept(ShortcutCatalog::decode(bytes), bytes);
  } catch (const CatalogError& error) {
    // A newer catalog is left exactly as it is; a broken rule counts as damage.
    if (error.kind() == CatalogError::Case::version) throw;
  } catch (const pf::JsonError&) {
    // Not JSON, or not a catalog: damaged.
  }
  return std::nullopt;
}

std::optional<ShortcutCatalogRepository::Loaded> ShortcutCatalogRepository::loadExisting() {
  const auto primary = read(primaryName);
  if (primary)
    if (auto loaded = acceptPrimary(*primary)) return loaded;
  const auto previous = read(previousName);
  if (!previous) {
    if (!primary) return std::nullopt;
    pf::log(QStringLiteral("Wendle shortcut catalog: \"%@\" could not be read: %@ It was left as it "
                           "is, and there is no previous copy to recover."),
            path(primaryName), damageOf(*primary));
    throw CatalogError::unavailable(QStringLiteral(
        "The shortcut catalog could not be read. It was preserved; no defaults were substituted."));
  }
  ShortcutCatalog catalog;
  try {
    catalog = ShortcutCatalog::decode(*previous);
  } catch (const std::exception& error) {
    pf::log(QStringLiteral("Wendle shortcut catalog: \"%@\" could not be read: %@ Its previous copy "
                           "\"%@\" could not be read either: %@ Both were left as they are."),
            path(primaryName), primary ? damageOf(*primary) : QStringLiteral("it is missing."),
            path(previousName), QString::fromUtf8(error.what()));
    throw;
  }
  if (primary)
    pf::log(QStringLiteral("Wendle shortcut catalog: \"%@\" could not be read: %@ It was kept as \"%@\", "
                           "and the previous copy was restored."),
            path(primaryName), damageOf(*primary), preserveDamaged(*primary));
  atomicWrite(*previous, primaryName);
  return accept(catalog, *previous,
                primary
                    ? QStringLiteral("Recovered the previous shortcut catalog. The unreadable file was "
                                     "preserved in the application data folder.")
                    : QStringLiteral("Recovered the previous shortcut catalog after an interrupted save."));
}

ShortcutCatalogRepository::Loaded ShortcutCatalogRepository::loadFromMigration(const QByteArray& bytes) {
  const Migration migration = decodeMigration(bytes);
  migration.catalog.validate();
  const QByteArray encoded = migration.catalog.encoded();
  atomicWrite(encoded, primaryName);
  return accept(migration.catalog, encoded);
}

ShortcutCatalogRepository::Loaded ShortcutCatalogRepository::seedCatalog(
    const Seed& seed, const std::optional<QByteArray>& legacyData) {
  const ShortcutCatalog catalog = seed();
  catalog.validate();
  atomicWrite(encodeMigration({1, legacyData, catalog}), migrationName);
  const QByteArray encoded = catalog.encoded();
  atomicWrite(encoded, primaryName);
  return accept(catalog, encoded);
}

void ShortcutCatalogRepository::save(const ShortcutCatalog& catalog, const std::function<void()>& prepare) {
  const QByteArray encoded = catalog.encoded();
  underLock([&] {
    if (!m_loaded || !m_expectedData) throw CatalogError::conflict();
    const auto current = read(primaryName);
    if (!current || *current != *m_expectedData) throw CatalogError::conflict();
    if (prepare) prepare();
    if (encoded == *m_expectedData) return;
    atomicWrite(*m_expectedData, previousName);
    atomicWrite(encoded, primaryName);
    m_expectedData = encoded;
  });
}

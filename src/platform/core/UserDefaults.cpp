#include "platform/core/UserDefaults.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/DefaultsCoding.h"
#include "platform/core/FileError.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "platform/core/Json.h"
#include "platform/core/Log.h"
#include "platform/core/SystemInfo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

namespace pf {
namespace {

// Writers hold the lock for a few milliseconds; waiting longer than this
// means something is wrong, and the change then waits in memory instead.
constexpr std::chrono::milliseconds lockPatience{2000};

/// Every domain object of this process and the one watcher over their folder.
struct Domains {
  QString folder;
  std::map<QString, std::unique_ptr<UserDefaults>> byName;
  /// Declared last so it goes first: no change report reaches a destroyed domain.
  std::unique_ptr<QFileSystemWatcher> watcher;
};

std::unique_ptr<Domains>& domains() {
  static std::unique_ptr<Domains> all;
  return all;
}

/// The value when it holds exactly that type.
template <typename T>
std::optional<T> ofType(const QVariant* value) {
  if (!value || value->metaType() != QMetaType::fromType<T>()) return std::nullopt;
  return value->value<T>();
}

/// A domain's values from its file. One larger than any settings file needs
/// to be is damage, and reading it would slow every start and change.
QVariantMap decodeFile(const QByteArray& bytes) {
  if (bytes.size() > UserDefaults::maximumFileBytes)
    throw JsonError(QStringLiteral("The file is larger than %1 MB, more than settings ever take.")
                        .arg(UserDefaults::maximumFileBytes / (1024 * 1024)));
  return DefaultsCoding::decodeDomain(bytes);
}

void watchFile(Domains& all, const QString& path) {
  // A file replaced by a rename drops out of the watch; it is added again here.
  if (QFileInfo::exists(path) && !all.watcher->files().contains(path)) all.watcher->addPath(path);
}

}  // namespace

UserDefaults::UserDefaults(QString name, const QString& folder)
    : m_name(std::move(name)),
      m_path(folder + u'/' + m_name + QStringLiteral(".json")),
      m_lockPath(folder + u'/' + m_name + QStringLiteral(".lock")) {
  reloadIfChanged();
}

UserDefaults::~UserDefaults() {
  if (!m_pending.empty()) writeChanges();
}

UserDefaults& UserDefaults::standard() { return domain(standardName()); }

UserDefaults& UserDefaults::suite(const QString& name) {
  if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(QChar(0)))
    throw std::invalid_argument(QStringLiteral("\"%1\" cannot name a user-defaults suite.").arg(name).toStdString());
  return domain(name);
}

void UserDefaults::resetAll() { domains().reset(); }

QString UserDefaults::standardName() { return SystemInfo::bundleIdentifier(); }

QString UserDefaults::folder() {
  QString base = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
  // XDG asks that a relative path be ignored.
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return QDir::cleanPath(base + QStringLiteral("/wendle"));
}

UserDefaults& UserDefaults::domain(const QString& name) {
  auto& all = domains();
  if (!all) {
    static const bool cleanupRegistered = (qAddPostRoutine(&UserDefaults::resetAll), true);
    Q_UNUSED(cleanupRegistered);
    all = std::make_unique<Domains>();
    all->folder = folder();
    try {
      Files::makeFolders(all->folder);
    } catch (const FileError& error) {
      logMessage(QString::fromStdString(error.what()));
    }
    all->watcher = std::make_unique<QFileSystemWatcher>();
    if (QFileInfo::exists(all->folder)) all->watcher->addPath(all->folder);
    const auto changed = [] {
      Domains& current = *domains();
      for (auto& [domainName, defaults] : current.byName) {
        defaults->reloadIfChanged();
        watchFile(current, defaults->m_path);
      }
    };
    QObject::connect(all->watcher.get(), &QFileSystemWatcher::directoryChanged, all->watcher.get(), changed);
    QObject::connect(all->watcher.get(), &QFileSystemWatcher::fileChanged, all->watcher.get(), changed);
  }
  std::unique_ptr<UserDefaults>& slot = all->byName[name];
  if (!slot) {
    slot.reset(new UserDefaults(name, all->folder));
    watchFile(*all, slot->m_path);
  }
  return *slot;
}

const QVariant* UserDefaults::find(const QString& key) const {
  if (auto it = m_stored.constFind(key); it != m_stored.constEnd()) return &*it;
  if (auto it = m_registered.constFind(key); it != m_registered.constEnd()) return &*it;
  return nullptr;
}

std::optional<QVariant> UserDefaults::object(const QString& key) const {
  const QVariant* value = find(key);
  return value ? std::optional(*value) : std::nullopt;
}

std::optional<QString> UserDefaults::string(const QString& key) const { return ofType<QString>(find(key)); }

bool UserDefaults::boolValue(const QString& key) const {
  const QVariant* value = find(key);
  if (!value) return false;
  switch (value->typeId()) {
    case QMetaType::Bool: return value->toBool();
    case QMetaType::LongLong: return value->toLongLong() != 0;
    case QMetaType::Double: return value->toDouble() != 0;
    case QMetaType::QString: {
      const QString text = value->toString();
      return text.compare(u"true", Qt::CaseInsensitive) == 0 || text.compare(u"yes", Qt::CaseInsensitive) == 0;
    }
    default: return false;
  }
}

qint64 UserDefaults::integerValue(const QString& key) const {
  const QVariant* value = find(key);
  if (!value) return 0;
  if (value->typeId() == QMetaType::LongLong) return value->toLongLong();
  if (value->typeId() != QMetaType::Double) return 0;
  const double number = value->toDouble();
  if (std::isnan(number)) return 0;
  // 2^63 exactly: every double below it in magnitude converts without overflow.
  constexpr double limit = 9223372036854775808.0;
  if (number >= limit) return std::numeric_limits<qint64>::max();
  if (number <= -limit) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(number);
}

double UserDefaults::doubleValue(const QString& key) const {
  const QVariant* value = find(key);
  return value && DefaultsCoding::isNumber(*value) ? value->toDouble() : 0.0;
}

std::optional<QByteArray> UserDefaults::data(const QString& key) const { return ofType<QByteArray>(find(key)); }

std::optional<QVariantList> UserDefaults::array(const QString& key) const { return ofType<QVariantList>(find(key)); }

std::optional<QStringList> UserDefaults::stringArray(const QString& key) const {
  const auto items = array(key);
  if (!items) return std::nullopt;
  QStringList strings;
  for (const QVariant& item : *items) {
    if (item.typeId() != QMetaType::QString) return std::nullopt;
    strings << item.toString();
  }
  return strings;
}

std::optional<QVariantMap> UserDefaults::dictionary(const QString& key) const { return ofType<QVariantMap>(find(key)); }

bool UserDefaults::isNumber(const QString& key) const {
  const QVariant* value = find(key);
  return value && DefaultsCoding::isNumber(*value);
}

QVariantMap UserDefaults::dictionaryRepresentation() const {
  QVariantMap all = m_registered;
  all.insert(m_stored);
  return all;
}

void UserDefaults::set(const QString& key, const QVariant& value) {
  if (!value.isValid()) return remove(key);
  change(key, DefaultsCoding::normalized(value));
}

void UserDefaults::remove(const QString& key) { change(key, std::nullopt); }

void UserDefaults::registerDefaults(const QVariantMap& values) {
  for (auto it = values.begin(); it != values.end(); ++it)
    m_registered.insert(it.key(), DefaultsCoding::normalized(it.value()));
}

void UserDefaults::change(const QString& key, std::optional<QVariant> value) {
  if (value)
    m_stored.insert(key, *value);
  else
    m_stored.remove(key);
  m_pending[key] = std::move(value);
  writeChanges();
}

void UserDefaults::writeChanges() {
  try {
    Files::makeFolders(Files::parentFolder(m_path));
    const auto lock = FileLock::lock(m_lockPath, lockPatience);
    if (!lock) {
      logMessage(QStringLiteral("The settings file \"%1\" stayed locked by another copy of Wendle; the "
                                "change is kept "
                                "and written with the next one.")
                     .arg(m_path));
      return;
    }
    adopt(readUnderLock());
    const QByteArray bytes = DefaultsCoding::encodeDomain(m_stored);
    if (bytes != m_lastBytes) {
      AtomicWriter::write(m_path, bytes);
      m_lastBytes = bytes;
    }
    m_pending.clear();
  } catch (const FileError& error) {
    logMessage(QStringLiteral("%1 The change is kept and written with the next one.").arg(error.what()));
  }
}

void UserDefaults::reloadIfChanged() {
  std::optional<QByteArray> bytes;
  try {
    bytes = Files::read(m_path, maximumFileBytes + 1);
  } catch (const FileError& error) {
    logMessage(QString::fromStdString(error.what()));
    return;
  }
  if (bytes == m_lastBytes) return;
  try {
    QVariantMap values = bytes ? decodeFile(*bytes) : QVariantMap();
    m_lastBytes = std::move(bytes);
    adopt(std::move(values));
  } catch (const JsonError&) {
    // Setting the file aside happens under the lock, so a good file another
    // copy is writing right now is never the one moved away. When the lock
    // is busy its holder deals with the file and the watcher brings us back.
    try {
      if (const auto lock = FileLock::tryLock(m_lockPath)) adopt(readUnderLock());
    } catch (const FileError& error) {
      logMessage(QString::fromStdString(error.what()));
    }
  }
}

QVariantMap UserDefaults::readUnderLock() {
  m_lastBytes = Files::read(m_path, maximumFileBytes + 1);
  if (!m_lastBytes) return {};
  try {
    return decodeFile(*m_lastBytes);
  } catch (const JsonError& error) {
    setAside(QString::fromStdString(error.what()));
    m_lastBytes.reset();
    return {};
  }
}

void UserDefaults::setAside(const QString& reason) {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  const QString base = QStringLiteral("%1/%2.damaged-%3").arg(Files::parentFolder(m_path), m_name, stamp);
  for (int copy = 1;; ++copy) {
    const QString kept = base + (copy == 1 ? QString() : QStringLiteral("-%1").arg(copy)) + QStringLiteral(".json");
    try {
      Files::renameNoReplace(m_path, kept);
      logMessage(QStringLiteral("The settings file \"%1\" could not be read: %2 It was kept as \"%3\", "
                                "and these settings "
                                "start empty.")
                     .arg(m_path, reason, kept));
      return;
    } catch (const FileError& error) {
      if (error.errorNumber() != EEXIST || copy >= 100) throw;
    }
  }
}

void UserDefaults::adopt(QVariantMap values) {
  for (const auto& [key, value] : m_pending) {
    if (value)
      values.insert(key, *value);
    else
      values.remove(key);
  }
  m_stored = std::move(values);
}

}  // namespace pf

#include "platform/core/Bookmark.h"

#include "platform/core/Files.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace pf {
namespace {

struct Record {
  QString path;
  quint64 device = 0;
  quint64 inode = 0;
  QString kind;
};

const QStringList kinds{QStringLiteral("file"), QStringLiteral("folder"), QStringLiteral("other")};

QString kindOf(mode_t mode) {
  if (S_ISREG(mode)) return kinds[0];
  if (S_ISDIR(mode)) return kinds[1];
  return kinds[2];
}

// Device and inode numbers are 64-bit and JSON numbers are doubles, so they are
// stored as decimal text to stay exact.
std::optional<quint64> number(const QJsonValue& value) {
  const QString text = value.toString();
  if (text.isEmpty() || text.size() > 20) return std::nullopt;
  for (QChar c : text)
    if (c < u'0' || c > u'9') return std::nullopt;
  bool ok = false;
  const quint64 n = text.toULongLong(&ok);
  return ok ? std::optional(n) : std::nullopt;
}

std::optional<Record> decode(const QByteArray& data) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(data, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  const QJsonObject object = document.object();
  static const QStringList keys{"dev", "ino", "kind", "path", "v"};
  if (object.keys() != keys || object.value("v") != QJsonValue(1)) return std::nullopt;
  const QString path = object.value("path").toString();
  const auto device = number(object.value("dev"));
  const auto inode = number(object.value("ino"));
  const QString kind = object.value("kind").toString();
  if (!path.startsWith('/') || !device || !inode || !kinds.contains(kind)) return std::nullopt;
  return Record{path, *device, *inode, kind};
}

QString join(const QString& folder, const QString& name) {
  return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

/// Looks for the item with `device` and `inode` breadth first, two levels
/// below each of `roots`; entries are not followed through links.
class NearbySearch final {
 public:
  NearbySearch(quint64 device, quint64 inode) : m_device(device), m_inode(inode) {}

  std::optional<QString> find(const QStringList& roots) {
    QSet<QString> searched;
    for (const QString& root : roots) {
      m_queue.clear();
      m_queue.push_back({root, 1});
      while (!m_queue.empty() && m_budget > 0) {
        const auto [folder, depth] = m_queue.front();
        m_queue.pop_front();
        if (searched.contains(folder)) continue;
        searched.insert(folder);
        if (auto found = scan(folder, depth)) return found;
      }
    }
    return std::nullopt;
  }

 private:
  std::optional<QString> scan(const QString& folder, int depth) {
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir) return std::nullopt;
    std::optional<QString> found;
    while (dirent* entry = readdir(dir)) {
      if (!std::strcmp(entry->d_name, ".") || !std::strcmp(entry->d_name, "..")) continue;
      if (--m_budget < 0) break;
      struct stat info {};
      if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      const QString path = join(folder, QFile::decodeName(entry->d_name));
      if (quint64(info.st_dev) == m_device && quint64(info.st_ino) == m_inode) {
        found = path;
        break;
      }
      // A renamed item keeps its device, so other file systems (network mounts
      // that may hang) are not entered.
      if (S_ISDIR(info.st_mode) && depth < 2 && quint64(info.st_dev) == m_device) m_queue.push_back({path, depth + 1});
    }
    closedir(dir);
    return found;
  }

  quint64 m_device = 0;
  quint64 m_inode = 0;
  int m_budget = Bookmark::searchLimit;
  std::deque<std::pair<QString, int>> m_queue;
};

}  // namespace

QByteArray Bookmark::create(const QString& path) {
  if (!path.startsWith('/'))
    throw BookmarkError("The location \"" + path.toStdString() + "\" is not an absolute path.");
  const QString clean = QDir::cleanPath(path);
  struct stat info {};
  if (stat(QFile::encodeName(clean).constData(), &info) != 0)
    throw BookmarkError("The item \"" + clean.toStdString() + "\" could not be bookmarked: " + std::strerror(errno) +
                        ".");
  const QJsonObject object{{"v", 1},
                           {"path", clean},
                           {"dev", QString::number(quint64(info.st_dev))},
                           {"ino", QString::number(quint64(info.st_ino))},
                           {"kind", kindOf(info.st_mode)}};
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

BookmarkResolution Bookmark::resolve(const QByteArray& data) {
  const std::optional<Record> record = decode(data);
  if (!record) throw BookmarkError("The bookmark data is not in a format this program can read.");
  struct stat info {};
  if (stat(QFile::encodeName(record->path).constData(), &info) == 0) {
    const bool same = quint64(info.st_dev) == record->device && quint64(info.st_ino) == record->inode;
    return {record->path, !same};
  }
  const QString parent = Files::parentFolder(record->path);
  NearbySearch search(record->device, record->inode);
  if (auto found = search.find({parent, Files::parentFolder(parent)})) return {*found, true};
  throw BookmarkError("The bookmarked item \"" + record->path.toStdString() + "\" could not be found.");
}

}  // namespace pf

#include "filedrop/FileDropTransfer.h"

#include "filedrop/FileDropError.h"
#include "platform/core/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

using pf::FileError;

namespace {

const QString notLocalMessage = QStringLiteral("Choose a local saved folder.");
const QString folderMissingMessage = QStringLiteral("The saved destination folder is missing or unavailable.");
const QString insideItselfMessage =
    QStringLiteral("A folder cannot be placed inside itself. Choose a different destination.");
const QString alreadyThereMessage = QStringLiteral("This item is already in the selected folder. Nothing was moved.");
const QString tooManyNamesMessage =
    QStringLiteral("Too many files already use this name. Rename the source and try again.");

/// The absolute path a URL names on this machine; none for any other URL.
std::optional<QString> localPath(const QUrl& url) {
  const QString host = url.host();
  if (!url.isLocalFile() || !(host.isEmpty() || host.compare(u"localhost", Qt::CaseInsensitive) == 0))
    return std::nullopt;
  const QString path = url.path(QUrl::FullyDecoded);
  if (!QDir::isAbsolutePath(path)) return std::nullopt;
  return QDir::cleanPath(path);
}

/// The item's path with every link resolved, or none when it cannot be resolved.
std::optional<QString> resolved(const QString& path) {
  char* real = ::realpath(QFile::encodeName(path).constData(), nullptr);
  if (!real) return std::nullopt;
  const QString result = QFile::decodeName(real);
  std::free(real);
  return result;
}

QString platformMessage(int error, const QString& action, const QString& path) {
  return QString::fromUtf8(FileError::failed(error, action, path).what());
}

bool lstatOf(const QString& path, struct stat& status) {
  return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

/// Whether nothing, not even a dangling link, has this name. A name that
/// cannot be examined is not taken for free.
bool isFree(const QString& path) {
  struct stat status {};
  if (lstatOf(path, status)) return false;
  const int error = errno;
  if (error == ENOENT) return true;
  throw FileDropError(FileDropError::Code::check, platformMessage(error, QStringLiteral("examine"), path));
}

bool isInside(const QString& folder, const QString& item) {
  const QString prefix = item.endsWith(u'/') ? item : item + u'/';
  return folder == item || folder.startsWith(prefix);
}

FileDropResult failed(const QUrl& source, const QString& message) { return {source, std::nullopt, message}; }

FileDropResult transferOne(const QUrl& source, const QUrl& folder, FileDropOperation operation,
                           FileDropFileManager& fileManager) {
  const std::optional<QString> folderPath = localPath(folder);
  if (!folderPath) return failed(source, notLocalMessage);
  struct stat folderStatus {};
  if (::stat(QFile::encodeName(*folderPath).constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
    return failed(source, folderMissingMessage);
  const QString sourcePath = *localPath(source);
  struct stat status {};
  if (!lstatOf(sourcePath, status)) {
    const int error = errno;
    return failed(source, platformMessage(error, QStringLiteral("read"), sourcePath));
  }
  if (!FileDropFileManager::isTransferable(status))
    return failed(source, FileDropFileManager::notTransferableMessage(sourcePath));
  const std::optional<QString> resolvedFolder = resolved(*folderPath);
  if (!resolvedFolder) return failed(source, folderMissingMessage);
  if (S_ISDIR(status.st_mode)) {
    const std::optional<QString> resolvedSource = resolved(sourcePath);
    if (resolvedSource && isInside(*resolvedFolder, *resolvedSource)) return failed(source, insideItselfMessage);
  }
  if (operation == FileDropOperation::move && resolved(QFileInfo(sourcePath).path()) == resolvedFolder)
    return failed(source, alreadyThereMessage);
  QUrl target;
  try {
    target = FileDropTransfer::destination(source, folder);
  } catch (const FileDropError& error) {
    return failed(source, error.message());
  }
  try {
    if (operation == FileDropOperation::copy)
      fileManager.copyItem(sourcePath, target.toLocalFile());
    else
      fileManager.moveItem(sourcePath, target.toLocalFile());
  } catch (const FileError& error) {
    return {source, target, QString::fromUtf8(error.what())};
  }
  return {source, target, std::nullopt};
}

}  // namespace

std::vector<FileDropResult> FileDropTransfer::run(const QList<QUrl>& sources, const QUrl& folder,
                                                  FileDropOperation operation, FileDropFileManager& fileManager,
                                                  const Progress& progress) {
  const QList<QUrl> items = uniqueSources(sources);
  std::vector<FileDropResult> results;
  for (const QUrl& source : items) {
    results.push_back(transferOne(source, folder, operation, fileManager));
    if (progress) progress(qsizetype(results.size()), items.size());
  }
  return results;
}

QUrl FileDropTransfer::destination(const QUrl& source, const QUrl& folder) {
  const QString folderPath = localPath(folder).value_or(QString());
  const QString name = QFileInfo(localPath(source).value_or(QString())).fileName();
  const auto candidate = [&](const QString& fileName) { return QDir(folderPath).filePath(fileName); };
  if (isFree(candidate(name))) return QUrl::fromLocalFile(candidate(name));
  for (int number = 2; number <= lastNumber; ++number) {
    const QString path = candidate(numberedName(name, number));
    if (isFree(path)) return QUrl::fromLocalFile(path);
  }
  throw FileDropError(FileDropError::Code::tooManyNames, tooManyNamesMessage);
}

QList<QUrl> FileDropTransfer::uniqueSources(const QList<QUrl>& urls) {
  QList<QUrl> unique;
  QSet<QString> seen;
  for (const QUrl& url : urls) {
    const std::optional<QString> path = localPath(url);
    if (!path || seen.contains(*path)) continue;
    seen.insert(*path);
    unique.append(QUrl::fromLocalFile(*path));
  }
  return unique;
}

QString FileDropTransfer::numberedName(const QString& name, int number) {
  const qsizetype dot = name.lastIndexOf(u'.');
  const QString suffix = u' ' + QString::number(number);
  if (dot <= 0 || dot == name.size() - 1) return name + suffix;
  return name.left(dot) + suffix + name.mid(dot);
}

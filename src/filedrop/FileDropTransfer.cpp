#include "filedrop/FileDropTransfer.h"

#include "filedrop/FileDropError.h"
#include "platform/core/FileError.h"
#include "platform/core/FileURL.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

using pf::FileError;
using pf::FileURL;

namespace {

const QString notLocalMessage = QStringLiteral("Choose a local saved folder.");
const QString folderMissingMessage = QStringLiteral("The saved destination folder is missing or unavailable.");
const QString insideItselfMessage =
    QStringLiteral("A folder cannot be placed inside itself. Choose a different destination.");
const QString alreadyThereMessage = QStringLiteral("This item is already in the selected folder. Nothing was moved.");
const QString tooManyNamesMessage =
    QStringLiteral("Too many files already use this name. Rename the source and try again.");

/// The item's path with every link resolved, or none when it cannot be resolved.
std::optional<QByteArray> resolved(const QByteArray& path) {
  char* real = ::realpath(path.constData(), nullptr);
  if (!real) return std::nullopt;
  const QByteArray result(real);
  std::free(real);
  return result;
}

QString platformMessage(int error, const QString& action, const QByteArray& path) {
  return QString::fromUtf8(FileError::failed(error, action, QFile::decodeName(path)).what());
}

/// Whether nothing, not even a dangling link, has this name. A name that
/// cannot be examined is not taken for free.
bool isFree(const QByteArray& path) {
  struct stat status {};
  if (::lstat(path.constData(), &status) == 0) return false;
  const int error = errno;
  if (error == ENOENT) return true;
  throw FileDropError(FileDropError::Code::check, platformMessage(error, QStringLiteral("examine"), path));
}

bool isInside(const QByteArray& folder, const QByteArray& item) {
  const QByteArray prefix = item.endsWith('/') ? item : item + '/';
  return folder == item || folder.startsWith(prefix);
}

/// The start of the last character that begins at or before `length`: a cut
/// there never splits a UTF-8 character.
qsizetype characterStart(const QByteArray& text, qsizetype length) {
  while (length > 0 && length < text.size() && (uchar(text[length]) & 0xC0) == 0x80) --length;
  return length;
}

/// The free names for an item in a folder, in order: its own, then numbered.
class FreeNames final {
 public:
  FreeNames(QByteArray folder, QByteArray name) : m_folder(std::move(folder)), m_name(std::move(name)) {}

  /// The next candidate nothing has; throws the code-1 error after the last number.
  QByteArray next() {
    while (m_number <= FileDropTransfer::lastNumber) {
      const int number = m_number++;
      const QByteArray path =
          FileURL::childPath(m_folder, number == 1 ? m_name : FileDropTransfer::numberedName(m_name, number));
      if (isFree(path)) return path;
    }
    throw FileDropError(FileDropError::Code::tooManyNames, tooManyNamesMessage);
  }

 private:
  QByteArray m_folder;
  QByteArray m_name;
  int m_number = 1;
};

FileDropResult failed(const QUrl& source, const QString& message) { return {source, std::nullopt, message}; }

/// The check that refuses the item before anything is written, if any.
std::optional<QString> refusal(const QByteArray& sourcePath, const std::optional<QByteArray>& folderPath,
                               FileDropOperation operation) {
  if (!folderPath) return notLocalMessage;
  struct stat folderStatus {};
  if (::stat(folderPath->constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
    return folderMissingMessage;
  struct stat status {};
  if (::lstat(sourcePath.constData(), &status) != 0)
    return platformMessage(errno, QStringLiteral("read"), sourcePath);
  if (!FileDropFileManager::isTransferable(status))
    return FileDropFileManager::notTransferableMessage(QFile::decodeName(sourcePath));
  const std::optional<QByteArray> resolvedFolder = resolved(*folderPath);
  if (!resolvedFolder) return folderMissingMessage;
  if (S_ISDIR(status.st_mode)) {
    const std::optional<QByteArray> resolvedSource = resolved(sourcePath);
    if (resolvedSource && isInside(*resolvedFolder, *resolvedSource)) return insideItselfMessage;
  }
  if (operation == FileDropOperation::move && resolved(FileURL::parentPath(sourcePath)) == resolvedFolder)
    return alreadyThereMessage;
  return std::nullopt;
}

FileDropResult transferOne(const QUrl& source, const QUrl& folder, FileDropOperation operation,
                           FileDropFileManager& fileManager) {
  const std::optional<QByteArray> folderPath = FileURL::localPath(folder);
  const QByteArray sourcePath = FileURL::localPath(source).value_or(QByteArray());
  if (const std::optional<QString> message = refusal(sourcePath, folderPath, operation))
    return failed(source, *message);
  FreeNames names(*folderPath, FileURL::fileName(sourcePath));
  QByteArray tried;
  try {
    tried = names.next();
    const auto nextName = [&] { return tried = names.next(); };
    const QByteArray placed = operation == FileDropOperation::copy
                                  ? fileManager.copyItem(sourcePath, tried, nextName)
                                  : fileManager.moveItem(sourcePath, tried, nextName);
    return {source, FileURL::fromLocalPath(placed), std::nullopt};
  } catch (const FileDropError& error) {
    return failed(source, error.message());
  } catch (const FileError& error) {
    return {source, FileURL::fromLocalPath(tried), QString::fromUtf8(error.what())};
  }
}

}  // namespace

std::vector<FileDropResult> FileDropTransfer::run(const QList<QUrl>& sources, const QUrl& folder,
                                                  FileDropOperation operation, FileDropFileManager& fileManager) {
  const QList<QUrl> items = uniqueSources(sources);
  std::vector<FileDropResult> results;
  if (items.isEmpty()) return results;
  if (const std::optional<QByteArray> folderPath = FileURL::localPath(folder))
    fileManager.removeAbandoned(*folderPath);
  for (const QUrl& source : items) results.push_back(transferOne(source, folder, operation, fileManager));
  return results;
}

QUrl FileDropTransfer::destination(const QUrl& source, const QUrl& folder) {
  const QByteArray sourcePath = FileURL::localPath(source).value_or(QByteArray());
  return FileURL::fromLocalPath(FreeNames(FileURL::localPath(folder).value_or(QByteArray()), FileURL::fileName(sourcePath)).next());
}

QList<QUrl> FileDropTransfer::uniqueSources(const QList<QUrl>& urls) {
  QList<QUrl> unique;
  QSet<QByteArray> seen;
  for (const QUrl& url : urls) {
    const std::optional<QByteArray> path = FileURL::localPath(url);
    if (!path || seen.contains(*path)) continue;
    seen.insert(*path);
    unique.append(FileURL::fromLocalPath(*path));
  }
  return unique;
}

QByteArray FileDropTransfer::numberedName(const QByteArray& name, int number) {
  const qsizetype dot = name.lastIndexOf('.');
  const QByteArray suffix = ' ' + QByteArray::number(number);
  QByteArray base = name;
  QByteArray extension;
  // An extension too long to keep beside a base and the number is cut like the rest.
  if (dot > 0 && dot < name.size() - 1 && longestName - suffix.size() - (name.size() - dot) > 0) {
    base = name.left(dot);
    extension = name.mid(dot);
  }
  const qsizetype room = longestName - suffix.size() - extension.size();
  return base.left(characterStart(base, room)) + suffix + extension;
}

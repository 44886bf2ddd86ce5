#include "platform/core/AtomicWriter.h"

#include "platform/core/FileError.h"
#include "platform/core/Files.h"
#include "platform/core/Log.h"
#include "platform/core/TemporaryLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace pf {
namespace {

// A temporary file older than this whose lock nobody holds was left by a
// writer that died; live writers hold theirs from creation to the rename.
constexpr std::chrono::seconds abandonedAge{60};

/// The start of every temporary name for `path`: hidden, beside the target (a
/// rename never crosses file systems), and short enough for any target name.
QString temporaryPrefix(const QString& path) { return QStringLiteral(".%1.").arg(QFileInfo(path).fileName().left(60)); }

QString temporaryName(const QString& path) {
  const quint64 random = QRandomGenerator::global()->generate64();
  return QStringLiteral("%1/%2%3.tmp")
      .arg(Files::parentFolder(path), temporaryPrefix(path), QString::number(random, 36));
}

/// Where a write to `path` lands: a symbolic link is followed to the file it
/// names, so links kept by dotfile managers stay links.
QString resolvedTarget(const QString& path) {
  QString current = path;
  for (int hop = 0; hop < 40; ++hop) {
    const QFileInfo item(current);
    if (!item.isSymLink()) return current;
    const QString target = item.symLinkTarget();
    if (target.isEmpty()) return current;
    current = target;
  }
  throw FileError::failed(ELOOP, QStringLiteral("replace"), path);
}

bool isAbandoned(const QString& path, const struct stat& entry) {
  const auto age = std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(entry.st_mtim.tv_sec);
  if (!S_ISREG(entry.st_mode) || age < abandonedAge) return false;
  return TemporaryLock::takeAbandoned(AT_FDCWD, QFile::encodeName(path).constData()).isOpen();
}

/// Removes the temporary files in `folder` whose names match `pattern` and
/// whose writes were cut off.
void removeAbandoned(const QString& folder, const QString& pattern) {
  const QStringList names = QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    const QString candidate = folder + u'/' + name;
    const QByteArray encoded = QFile::encodeName(candidate);
    struct stat entry {};
    if (::lstat(encoded.constData(), &entry) == 0 && isAbandoned(candidate, entry)) ::unlink(encoded.constData());
  }
}

}  // namespace

AtomicWriter::AtomicWriter(QString path) : m_path(resolvedTarget(path)) {
  Files::makeFolders(Files::parentFolder(m_path));
  removeAbandoned(Files::parentFolder(m_path), temporaryPrefix(m_path) + QStringLiteral("*.tmp"));
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_temporaryPath = temporaryName(m_path);
    m_file = FileDescriptor::open(m_temporaryPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (!m_file.isOpen()) {
      if (errno != EEXIST) break;
      continue;
    }
    // Marked as in use until the rename, as every temporary a cleaner may sweep.
    if (TemporaryLock::hold(m_file.get(), AT_FDCWD, QFile::encodeName(m_temporaryPath).constData())) return;
    m_file.close();
  }
  throw FileError::failed(errno, QStringLiteral("create a temporary file for"), m_path);
}

AtomicWriter::~AtomicWriter() { discard(); }

void AtomicWriter::removeAbandonedIn(const QString& folder) { removeAbandoned(folder, QStringLiteral(".*.tmp")); }

void AtomicWriter::write(const QString& path, const QByteArray& bytes) {
  AtomicWriter writer(path);
  writer.append(bytes);
  writer.commit();
}

void AtomicWriter::append(const QByteArray& bytes) {
  if (!m_file.isOpen()) throw std::logic_error("AtomicWriter::append after commit or failure");
  try {
    m_file.writeAll(bytes, m_path);
  } catch (const FileError&) {
    discard();
    throw;
  }
}

void AtomicWriter::commit() {
  if (!m_file.isOpen()) throw std::logic_error("AtomicWriter::commit after commit or failure");
  try {
    m_file.sync(m_path);
    if (::rename(QFile::encodeName(m_temporaryPath).constData(), QFile::encodeName(m_path).constData()) != 0)
      throw FileError::failed(errno, QStringLiteral("replace"), m_path);
  } catch (const FileError&) {
    discard();
    throw;
  }
  // The lock is let go only once the file has its final name.
  m_file.close();
  m_temporaryPath.clear();
  // The new file is in place and readable from now on; callers that compare
  // what they wrote with the file must be told so even if the folder's entry
  // could not be made durable, which is worth a log line, not a failure.
  try {
    Files::syncFolder(Files::parentFolder(m_path));
  } catch (const FileError& error) {
    logMessage(QString::fromUtf8(error.what()));
  }
}

void AtomicWriter::discard() {
  m_file.close();
  if (!m_temporaryPath.isEmpty()) ::unlink(QFile::encodeName(m_temporaryPath).constData());
  m_temporaryPath.clear();
}

}  // namespace pf

#include "platform/core/AtomicWriter.h"

#include "platform/core/FileError.h"
#include "platform/core/Files.h"
#include "platform/core/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace pf {
namespace {

QString temporaryName(const QString& path) {
  // Hidden, beside the target (a rename never crosses file systems), and
  // short enough for any target name.
  const QString name = QFileInfo(path).fileName().left(60);
  const quint64 random = QRandomGenerator::global()->generate64();
  return QStringLiteral("%1/.%2.%3.tmp")
      .arg(Files::parentFolder(path), name, QString::number(random, 36));
}

}  // namespace

AtomicWriter::AtomicWriter(QString path) : m_path(std::move(path)) {
  Files::makeFolders(Files::parentFolder(m_path));
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_temporaryPath = temporaryName(m_path);
    m_file = FileDescriptor::open(m_temporaryPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (m_file.isOpen()) return;
    if (errno != EEXIST) break;
  }
  throw FileError::failed(errno, QStringLiteral("create a temporary file for"), m_path);
}

AtomicWriter::~AtomicWriter() { discard(); }

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
    m_file.close();
    if (::rename(QFile::encodeName(m_temporaryPath).constData(),
                 QFile::encodeName(m_path).constData()) != 0)
      throw FileError::failed(errno, QStringLiteral("replace"), m_path);
  } catch (const FileError&) {
    discard();
    throw;
  }
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

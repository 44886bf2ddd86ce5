#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>

namespace test {

/// Writes `bytes` over the file at `path` in place, creating its folder
/// first; records a test failure when it cannot. Gives `path`.
inline QString writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
    ADD_FAILURE() << "cannot write " << path.toStdString();
  return path;
}

/// The contents of the file at `path`, or "" when it cannot be read.
inline QByteArray contentsOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace test

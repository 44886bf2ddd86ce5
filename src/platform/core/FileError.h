#pragma once

#include <QString>
#include <stdexcept>

namespace pf {

/// A failed file-system operation: the system's error number, the path it
/// concerns and a finished sentence that names both.
class FileError final : public std::runtime_error {
 public:
  /// `message` is the finished sentence shown to people.
  FileError(int errorNumber, QString path, const QString& message);

  /// "Could not <action> "<path>": <the system's description>."
  static FileError failed(int errorNumber, const QString& action, const QString& path);

  /// The `errno` value, e.g. ENOENT or EEXIST.
  int errorNumber() const { return m_errorNumber; }
  const QString& path() const { return m_path; }

 private:
  int m_errorNumber = 0;
  QString m_path;
};

}  // namespace pf

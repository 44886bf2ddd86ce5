#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

/// An error of the shortcut catalog: an unsupported format version, a catalog
/// that breaks a rule, a catalog that cannot be read or locked, or a file that
/// changed under the program.
class CatalogError final : public std::exception {
 public:
  enum class Case { version, invalid, unavailable, conflict };

  /// A catalog of an unsupported format version.
  static CatalogError version(qint64 version);
  /// A catalog that breaks a rule; `message` is the finished sentence.
  static CatalogError invalid(const QString& message);
  /// The catalog cannot be read or locked; `message` is the finished sentence.
  static CatalogError unavailable(const QString& message);
  /// The file changed since the program last read or wrote it.
  static CatalogError conflict();

  Case kind() const { return m_case; }
  /// The version of a `version` error; 0 for the other cases.
  qint64 versionNumber() const { return m_version; }
  /// The sentence shown to the user.
  QString errorDescription() const;
  const char* what() const noexcept override { return m_utf8.constData(); }

  bool operator==(const CatalogError& other) const {
    return m_case == other.m_case && m_version == other.m_version && m_message == other.m_message;
  }

 private:
  CatalogError(Case kind, qint64 version, QString message);

  Case m_case = Case::conflict;
  qint64 m_version = 0;
  QString m_message;
  QByteArray m_utf8;
};

#include "shortcuts/CatalogError.h"

CatalogError::CatalogError(Case kind, qint64 version, QString message)
    : m_case(kind), m_version(version), m_message(std::move(message)) {
  m_utf8 = errorDescription().toUtf8();
}

CatalogError CatalogError::version(qint64 version) { return {Case::version, version, {}}; }

CatalogError CatalogError::invalid(const QString& message) { return {Case::invalid, 0, message}; }

CatalogError CatalogError::unavailable(const QString& message) { return {Case::unavailable, 0, message}; }

CatalogError CatalogError::conflict() { return {Case::conflict, 0, {}}; }

QString CatalogError::errorDescription() const {
  switch (m_case) {
    case Case::version:
      return QStringLiteral(
                 "Shortcut catalog version %1 is not supported. It was preserved "
                 "unchanged; use the app version that created it.")
          .arg(m_version);
    case Case::invalid:
    case Case::unavailable: return m_message;
    case Case::conflict: break;
  }
  return QStringLiteral(
      "The shortcut catalog changed elsewhere. Reopen Wendle before editing it. "
      "Nothing was overwritten.");
}

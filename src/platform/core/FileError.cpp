#include "platform/core/FileError.h"

#include <QtGlobal>

namespace pf {

FileError::FileError(int errorNumber, QString path, const QString& message)
    : std::runtime_error(message.toStdString()), m_errorNumber(errorNumber), m_path(std::move(path)) {}

FileError FileError::failed(int errorNumber, const QString& action, const QString& path) {
  return FileError(errorNumber, path,
                   QStringLiteral("Could not %1 \"%2\": %3.").arg(action, path, qt_error_string(errorNumber)));
}

}  // namespace pf

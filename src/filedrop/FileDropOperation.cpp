#include "filedrop/FileDropOperation.h"

QString rawValue(FileDropOperation operation) {
  return operation == FileDropOperation::copy ? QStringLiteral("copy") : QStringLiteral("move");
}

std::optional<FileDropOperation> fileDropOperation(const QString& raw) {
  for (const FileDropOperation operation : {FileDropOperation::copy, FileDropOperation::move})
    if (raw == rawValue(operation)) return operation;
  return std::nullopt;
}

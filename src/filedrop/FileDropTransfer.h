#pragma once

#include "filedrop/FileDropFileManager.h"
#include "filedrop/FileDropOperation.h"
#include "filedrop/FileDropResult.h"

#include <QByteArray>
#include <QList>
#include <QUrl>
#include <vector>

/// Copies or moves dropped items into a folder under free names, never
/// replacing anything. Keeps no state and runs on the calling thread. Paths
/// stay bytes from the URLs to the system calls, so any file name works.
class FileDropTransfer final {
 public:
  FileDropTransfer() = delete;

  /// The highest number tried for a free name ("Report 10000.pdf").
  static constexpr int lastNumber = 10000;
  /// The longest file name, in bytes, the file systems here take.
  static constexpr qsizetype longestName = 255;

  /// Copies or moves each of `uniqueSources(sources)` into `folder`, in order,
  /// giving one result per item. First removes what transfers into `folder`
  /// that were cut off left there. Never throws; a failed item never stops
  /// the others.
  static std::vector<FileDropResult> run(const QList<QUrl>& sources, const QUrl& folder,
                                         FileDropOperation operation,
                                         FileDropFileManager& fileManager = FileDropFileManager::shared());

  /// The URL in `folder` under which `source` can be written without replacing
  /// anything: its own name, else `numberedName` for N from 2 to `lastNumber`.
  /// Throws FileDropError when every name is taken, or when a name cannot be
  /// examined. Changes nothing.
  static QUrl destination(const QUrl& source, const QUrl& folder);

  /// The local file URLs of `urls`, standardised, without repeats (paths
  /// compared byte for byte), in first-seen order.
  static QList<QUrl> uniqueSources(const QList<QUrl>& urls);

  /// The name of the free-name candidate `number` for `name`: "base N.ext"
  /// (a name with no extension, or whose only dot leads it, gets the number at
  /// its end). The base is shortened, at a character's start, as far as the
  /// name must be to fit `longestName`.
  static QByteArray numberedName(const QByteArray& name, int number);
};

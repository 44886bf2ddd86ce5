#pragma once

#include "filedrop/FileDropFileManager.h"
#include "filedrop/FileDropOperation.h"
#include "filedrop/FileDropResult.h"

#include <QList>
#include <QUrl>
#include <functional>
#include <vector>

/// Copies or moves dropped items into a folder under free names, never
/// replacing anything. Keeps no state and runs on the calling thread.
class FileDropTransfer final {
 public:
  FileDropTransfer() = delete;

  /// The highest number tried for a free name ("Report 10000.pdf").
  static constexpr int lastNumber = 10000;

  /// Told after each item how many of all the items are done.
  using Progress = std::function<void(qsizetype done, qsizetype total)>;

  /// Copies or moves each of `uniqueSources(sources)` into `folder`, in order,
  /// giving one result per item. Never throws; a failed item never stops the others.
  static std::vector<FileDropResult> run(const QList<QUrl>& sources, const QUrl& folder,
                                         FileDropOperation operation,
                                         FileDropFileManager& fileManager = FileDropFileManager::shared(),
                                         const Progress& progress = {});

  /// The URL in `folder` under which `source` can be written without replacing
  /// anything: its own name, else "base N.ext" for N from 2 to `lastNumber`.
  /// Throws FileDropError when every name is taken, or when a name cannot be
  /// examined. Changes nothing.
  static QUrl destination(const QUrl& source, const QUrl& folder);

  /// The local file URLs of `urls`, standardised, without repeats (paths
  /// compared exactly), in first-seen order.
  static QList<QUrl> uniqueSources(const QList<QUrl>& urls);

  /// The name of the free-name candidate `number` for `name` (a name with no
  /// extension, or whose only dot leads it, gets the number at its end).
  static QString numberedName(const QString& name, int number);
};

#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <optional>

class QMimeData;

namespace pf {

/// Reads what a drag or the clipboard offers, without changing it.
class DragData final {
 public:
  explicit DragData(const QMimeData& data) : m_data(data) {}

  /// The URLs offered that name local files by absolute path, in order; other
  /// URLs are left out.
  QList<QUrl> fileURLs() const;

  /// The file URLs a drop offers, in order: `fileURLs()`, or when there are
  /// none, the "NSFilenamesPboardType" list of paths, of which only those
  /// beginning with "/" count. Of several URLs with the same standardised
  /// path only the first stays, unchanged. Plain text is never taken for a file.
  QList<QUrl> droppedFileURLs() const;

  /// The property list stored under `type` when it is an XML list of strings;
  /// none when there is no such data or it is anything else.
  std::optional<QStringList> stringList(const QString& type) const;

 private:
  const QMimeData& m_data;
};

}  // namespace pf

#pragma once

#include <QList>
#include <QUrl>

/// What the drop target can see of a drag anywhere on the desktop.
class DragSession {
 public:
  virtual ~DragSession() = default;

  /// A number that changes whenever a new drag starts.
  virtual long changeCount() const = 0;
  /// The file URLs the current drag offers, in order, as far as known: empty
  /// when it offers none, or while its source has not said yet. Never waits
  /// for the source. Plain text is never taken for a file.
  virtual QList<QUrl> fileURLs() const = 0;
};

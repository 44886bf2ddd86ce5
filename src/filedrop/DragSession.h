#pragma once

#include <QList>
#include <QUrl>

/// What the drop target can see of a drag anywhere on the desktop.
class DragSession {
 public:
  virtual ~DragSession() = default;

  /// A number that changes whenever a new drag starts.
  virtual long changeCount() const = 0;
  /// The file URLs the current drag offers, in order; empty when it offers
  /// none. Plain text is never taken for a file.
  virtual QList<QUrl> fileURLs() const = 0;
};

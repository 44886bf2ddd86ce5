#pragma once

#include "desktop/XTypes.h"

#include <QImage>
#include <QRect>
#include <QString>

namespace desk {

/// What the screen shows and what the clipboard holds, read as any other
/// X client reads them.
class XScreen final {
 public:
  explicit XScreen(XDisplay* display) : m_display(display) {}

  /// The screen's pixels in `area` (all of it when empty), as composited.
  QImage grab(QRect area = {}) const;
  /// Where a translucent window draws anything, on screen: the bounds of its
  /// pixels that are not fully clear (all of it for an opaque window).
  QRect drawnArea(WindowId window) const;
  /// Saves the whole screen as "<name>.png" in the suite's screenshot folder,
  /// for a person to look at; gives its path.
  QString save(const QString& name) const;
  /// The clipboard's text as UTF-8, asked of its owner; empty when it gives none within 5 s.
  QString clipboardText() const;

 private:
  XDisplay* m_display;
};

}  // namespace desk

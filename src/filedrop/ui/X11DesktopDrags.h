#pragma once

#include "filedrop/ui/DesktopDrags.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <optional>

typedef struct _XDisplay Display;

/// Desktop drags on an X server: a drag source takes the "XdndSelection"
/// selection when a drag starts, which the XFixes extension reports on our
/// own connection, so nothing runs between drags. The offered files come from
/// converting that selection to "text/uri-list"; the pointer from the server.
class X11DesktopDrags final : public DesktopDrags {
 public:
  /// The watcher on the X server `displayName` names (the session's when
  /// empty); none when it cannot be reached or lacks XFixes.
  static std::unique_ptr<X11DesktopDrags> open(const QByteArray& displayName = {});
  ~X11DesktopDrags() override;

  long changeCount() const override { return m_changeCount; }
  /// Asks the drag's source for its URIs, waiting at most a fifth of a second.
  QList<QUrl> fileURLs() const override;
  Pointer pointer() const override;

 private:
  X11DesktopDrags(Display* display, int fixesEventBase);
  void readEvents();
  std::optional<QByteArray> convertSelection() const;

  Display* m_display = nullptr;
  int m_fixesEventBase = 0;
  unsigned long m_requestor = 0;
  unsigned long m_selection = 0;
  unsigned long m_uriList = 0;
  unsigned long m_property = 0;
  long m_changeCount = 0;
  std::unique_ptr<QSocketNotifier> m_notifier;
  std::function<void()> m_readEvents;
};

#pragma once

#include "filedrop/ui/DesktopDrags.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>

typedef struct _XDisplay Display;

/// Desktop drags on an X server: a drag source takes the "XdndSelection"
/// selection when a drag starts, which the XFixes extension reports on our
/// own connection, so nothing runs between drags. At that moment the source
/// is asked, once, to convert the selection to "text/uri-list"; its answer
/// arrives on the same connection whenever the source sends it, so a slow
/// source, or Wendle itself, never holds up the main thread.
class X11DesktopDrags final : public DesktopDrags {
 public:
  /// The watcher on the X server `displayName` names (the session's when
  /// empty); none when it cannot be reached or lacks XFixes.
  static std::unique_ptr<X11DesktopDrags> open(const QByteArray& displayName = {});
  ~X11DesktopDrags() override;

  long changeCount() const override { return m_changeCount; }
  /// The files the current drag's source named; empty until it has answered.
  QList<QUrl> fileURLs() const override { return m_files; }
  Pointer pointer() const override;

 private:
  X11DesktopDrags(Display* display, int fixesEventBase);
  void readEvents();
  void askForFiles(unsigned long time);
  /// Takes the source's answer to the request made at `time`, if it is the current drag's.
  void takeAnswer(unsigned long property, unsigned long time);

  Display* m_display = nullptr;
  int m_fixesEventBase = 0;
  unsigned long m_requestor = 0;
  unsigned long m_selection = 0;
  unsigned long m_uriList = 0;
  unsigned long m_property = 0;
  unsigned long m_incremental = 0;
  long m_changeCount = 0;
  /// The time of the current drag's request; none (0) once answered or when nothing was asked.
  unsigned long m_askedAt = 0;
  QList<QUrl> m_files;
  std::unique_ptr<QSocketNotifier> m_notifier;
  std::function<void()> m_readEvents;
};

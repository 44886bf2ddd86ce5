#pragma once

#include "platform/core/Workspace.h"

namespace pf {

class MainQueue;

/// The desktop's workspace through GIO: addresses go to the program the
/// desktop chose for their scheme, or for the folder's type, and applications
/// are launched from their desktop entries.
class DesktopWorkspace final : public Workspace {
 public:
  /// Reports launches through `queue`.
  explicit DesktopWorkspace(MainQueue& queue);

  /// The one instance over the application's event loop.
  static DesktopWorkspace& shared();

  /// Starts the default program for `url`; false when no program handles it
  /// or the one chosen could not be started. A handler asked to open some
  /// other way (such as over D-Bus) counts as started once asked.
  bool openURL(const QUrl& url) override;

  /// Launches with no files; the launch itself is synchronous (a spawn), its
  /// outcome is reported once the current event has been handled.
  void openApplication(const QUrl& url, LaunchCompletion completion) override;

 private:
  MainQueue& m_queue;
};

}  // namespace pf

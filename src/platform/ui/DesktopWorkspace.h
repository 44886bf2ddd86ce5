#pragma once

#include "platform/core/Workspace.h"

namespace pf {

class MainQueue;

/// The desktop's workspace: addresses through QDesktopServices (xdg-open or
/// the desktop portal), applications launched from their desktop entries by GIO.
class DesktopWorkspace final : public Workspace {
 public:
  /// Reports launches through `queue`.
  explicit DesktopWorkspace(MainQueue& queue);

  /// The one instance over the application's event loop.
  static DesktopWorkspace& shared();

  /// True means the request was handed over, not that a program opened.
  bool openURL(const QUrl& url) override;

  /// Launches with no files; the launch itself is synchronous (a spawn), its
  /// outcome is reported once the current event has been handled.
  void openApplication(const QUrl& url, LaunchCompletion completion) override;

 private:
  MainQueue& m_queue;
};

}  // namespace pf

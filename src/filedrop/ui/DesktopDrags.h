#pragma once

#include "filedrop/DragSession.h"
#include "platform/core/Geometry.h"

#include <functional>
#include <memory>

/// Watches drags anywhere on the desktop: the drag session the drop target
/// reads, the pointer, and a call when a drag may have started. Where the
/// desktop lets no program see other programs' drags, no drag ever starts.
class DesktopDrags : public DragSession {
 public:
  /// The pointer as the desktop sees it.
  struct Pointer {
    bool leftButtonDown = false;
    /// In y-up screen coordinates.
    pf::Point location;
  };

  /// The watcher for the running desktop: the X11 one where the X server
  /// offers it, else one that sees nothing.
  static std::unique_ptr<DesktopDrags> forThisDesktop();

  virtual Pointer pointer() const = 0;

  /// A drag may have started; called on the main thread.
  std::function<void()> onDragStarted;
};

#pragma once

#include "platform/core/Geometry.h"

class QWidget;

namespace pf {

/// The frame a window manager draws around a titled top-level window, which
/// a window placed by the program must leave room for on the screen.
class WindowDecoration final {
 public:
  WindowDecoration() = delete;

  /// Room kept above a window for a title bar where the manager cannot tell its frame.
  static constexpr double titleBarAllowance = 32;
  /// How long the manager may take to tell a frame it has not drawn yet.
  static constexpr int answerMilliseconds = 100;

  /// The widths of `window`'s frame: those the manager gave it once it framed
  /// the window, else those it says it will give (asked before the window is
  /// shown; this creates the window's native window). A manager that cannot
  /// say leaves `titleBarAllowance` above. Nothing without a window system.
  static EdgeInsets extents(QWidget* window);
};

}  // namespace pf

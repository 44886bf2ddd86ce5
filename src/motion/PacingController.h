#pragma once

#include <array>

/// Walks one companion in strolls along the bottom of the screen, suspended
/// while any hold reason is active.
class PacingController final {
 public:
  /// The reasons that suspend walking, in their fixed order.
  enum class Hold {
    partyFormation,
    performance,
    robot,
    content,
    controls,
    pressed,
    dragging,
    arranging,
    settings,
    menu,
    reminders,
    clipboard,
    fileDrop,
    fileTransfer,
    fileDropTarget,
  };

  /// Every hold reason, in order.
  static constexpr std::array<Hold, 15> allHolds{
      Hold::partyFormation, Hold::performance, Hold::robot,     Hold::content,      Hold::controls,
      Hold::pressed,        Hold::dragging,    Hold::arranging, Hold::settings,     Hold::menu,
      Hold::reminders,      Hold::clipboard,   Hold::fileDrop,  Hold::fileTransfer, Hold::fileDropTarget,
  };
};

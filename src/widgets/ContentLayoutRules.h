#pragma once

#include "platform/core/Geometry.h"

#include <optional>

/// Where a content view's subview goes when the view is resized: widths and x
/// positions scale with the width; with a stretch area, the scroll views take
/// the change in height (so lists side by side grow together) and the subviews
/// above the area move with the top edge. Frames are y-up within the content view.
class ContentLayoutRules final {
 public:
  enum class Role {
    /// Fills the whole view (its base frame was the view's bounds).
    background,
    /// A scroll view, when there is a stretch area: takes the change in height.
    stretching,
    /// Everything else.
    other,
  };

  /// The role of a subview from its base frame.
  static Role role(const pf::Rect& baseFrame, pf::Size baseSize, bool isScrollView,
                   const std::optional<pf::Rect>& stretchArea);

  /// The subview's frame for the view's current size.
  static pf::Rect frame(Role role, const pf::Rect& baseFrame, pf::Size baseSize,
                        pf::Size currentSize, const std::optional<pf::Rect>& stretchArea);
};

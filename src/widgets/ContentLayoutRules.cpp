#include "widgets/ContentLayoutRules.h"

#include <algorithm>

using pf::Rect;
using pf::Size;

ContentLayoutRules::Role ContentLayoutRules::role(const Rect& baseFrame, Size baseSize,
                                                  bool isScrollView,
                                                  const std::optional<Rect>& stretchArea) {
  if (baseFrame == Rect(0, 0, baseSize.width, baseSize.height)) return Role::background;
  if (isScrollView && stretchArea) return Role::stretching;
  return Role::other;
}

Rect ContentLayoutRules::frame(Role role, const Rect& base, Size baseSize, Size currentSize,
                               const std::optional<Rect>& stretchArea) {
  if (role == Role::background) return Rect(0, 0, currentSize.width, currentSize.height);
  const double scale = baseSize.width > 0 ? currentSize.width / baseSize.width : 1;
  Rect frame(base.origin.x * scale, base.origin.y, base.size.width * scale, base.size.height);
  if (!stretchArea) return frame;
  const double extra = currentSize.height - baseSize.height;
  if (role == Role::stretching)
    frame.size.height = std::max(base.size.height + extra, stretchArea->height());
  else if (base.minY() >= stretchArea->maxY())
    frame.origin.y += extra;
  return frame;
}

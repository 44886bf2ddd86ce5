#include "platform/ui/DecoratedWindow.h"

#include <algorithm>

namespace pf {

bool DecoratedWindow::isOnScreen(std::optional<std::uint32_t> currentDesktop) const {
  if (!viewable || hidden) return false;
  if (!desktop || !currentDesktop || *desktop == allDesktops) return true;
  return *desktop == *currentDesktop;
}

bool DecoratedWindow::needsRestack(std::span<const std::uint32_t> stackingBottomFirst, std::uint32_t overlay) const {
  const auto frameAt = std::find(stackingBottomFirst.begin(), stackingBottomFirst.end(), frame);
  const auto overlayAt = std::find(stackingBottomFirst.begin(), stackingBottomFirst.end(), overlay);
  if (frameAt == stackingBottomFirst.end() || overlayAt == stackingBottomFirst.end()) return false;
  return overlayAt != frameAt + 1;
}

}  // namespace pf

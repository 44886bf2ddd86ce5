#include "platform/ui/DecoratedWindow.h"

#include <gtest/gtest.h>
#include <vector>

using pf::DecoratedWindow;

namespace {

constexpr std::uint32_t frame = 0x40;
constexpr std::uint32_t overlay = 0x60;

DecoratedWindow onDesktop(std::optional<std::uint32_t> desktop, bool viewable = true, bool hidden = false) {
  return {.frame = frame, .viewable = viewable, .hidden = hidden, .desktop = desktop};
}

}  // namespace

TEST(DecoratedWindow, IsOnScreenOnlyMappedUnminimisedAndOnTheShownDesktop) {
  struct Case {
    const char* what;
    DecoratedWindow window;
    std::optional<std::uint32_t> current;
    bool onScreen;
  };
  const Case cases[] = {
      {"on the shown desktop", onDesktop(2), 2, true},
      {"on another desktop, still mapped a moment after the switch", onDesktop(1), 2, false},
      {"on every desktop", onDesktop(DecoratedWindow::allDesktops), 3, true},
      {"no manager keeps desktops", onDesktop(std::nullopt), std::nullopt, true},
      {"the manager has not placed it yet", onDesktop(std::nullopt), 1, true},
      {"unmapped: hidden, or another desktop's frame taken away", onDesktop(2, false), 2, false},
      {"minimised but left mapped", onDesktop(2, true, true), 2, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.window.isOnScreen(c.current), c.onScreen) << c.what;
}

TEST(DecoratedWindow, OverlayIsRestackedUnlessDirectlyAboveTheFrame) {
  struct Case {
    const char* what;
    std::vector<std::uint32_t> bottomFirst;
    bool restack;
  };
  const Case cases[] = {
      {"directly above", {0x10, frame, overlay, 0x20}, false},
      {"the window was raised over it", {0x10, overlay, 0x20, frame}, true},
      {"another window came between", {frame, 0x20, overlay}, true},
      {"made on top of everything", {frame, 0x10, 0x20, overlay}, true},
      {"the frame went meanwhile", {0x10, overlay}, false},
      {"the overlay is not made yet", {frame, 0x10}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(onDesktop(0).needsRestack(c.bottomFirst, overlay), c.restack) << c.what;
}

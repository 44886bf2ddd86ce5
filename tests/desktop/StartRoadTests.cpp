#include "desktop/DesktopTest.h"
#include "desktop/XSession.h"

namespace desk {

TEST_F(DesktopTest, StartShowsTheCompanionOnEveryDesktopWhereItWasDraggedAndQuitEndsWell) {
  start();
  const TopWindow standing = companion();
  shot(QStringLiteral("started"));

  // On every desktop a person switches to.
  for (int desktop = 1; desktop < XSession::desktops; ++desktop) {
    windows.switchToDesktop(desktop);
    EXPECT_TRUE(windows.find(companionTitle)) << "not on desktop " << desktop + 1;
  }
  windows.switchToDesktop(0);

  // Dragged by the pointer, it follows it.
  const QPoint offset(-400, -300);
  input.drag(standing.clientRect.center(), standing.clientRect.center() + offset);
  EXPECT_TRUE(waitUntil([&] { return companion().clientRect == standing.clientRect.translated(offset); }))
      << "the companion stands at " << companion().clientRect.x() << ", " << companion().clientRect.y();
  shot(QStringLiteral("dragged"));

  // Quit from its menu ends the program well; started again, it stands where it was left.
  chooseFromMenu(QStringLiteral("Quit Wendle"));
  EXPECT_EQ(programs.back()->exitStatus(), 0);
  EXPECT_TRUE(windows.waitGone(companionTitle));
  start();
  EXPECT_EQ(companion().clientRect, standing.clientRect.translated(offset));
}

}  // namespace desk

#include "launcher/ui/LauncherOuterResize.h"
#include "launcher/ui/LauncherPanel.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "look/QuibSkin.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/ViewStyle.h"

#include <QEvent>
#include <optional>
#include <gtest/gtest.h>

namespace {

/// The window's opacity when it is shown, before the platform maps it: what a
/// compositor puts on the screen first.
class OpacityWhenShown final : public QObject {
 public:
  std::optional<double> opacity;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) opacity = static_cast<QWidget*>(watched)->windowOpacity();
    return false;
  }
};

const pf::Rect screen(0, 0, 1280, 800);
const pf::Rect anchor(700, 40, 120, 150);

class Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::Compositor::overrideActive(true);
    pf::Accessibility::overrideReduceMotion(false);
    auto* content = new QWidget;
    border = new LauncherResizeBorder(content);
    panel = std::make_unique<LauncherPanel>(content, pf::Size{300, 200}, border);
  }
  void TearDown() override {
    panel.reset();
    pf::Accessibility::overrideReduceMotion(std::nullopt);
    pf::Compositor::overrideActive(std::nullopt);
  }
  void reveal() { panel->reveal(anchor, screen, screen, {}); }

  LauncherResizeBorder* border = nullptr;
  std::unique_ptr<LauncherPanel> panel;
};

}  // namespace

TEST_F(Panel, IsAFrontOfDockPanelThatCountsHoverOnlyWhileShown) {
  EXPECT_EQ(panel->windowTitle(), "Wendle Shortcuts");
  EXPECT_EQ(panel->level(), pf::WindowLevel::frontOfDock);
  EXPECT_FALSE(panel->containsHover(panel->frame().origin));
  reveal();
  const pf::Rect frame = panel->frame();
  EXPECT_EQ(frame, (pf::Rect{402, 40, 300, 200}));
  EXPECT_TRUE(panel->containsHover({frame.maxX() + 23, frame.midY()}));
  EXPECT_FALSE(panel->containsHover({frame.maxX() + 25, frame.midY()}));
  EXPECT_TRUE(panel->outerResize()->handles()[0]->isVisible());
}

TEST_F(Panel, FadesInFromHiddenMovesWithoutFadingWhenShownAndStopsTheFadeWhenDismissed) {
  OpacityWhenShown shown;
  panel->installEventFilter(&shown);
  reveal();
  EXPECT_EQ(shown.opacity, 0.0) << "no opaque first frame before the fade";
  EXPECT_TRUE(panel->isFading());
  EXPECT_LT(panel->windowOpacity(), 0.5);
  panel->dismiss();
  // A fade left running would keep animating the hidden window.
  EXPECT_FALSE(panel->isFading());
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(panel->outerResize()->handles()[0]->isVisible());

  pf::Accessibility::overrideReduceMotion(true);
  reveal();
  EXPECT_EQ(shown.opacity, 1.0);
  EXPECT_FALSE(panel->isFading());
  EXPECT_EQ(panel->windowOpacity(), 1.0);
  panel->reveal({100, 300, 120, 150}, screen, screen, {});
  EXPECT_FALSE(panel->isFading());
  EXPECT_EQ(panel->frame().origin, (pf::Point{218, 300}));
}

TEST(LauncherPanelLook, TakesTheSkinsAppearanceWhenBuilt) {
  for (const char* skin : {"pearlSpace", "classic", "unicornPrincess", "steampunk"}) {
    pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QString::fromUtf8(skin));
    const LauncherPanel panel(new QWidget, pf::Size{300, 200});
    EXPECT_EQ(pf::ViewStyle::appearance(&panel), QuibSkin::appearance()) << skin;
  }
  pf::UserDefaults::resetAll();
}

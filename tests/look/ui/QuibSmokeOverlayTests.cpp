#include "look/ui/OverlayFixture.h"

#include "platform/gfx/ShapeLayer.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/LayerHost.h"
#include "platform/ui/Screens.h"
#include "platform/ui/ViewLayer.h"

#include <QColorDialog>
#include <QPointer>
#include <QTest>
#include <cmath>

using pf::Rect;

namespace {

std::vector<quint64> serials(const pf::Layer& root) {
  std::vector<quint64> out;
  for (const auto& l : root.sublayers()) out.push_back(l->serial());
  return out;
}

}  // namespace

class Overlay : public OverlayFixture {
 protected:
  // The window with its title bar and borders, where the platform draws them.
  Rect outer() const { return pf::Screens::toYUp(window->frameGeometry()); }
  // 180 beyond the window on every side, and as much wider on the right as rows of whole 32 bytes take.
  Rect expectedPanel() const {
    Rect panel = outer().insetBy(-180, -180);
    panel.size.width = std::ceil(panel.width() / 8) * 8;
    return panel;
  }
};

TEST_F(Overlay, PanelIsAClickThroughChildLargerByAMarginOnEverySide) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  ASSERT_NE(panel(), nullptr);
  EXPECT_TRUE(outer().contains(Rect(300, 200, 400, 300)));
  EXPECT_EQ(panel()->frame(), expectedPanel());
  EXPECT_EQ(panel()->windowTitle(), "Wendle Border Effect");
  EXPECT_TRUE(panel()->ignoresMouseEvents());
  EXPECT_FALSE(panel()->canBecomeKey());
  EXPECT_TRUE(panel()->isVisible());
  EXPECT_EQ(window->childWindows(), QList<pf::Window*>{panel()});
  EXPECT_EQ(overlay()->builds(), 1);
  // The effect surrounds the window, decoration included, 180 in from the panel's corner.
  const pf::Layer& root = *panel()->contentLayer();
  const Rect size(0, 0, expectedPanel().width(), expectedPanel().height());
  EXPECT_EQ(root.frame(), size);
  pf::Path band = pf::Path::rect(size);
  band.addRect(Rect(180, 180, outer().width(), outer().height()));
  ASSERT_NE(root.mask(), nullptr);
  EXPECT_EQ(static_cast<const pf::ShapeLayer&>(*root.mask()).path(), band);
  EXPECT_FALSE(root.sublayers().empty());
}

TEST_F(Overlay, MovingTheWindowMovesThePanelAndRebuildsNothing) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  const auto before = serials(*panel()->contentLayer());
  const Rect was = panel()->frame();
  window->setFrameOrigin({350, 120});
  settle();
  EXPECT_EQ(panel()->frame(), was.offsetBy(50, -80));
  EXPECT_EQ(panel()->frame(), expectedPanel());
  window->makeKeyAndOrderFront();
  QuibSmokeOverlay::update(window.get(), true);  // the same effect again
  settle();
  EXPECT_EQ(overlay()->builds(), 1);
  EXPECT_EQ(serials(*panel()->contentLayer()), before);
}

TEST_F(Overlay, ResizingRebuildsOnce) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  const Rect was = panel()->frame();
  window->setFrame(Rect(300, 200, 500, 320));
  settle();
  EXPECT_EQ(overlay()->builds(), 2);
  EXPECT_EQ(panel()->frame(), expectedPanel());
  EXPECT_EQ(panel()->frame().height(), was.height() + 20);
  EXPECT_EQ(panel()->contentLayer()->frame(), Rect(0, 0, expectedPanel().width(), expectedPanel().height()));
}

TEST_F(Overlay, SwitchingEffectReplacesThePanel) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  QPointer<SmokePanel> fire = panel();
  choose("smoke");
  QuibSmokeOverlay::update(window.get(), true);
  EXPECT_TRUE(fire.isNull());
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(window->childWindows(), QList<pf::Window*>{panel()});
  EXPECT_EQ(overlay()->builds(), 1);
  // Smoke: three layers per emission and nothing else (no glows, no embers).
  const auto& sublayers = panel()->contentLayer()->sublayers();
  EXPECT_EQ(sublayers.size() % 3, 0u);
  for (const auto& l : sublayers) EXPECT_EQ(l->kind(), pf::Layer::Kind::plain);
}

TEST_F(Overlay, AChangedTuningOrReducedMotionRebuildsAtTheNextSync) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  pf::UserDefaults::standard().set(QStringLiteral("borderVFXSpeed"), 2.0);
  pf::Accessibility::overrideReduceMotion(true);
  EXPECT_EQ(overlay()->builds(), 1);
  window->setFrameOrigin({310, 200});
  settle();
  EXPECT_EQ(overlay()->builds(), 2);
  const pf::Layer& root = *panel()->contentLayer();
  EXPECT_TRUE(root.animationKeys().isEmpty());
  for (const auto& l : root.sublayers()) EXPECT_TRUE(l->animations().empty());
}

TEST_F(Overlay, ColourDialogsAndBorderPanelsNeverGetOne) {
  QColorDialog dialog;
  QuibSmokeOverlay::update(&dialog, true);
  EXPECT_EQ(QuibSmokeOverlay::of(&dialog), nullptr);

  pf::Window picker;
  picker.setContentView(new QColorDialog);
  QuibSmokeOverlay::update(&picker, true);
  EXPECT_EQ(QuibSmokeOverlay::of(&picker), nullptr);

  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  SmokePanel* border = panel();
  QuibSmokeOverlay::update(border, true);
  EXPECT_EQ(QuibSmokeOverlay::of(border), nullptr);
  EXPECT_TRUE(border->childWindows().isEmpty());
}

TEST_F(Overlay, EffectsTickBelowTheClockRateAndFireAndSmokeSlowest) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  struct Case {
    const char* effect;
    int interval;
  };
  for (const Case& c :
       {Case{"fire", 100}, Case{"plasma", 66}, Case{"smoke", 100}, Case{"matrix", 66}, Case{"snow", 66}}) {
    choose(c.effect);
    QuibSmokeOverlay::update(window.get(), true);
    settle();
    EXPECT_EQ(pf::FrameClock::shared().interval(), c.interval) << c.effect;
  }
}

TEST_F(Overlay, PanelIsVisibleExactlyWhenTheWindowIsAndTheClockStopsWhenHidden) {
  QuibSmokeOverlay::update(window.get(), true);  // made while the window is hidden
  EXPECT_FALSE(panel()->isVisible());
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_TRUE(panel()->isVisible());
  settle();
  EXPECT_TRUE(panel()->host()->isAnimating());
  EXPECT_TRUE(pf::FrameClock::shared().isRunning());

  window->orderOut();
  settle();
  EXPECT_FALSE(panel()->isVisible());
  EXPECT_FALSE(pf::FrameClock::shared().isRunning());

  window->orderFront();
  EXPECT_TRUE(panel()->isVisible());
  // Minimised (or on another desktop) the window manager hides the child
  // panel with its window; withdrawing it as well kept the window minimised
  // when its desktop came back.
  window->showMinimized();
  QTest::qWait(50);
  EXPECT_TRUE(panel()->isVisible());
  QuibSmokeOverlay::update(window.get(), true);  // a look change meanwhile
  window->showNormal();
  EXPECT_TRUE(QTest::qWaitFor([&] { return panel()->isVisible(); }));
}

TEST_F(Overlay, ClosingStopsItAndShowingAgainRebuilds) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  QuibSmokeOverlay* first = overlay();
  window->close();
  EXPECT_FALSE(panel()->isVisible());
  EXPECT_TRUE(panel()->contentLayer()->sublayers().empty());
  EXPECT_TRUE(window->childWindows().isEmpty());
  EXPECT_EQ(overlay(), first);  // kept for the same effect

  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  EXPECT_EQ(overlay(), first);
  EXPECT_TRUE(panel()->isVisible());
  EXPECT_EQ(overlay()->builds(), 2);
  EXPECT_FALSE(panel()->contentLayer()->sublayers().empty());
  // Attached again: it follows the window's moves and stays above it.
  EXPECT_TRUE(window->childWindows().contains(panel()));
  const pf::Rect before = panel()->frame();
  window->setFrameOrigin({window->frame().origin.x + 40, window->frame().origin.y});
  EXPECT_EQ(panel()->frame().origin.x, before.origin.x + 40);
}

TEST_F(Overlay, PanelTakesItsWindowsLevel) {
  window->show();
  window->setLevel(pf::WindowLevel::floating);
  QuibSmokeOverlay::update(window.get(), true);
  EXPECT_EQ(panel()->level(), pf::WindowLevel::floating);
  window->setLevel(pf::WindowLevel::frontOfDock);
  window->setFrameOrigin({window->frame().origin.x + 10, window->frame().origin.y});  // a sync
  EXPECT_EQ(panel()->level(), pf::WindowLevel::frontOfDock);
}

TEST_F(Overlay, OffOrWithoutACompositorThereIsNone) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  QuibSmokeOverlay::update(window.get(), false);
  EXPECT_EQ(overlay(), nullptr);
  EXPECT_TRUE(window->childWindows().isEmpty());

  pf::Compositor::overrideActive(false);
  QuibSmokeOverlay::update(window.get(), true);
  EXPECT_EQ(overlay(), nullptr);
}

TEST_F(Overlay, GoesWithItsWindow) {
  window->show();
  QuibSmokeOverlay::update(window.get(), true);
  QPointer<SmokePanel> border = panel();
  const QWidget* gone = window.get();
  window.reset();
  EXPECT_EQ(QuibSmokeOverlay::of(gone), nullptr);
  EXPECT_TRUE(border.isNull());
}

TEST_F(Overlay, BorderEffectUpdateActsOnTheContentViewWithALayer) {
  window->show();
  QWidget* content = window->contentView();
  QuibSmokeOverlay::updateEffect(content);
  EXPECT_EQ(overlay(), nullptr);  // no layer yet

  pf::ViewLayer::ensure(content);
  auto* subview = new QWidget(content);
  pf::ViewLayer::ensure(subview);
  QuibSmokeOverlay::updateEffect(subview);
  EXPECT_EQ(overlay(), nullptr);

  QuibSmokeOverlay::updateEffect(content);
  EXPECT_NE(overlay(), nullptr);
  for (const char* off : {"none", "", "Fire"}) {
    choose("fire");
    QuibSmokeOverlay::updateEffect(content);
    ASSERT_NE(overlay(), nullptr);
    choose(off);
    QuibSmokeOverlay::updateEffect(content);
    EXPECT_EQ(overlay(), nullptr) << off;
  }
}

TEST_F(Overlay, PuffIsDrawnOnce) {
  EXPECT_EQ(QuibSmokeOverlay::puff().size(), QSize(128, 128));
  EXPECT_EQ(&QuibSmokeOverlay::puff(), &QuibSmokeOverlay::puff());
}

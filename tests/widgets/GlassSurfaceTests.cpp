#include "widgets/GlassSurface.h"
#include "look/ui/QuibLook.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ViewStyle.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

/// Counts the paint events of what it watches.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

/// A glass surface filling a shown panel, with the look's choices reset.
class Glass : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    pf::Compositor::overrideActive(true);
    panel.setTranslucentBackground(true);
    panel.setFrame(pf::Rect(200, 200, 300, 200));
  }
  void TearDown() override {
    pf::Compositor::overrideActive(std::nullopt);
    pf::UserDefaults::resetAll();
  }

  GlassSurface* show() { return showIn(panel); }

  /// A glass surface filling `host`, shown.
  static GlassSurface* showIn(pf::Panel& host) {
    auto* surface = new GlassSurface;
    host.setContentView(surface);
    host.orderFront();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    return surface;
  }

  static void skin(const char* name) {
    pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QString::fromUtf8(name));
  }

  pf::Panel panel;
};

}  // namespace

TEST_F(Glass, TakesTheSkinsAppearanceAndTheClassicOutlinesGiveWayToTheSkinsSurface) {
  skin("pearlSpace");
  EXPECT_EQ(pf::ViewStyle::appearance(show()), pf::Appearance::light);
  skin("classic");
  const QImage classic = panel.grab().toImage();
  skin("steampunk");
  const QImage steampunk = panel.grab().toImage();
  EXPECT_NE(classic, steampunk);
  // The corners outside the rounded glass stay clear.
  EXPECT_EQ(classic.pixelColor(1, 1).alpha(), 0);
}

// The tints were made for a blurred desktop behind them: where nothing blurs,
// nothing of the windows beneath may show through.
TEST_F(Glass, TheGlassIsOpaqueUnlessTheCompositorBlursBehindIt) {
  pf::Compositor::overrideBlur(false);
  GlassSurface* surface = show();
  EXPECT_FALSE(surface->blurred());
  EXPECT_EQ(panel.grab().toImage().pixelColor(150, 100).alpha(), 255);

  pf::Compositor::overrideBlur(true);
  panel.setContentSize({320, 200});
  EXPECT_TRUE(surface->blurred());
  // The decoration's tint (88%) over the glass's (76%), and the blur beneath.
  EXPECT_NEAR(panel.grab().toImage().pixelColor(150, 100).alpha(), 248, 2);

  pf::Compositor::overrideBlur(false);
  panel.hide();
  panel.orderFront();
  EXPECT_FALSE(surface->blurred());
  // At the same size as the blurred glass: its picture is not taken again.
  EXPECT_EQ(panel.grab().toImage().pixelColor(150, 100).alpha(), 255);
  pf::Compositor::overrideBlur(std::nullopt);
}

TEST_F(Glass, PaintingAtRestAsksForNoFurtherPaint) {
  pf::Accessibility::overrideReduceMotion(true);
  GlassSurface* surface = show();
  PaintCounter counter;
  QTest::qWait(100);
  surface->installEventFilter(&counter);
  surface->repaint();
  QTest::qWait(300);
  EXPECT_EQ(counter.paints, 1);
  pf::Accessibility::overrideReduceMotion(std::nullopt);
}

// In a window drawn opaque the glass keeps the window's background in its own
// picture: a repaint within it (each step of the breathing outline) leaves the
// window beneath unpainted, and it shows what the glass laid over that
// background shows.
TEST_F(Glass, InAWindowDrawnOpaqueARepaintLeavesTheWindowBeneathUnpainted) {
  pf::Accessibility::overrideReduceMotion(true);
  pf::Compositor::overrideBlur(false);
  show();
  const QImage seeThrough = panel.grab().toImage();
  pf::Panel opaque;
  opaque.setFrame(pf::Rect(200, 200, 300, 200));
  GlassSurface* surface = showIn(opaque);
  QImage expected(seeThrough.size(), QImage::Format_ARGB32_Premultiplied);
  expected.fill(opaque.palette().color(opaque.backgroundRole()));
  QPainter(&expected).drawImage(0, 0, seeThrough);
  const QImage shown = opaque.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ASSERT_EQ(shown.size(), expected.size());
  int differing = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
      // Blended over the background inside the picture, an edge's pixels round apart by up to two levels.
      if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 || std::abs(qBlue(a) - qBlue(b)) > 2)
        ++differing;
    }
  }
  EXPECT_EQ(differing, 0);

  PaintCounter window, glass;
  opaque.installEventFilter(&window);
  surface->installEventFilter(&glass);
  surface->repaint(QRegion(0, 0, 300, 200) - QRegion(12, 12, 276, 176));
  EXPECT_EQ(glass.paints, 1);
  EXPECT_EQ(window.paints, 0);
  pf::Compositor::overrideBlur(std::nullopt);
  pf::Accessibility::overrideReduceMotion(std::nullopt);
}

namespace {

const QSize wide(300, 200), small(240, 160);

/// A shown panel of `size` whose content is a glass surface.
std::unique_ptr<pf::Panel> glassPanel(QSize size) {
  auto panel = std::make_unique<pf::Panel>();
  panel->setTranslucentBackground(true);
  panel->setFrame(pf::Rect(100, 100, size.width(), size.height()));
  panel->setContentView(new GlassSurface);
  panel->orderFront();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
  QTest::qWait(30);
  return panel;
}

/// What a glass panel of `size` shows in the current look when no other window shares its pictures.
QImage alone(QSize size) { return glassPanel(size)->grab().toImage(); }

}  // namespace

// Panels of one size share one glass picture; every change must still leave
// each panel showing exactly what a panel drawn alone in the new look shows.
TEST_F(Glass, PanelsSharingPicturesEachShowTheCurrentLookAfterEveryChange) {
  pf::Accessibility::overrideReduceMotion(true);  // the outline holds still
  struct Step {
    const char* name;
    std::function<void()> look;
    bool secondMadeSmall = false;
  };
  const Step steps[] = {
      {"at first", [] {}},
      {"a new accent", [] { QuibLook::select(QuibColorTheme::green); }},
      {"a new background", [] { QuibLook::selectBackground(QuibBackground::deepPurple); }},
      {"a new skin", [] { QuibLook::selectSkin(QuibSkin::neonSpace); }},
      {"the second panel made smaller", [] {}, true},
      {"the accent again", [] { QuibLook::select(QuibColorTheme::orange); }},
  };
  // Each look drawn by lone panels first, which share with nothing.
  skin("steampunk");
  std::vector<std::pair<QImage, QImage>> lone;  // wide, small
  for (const Step& step : steps) {
    step.look();
    lone.emplace_back(alone(wide), alone(small));
  }

  for (const char* key : {"colorTheme", "backgroundTheme"}) pf::UserDefaults::standard().remove(QString::fromUtf8(key));
  skin("steampunk");
  std::vector<std::unique_ptr<pf::Panel>> panels;
  for (const QSize size : {wide, wide, small}) panels.push_back(glassPanel(size));
  bool secondSmall = false;
  for (std::size_t k = 0; k < std::size(steps); ++k) {
    steps[k].look();
    if (steps[k].secondMadeSmall) {
      panels[1]->setFrame(pf::Rect(100, 100, small.width(), small.height()));
      secondSmall = true;
    }
    QTest::qWait(30);
    const QImage expected[] = {lone[k].first, secondSmall ? lone[k].second : lone[k].first, lone[k].second};
    for (std::size_t i = 0; i < panels.size(); ++i) {
      EXPECT_EQ(panels[i]->grab().toImage(), expected[i]) << steps[k].name << ", panel " << i;
    }
  }
  pf::Accessibility::overrideReduceMotion(std::nullopt);
}

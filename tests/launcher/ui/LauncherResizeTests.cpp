#include "launcher/ui/LauncherOuterResize.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Panel.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

/// A launcher-like panel: a button under a resize border, with outer handles.
class Resize : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::Compositor::overrideActive(true);
    panel = std::make_unique<pf::Panel>();
    panel->setTranslucentBackground(true);
    panel->setMinimumSize(200, 150);
    panel->setFrame(start);
    button = new QPushButton(QStringLiteral("Below"), panel->contentView());
    button->setGeometry(100, 80, 100, 40);
    border = new LauncherResizeBorder(panel->contentView());
    border->setGeometry(panel->contentView()->rect());
    border->onBegin = [this] { calls << "begin"; };
    border->onEnd = [this] { calls << "end"; };
    outer = std::make_unique<LauncherOuterResize>(panel.get(), border);
    panel->orderFront();
    outer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
  }
  void TearDown() override {
    outer.reset();
    panel.reset();
    pf::Compositor::overrideActive(std::nullopt);
  }

  /// Presses at `at` in `window`, moves the pointer `by` on the screen
  /// (while the window changes under it) and releases there.
  static void drag(QWidget* window, QPoint at, QPoint by) {
    QWindow* handle = window->windowHandle();
    const QPoint pressed = window->mapToGlobal(at);
    QTest::mousePress(handle, Qt::LeftButton, {}, at);
    QTest::mouseMove(handle, window->mapFromGlobal(pressed + by / 2));
    QTest::mouseMove(handle, window->mapFromGlobal(pressed + by));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, window->mapFromGlobal(pressed + by));
  }

  const pf::Rect start{200, 200, 300, 200};
  std::unique_ptr<pf::Panel> panel;
  QPushButton* button = nullptr;
  LauncherResizeBorder* border = nullptr;
  std::unique_ptr<LauncherOuterResize> outer;
  QStringList calls;
};

}  // namespace

TEST_F(Resize, ADragInsideThePanelAndOneFromAnOuterHandleGiveTheSameFrame) {
  drag(panel.get(), {5, 100}, {-50, 0});
  const pf::Rect inside = panel->frame();
  EXPECT_EQ(inside, (pf::Rect{150, 200, 350, 200}));
  EXPECT_EQ(calls, (QStringList{"begin", "end"}));
  // The handles followed the wider panel.
  EXPECT_EQ(outer->handles()[0]->frame(), (pf::Rect{138, 200, 12, 200}));

  panel->setFrame(start);
  calls.clear();
  drag(outer->handles()[0].get(), {6, 100}, {-50, 0});
  EXPECT_EQ(panel->frame(), inside);
  EXPECT_EQ(calls, (QStringList{"begin", "end"}));

  // Up the screen, the top edge rises; the bottom stays.
  panel->setFrame(start);
  drag(panel.get(), {150, 3}, {0, -30});
  EXPECT_EQ(panel->frame(), (pf::Rect{200, 200, 300, 230}));
}

TEST_F(Resize, AClickWithoutMovementStillBeginsEndsAndClampsAndClicksElsewhereReachTheButtons) {
  panel->setFrame({2, 200, 300, 200});
  QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, QPoint(3, 100));
  EXPECT_EQ(calls, (QStringList{"begin", "end"}));
  EXPECT_EQ(panel->frame(), (pf::Rect{8, 200, 294, 200}));

  QSignalSpy clicks(button, &QPushButton::clicked);
  QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, QPoint(150, 100));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(calls.size(), 2);
}

TEST_F(Resize, APanelHiddenMidResizeEndsTheGestureOnce) {
  QTest::mousePress(panel->windowHandle(), Qt::LeftButton, {}, QPoint(150, 195));
  EXPECT_TRUE(border->isResizing());
  EXPECT_EQ(border->hoveredEdges().rawValue, LauncherResizeBorder::Edges::bottom);
  panel->orderOut();
  EXPECT_FALSE(border->isResizing());
  EXPECT_FALSE(outer->handles()[0]->isVisible());
  QTest::mouseRelease(panel->windowHandle(), Qt::LeftButton, {}, QPoint(150, 195));
  EXPECT_EQ(calls, (QStringList{"begin", "end"}));
}

TEST_F(Resize, APressInACornerSquareOffBothEdgeBandsBeginsThatCornersResize) {
  using Edges = LauncherResizeBorder::Edges;
  // 14 points in: past the 10-point edge bands, inside the 18-point corner squares.
  const struct {
    QPoint at;
    qint64 edges;
  } cases[] = {
      {{14, 14}, Edges::left | Edges::top},
      {{285, 14}, Edges::right | Edges::top},
      {{14, 185}, Edges::left | Edges::bottom},
      {{285, 185}, Edges::right | Edges::bottom},
  };
  for (const auto& c : cases) {
    QTest::mousePress(panel->windowHandle(), Qt::LeftButton, {}, c.at);
    EXPECT_TRUE(border->isResizing()) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(border->hoveredEdges().rawValue, c.edges) << c.at.x() << "," << c.at.y();
    QTest::mouseRelease(panel->windowHandle(), Qt::LeftButton, {}, c.at);
    panel->setFrame(start);
  }
}

TEST(LauncherResizeBorderCursor, CornersTakeTheDiagonalsAndEdgesTheirAxis) {
  using Edges = LauncherResizeBorder::Edges;
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({Edges::left | Edges::bottom}), Qt::SizeBDiagCursor);
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({Edges::right | Edges::top}), Qt::SizeBDiagCursor);
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({Edges::left | Edges::top}), Qt::SizeFDiagCursor);
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({Edges::right}), Qt::SizeHorCursor);
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({Edges::top}), Qt::SizeVerCursor);
  EXPECT_EQ(LauncherResizeBorder::resizeCursor({}), Qt::ArrowCursor);
}

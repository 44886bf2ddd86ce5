#include "filedrop/ui/RobotDropSurface.h"
#include "filedrop/ui/RobotDropTarget.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screens.h"
#include "support/DropEvents.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using pf::Point;
using pf::Rect;

namespace {

struct FakeDrags final : DesktopDrags {
  long count = 0;
  QList<QUrl> files;
  Pointer now;
  long changeCount() const override { return count; }
  QList<QUrl> fileURLs() const override { return files; }
  Pointer pointer() const override { return now; }
  void startDrag(QList<QUrl> offered, Point at) {
    ++count;
    files = std::move(offered);
    now = {true, at};
    if (onDragStarted) onDragStarted();
  }
};

const QList<QUrl> files{QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.txt")};

struct Fixture {
  pf::Panel companion;
  FakeDrags* drags = new FakeDrags;
  RobotDropTarget target{&companion, std::unique_ptr<DesktopDrags>(drags)};
  QList<bool> activity;
  QList<QList<QUrl>> dropped;
  bool takeDrops = true;

  explicit Fixture(const Rect& frame = {600, 100, 120, 150}) {
    companion.setFrame(frame);
    companion.orderFront();
    target.onActivity = [this](bool on) { activity << on; };
    target.onDrop = [this](const QList<QUrl>& urls) {
      dropped << urls;
      return takeDrops;
    };
  }
  Point centre() const { return {companion.frame().midX(), companion.frame().midY()}; }
  bool panelShown() const { return target.panel()->isVisible(); }
};

QMimeData* filesData(const QList<QUrl>& urls) {
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

}  // namespace

TEST(RobotDropTarget, FollowsThePointerOnlyFromADragUntilTheButtonIsReleased) {
  Fixture f;
  EXPECT_FALSE(f.target.isPolling());
  f.drags->startDrag(files, {100, 700});
  EXPECT_TRUE(f.target.isPolling());
  EXPECT_TRUE(f.target.isTrackingFileDrag());
  EXPECT_FALSE(f.panelShown());

  f.drags->now.location = f.centre();
  QTest::qWait(RobotDropTarget::pollInterval * 3);
  ASSERT_TRUE(f.panelShown());
  EXPECT_EQ(f.target.panel()->frame(), (Rect{552, 52, 216, 246}));
  EXPECT_EQ(f.target.panel()->windowTitle(), "Wendle File Drop Area");

  f.drags->now.leftButtonDown = false;
  QTest::qWait(RobotDropTarget::pollInterval * 3);
  EXPECT_FALSE(f.target.isPolling());
  EXPECT_FALSE(f.panelShown());
  EXPECT_EQ(f.activity, (QList<bool>{true, false}));
}

TEST(RobotDropTarget, DropsOnThePanelGoToTheOwnerOnceAndEndTheDrag) {
  Fixture f;
  f.drags->startDrag(files, f.centre());
  ASSERT_TRUE(f.panelShown());
  std::unique_ptr<QMimeData> data(filesData(files));
  EXPECT_TRUE(test::dropOn(f.target.surface(), *data));
  EXPECT_EQ(f.dropped, (QList<QList<QUrl>>{files}));
  EXPECT_FALSE(f.target.isTrackingFileDrag());
  EXPECT_FALSE(f.panelShown());
  EXPECT_EQ(f.activity, (QList<bool>{true, false}));

  f.takeDrops = false;
  EXPECT_FALSE(test::dropOn(f.target.surface(), *data));
  QMimeData text;
  text.setText("/etc/passwd");
  EXPECT_FALSE(test::dropOn(f.target.surface(), text));
  EXPECT_EQ(f.dropped.size(), 2);
  f.target.onDrop = nullptr;
  EXPECT_FALSE(test::dropOn(f.target.surface(), *data));
}

// The button is often seen up before the desktop delivers the drop: the panel
// stays for it, and goes once the drop comes, the files leave, or it never comes.
TEST(RobotDropTarget, ReleasedOverThePanelItStaysForTheDropOnItsWay) {
  Fixture f;
  std::unique_ptr<QMimeData> data(filesData(files));
  const auto release = [&] {
    f.drags->startDrag(files, f.centre());
    QDragEnterEvent enter(f.target.surface()->rect().center(), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(f.target.surface(), &enter);
    f.drags->now.leftButtonDown = false;
    QTest::qWait(RobotDropTarget::pollInterval * 3);
    EXPECT_FALSE(f.target.isTrackingFileDrag());
    EXPECT_TRUE(f.panelShown());
  };
  release();
  EXPECT_TRUE(test::dropOn(f.target.surface(), *data));
  EXPECT_EQ(f.dropped, (QList<QList<QUrl>>{files}));
  EXPECT_FALSE(f.panelShown());

  release();
  QDragLeaveEvent leave;
  QCoreApplication::sendEvent(f.target.surface(), &leave);
  EXPECT_FALSE(f.panelShown());

  release();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panelShown(); }, RobotDropTarget::dropWait * 3));
  EXPECT_EQ(f.dropped.size(), 1);
}

TEST(RobotDropTarget, ThePanelIsClippedAtTheScreenEdge) {
  const Rect screen = pf::Screens::frame(pf::Screens::main());
  Fixture f({screen.minX(), screen.minY(), 120, 150});
  f.drags->startDrag(files, f.centre());
  ASSERT_TRUE(f.panelShown());
  EXPECT_EQ(f.target.panel()->frame(), (Rect{screen.minX(), screen.minY(), 168, 198}));
}

TEST(RobotDropTarget, AHiddenCompanionOrAStoppedTargetTracksNothing) {
  Fixture f;
  f.companion.orderOut();
  f.drags->startDrag(files, f.centre());
  EXPECT_FALSE(f.target.isTrackingFileDrag());
  f.companion.orderFront();
  f.target.stop();
  f.drags->startDrag(files, f.centre());
  EXPECT_FALSE(f.target.isPolling());
  EXPECT_FALSE(f.target.isTrackingFileDrag());
  EXPECT_FALSE(f.panelShown());
  EXPECT_TRUE(f.activity.isEmpty());
}

TEST(RobotDropTarget, ReleasedWhileTrackingItTellsItsOwnerNothing) {
  pf::Panel companion;
  companion.setFrame({600, 100, 120, 150});
  companion.orderFront();
  auto* drags = new FakeDrags;
  auto target = std::make_unique<RobotDropTarget>(&companion, std::unique_ptr<DesktopDrags>(drags));
  QList<bool> activity;
  target->onActivity = [&](bool on) { activity << on; };
  drags->startDrag(files, {650, 160});
  target.reset();
  EXPECT_EQ(activity, (QList<bool>{true}));
}

TEST(RobotDropSurface, TheDropLabelStandsWholeAndCentredAtEveryPanelWidth) {
  for (const int width : {150, 216, 420}) {
    RobotDropSurface surface;
    surface.resize(width, 246);
    QImage image(surface.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    surface.render(&image, {}, {}, QWidget::DrawChildren);  // no window background: only what the surface draws
    // The label's pill is the only near-opaque drawing; the tint and frame stay translucent.
    const int row = 21;
    int left = -1;
    int right = -1;
    for (int x = 0; x < width; ++x) {
      if (qAlpha(image.pixel(x, row)) < 230) continue;
      if (left < 0) left = x;
      right = x;
    }
    ASSERT_GE(left, 0) << width;
    EXPECT_GT(left, 2) << width;
    EXPECT_LT(right, width - 3) << width;
    EXPECT_LE(std::abs(left + right + 1 - width), 1) << width << ": " << left << ".." << right;
  }
}

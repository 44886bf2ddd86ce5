#include "character/ui/CharacterArtwork.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/RobotView.h"

#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString assets = QStringLiteral(WENDLE_ASSETS);

struct ShownCompanion {
  CompanionPanel panel{assets};
  RobotView* view = panel.robotView();

  ShownCompanion() {
    panel.setFrameOrigin({200, 100});
    panel.setCompanionHeight(180);
    panel.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
  }
};

QMimeData* filesData(const QStringList& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data->setUrls(urls);
  return data;
}

// Sends a drag over the view and then drops it; answers whether each was accepted.
std::pair<bool, bool> dragAndDrop(RobotView* view, QMimeData* data) {
  const QPoint at = view->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &drop);
  return {enter.isAccepted(), drop.isAccepted()};
}

}  // namespace

TEST(CharacterArtwork, EveryCharacterHasBothDrawings) {
  for (CharacterSkin skin : CharacterSkin::allCases()) {
    for (Facing facing : {Facing::left, Facing::right}) {
      const CharacterArtwork artwork(assets, skin, facing);
      EXPECT_TRUE(artwork.isValid()) << artwork.path().toStdString();
      const QImage image = artwork.render(QSize(90, 120), 2);
      EXPECT_EQ(image.size(), QSize(180, 240));
      EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
      EXPECT_GT(qAlpha(image.pixel(90, 120)), 0);
    }
  }
  EXPECT_FALSE(CharacterArtwork(QStringLiteral("/nonexistent"), CharacterSkin::dara, Facing::left).isValid());
}

TEST(CompanionPanel, IsABorderlessFloatingPanelThatMayBecomeKey) {
  ShownCompanion c;
  EXPECT_TRUE(c.panel.canBecomeKey());
  EXPECT_TRUE(c.panel.isNonActivating());
  EXPECT_EQ(c.panel.level(), pf::WindowLevel::floating);
  EXPECT_TRUE(c.panel.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(c.panel.windowFlags().testFlag(Qt::Tool));
  // 180 points tall in the drawings' 3:4 proportions, at the place it was given.
  EXPECT_EQ(c.panel.frame(), pf::Rect(200, 100, 135, 180));
  EXPECT_EQ(c.view->geometry(), QRect(0, 0, 135, 180));
}

TEST(RobotView, DraggingMovesTheWindowAndReportsStartAndEnd) {
  ShownCompanion c;
  QStringList events;
  c.view->onDragStarted = [&] { events << QStringLiteral("start"); };
  c.view->onDragEnded = [&] { events << QStringLiteral("end"); };
  const QPoint press(60, 90);
  QTest::mousePress(c.view, Qt::LeftButton, Qt::NoModifier, press);
  QTest::mouseMove(c.view, press + QPoint(1, 0));
  EXPECT_TRUE(events.isEmpty());
  QTest::mouseMove(c.view, press + QPoint(40, -30));
  QTest::mouseRelease(c.view, Qt::LeftButton, Qt::NoModifier, press + QPoint(40, -30));
  EXPECT_EQ(events, (QStringList{"start", "end"}));
  // Right and up on the screen.
  EXPECT_EQ(c.panel.frame().origin, (pf::Point{240, 130}));
}

TEST(RobotView, AClickWithoutMovingIsNoDrag) {
  ShownCompanion c;
  int drags = 0;
  c.view->onDragStarted = [&] { ++drags; };
  QTest::mouseClick(c.view, Qt::LeftButton, Qt::NoModifier, QPoint(60, 90));
  EXPECT_EQ(drags, 0);
  EXPECT_EQ(c.panel.frame().origin, (pf::Point{200, 100}));
}

TEST(RobotView, RightAndControlClicksReportTheScreenPoint) {
  ShownCompanion c;
  QList<pf::Point> points;
  c.view->onRightClick = [&](pf::Point p) { points << p; };
  QTest::mouseClick(c.view, Qt::RightButton, Qt::NoModifier, QPoint(10, 170));
  QTest::mouseClick(c.view, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 170));
  ASSERT_EQ(points.size(), 2);
  // 10 points above the panel's bottom edge, 10 in from its left.
  EXPECT_EQ(points[0], (pf::Point{210, 110}));
  EXPECT_EQ(points[1], points[0]);
  EXPECT_EQ(c.panel.frame().origin, (pf::Point{200, 100}));
}

TEST(RobotView, HandsDroppedFilesToItsCallback) {
  ShownCompanion c;
  std::unique_ptr<QMimeData> data(filesData({"/tmp/a.txt", "/tmp/b.txt", "/tmp/a.txt"}));
  EXPECT_EQ(dragAndDrop(c.view, data.get()), std::make_pair(false, false));

  QList<QUrl> received;
  bool take = true;
  c.view->onFilesDropped = [&](const QList<QUrl>& files) {
    received = files;
    return take;
  };
  EXPECT_EQ(dragAndDrop(c.view, data.get()), std::make_pair(true, true));
  EXPECT_EQ(received, (QList<QUrl>{QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.txt")}));

  take = false;
  EXPECT_EQ(dragAndDrop(c.view, data.get()).second, false);

  received.clear();
  QMimeData text;
  text.setText(QStringLiteral("/tmp/a.txt"));
  EXPECT_EQ(dragAndDrop(c.view, &text), std::make_pair(false, false));
  EXPECT_TRUE(received.isEmpty());
}

TEST(RobotView, ChangingTheCharacterKeepsItsProportions) {
  ShownCompanion c;
  c.view->setCharacter(CharacterSkin::vezu, Facing::left);
  EXPECT_EQ(c.view->character(), CharacterSkin::vezu);
  EXPECT_EQ(c.view->facing(), Facing::left);
  EXPECT_EQ(c.view->sizeForHeight(240), (pf::Size{180, 240}));
}

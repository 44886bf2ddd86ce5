#include "filedrop/RobotDropTracker.h"

#include <QList>
#include <gtest/gtest.h>

using pf::Point;
using pf::Rect;

namespace {

struct FakeSession final : DragSession {
  long count = 1;
  QList<QUrl> files;
  mutable int reads = 0;
  long changeCount() const override { return count; }
  QList<QUrl> fileURLs() const override {
    ++reads;
    return files;
  }
  void startDrag(QList<QUrl> offered) {
    ++count;
    files = std::move(offered);
  }
};

const Rect screen{0, 0, 1440, 900};
const RobotDropTracker::Companion companion{{600, 100, 120, 150}, screen};
const Rect panel{552, 52, 216, 246};
const Point onCompanion{650, 160};
const Point far{100, 800};

struct Fixture {
  FakeSession session;
  RobotDropTracker tracker{session};
  QList<bool> activity;
  Fixture() {
    tracker.onActivity = [this](bool on) { activity << on; };
  }
};

}  // namespace

TEST(RobotDropTracker, PanelIsTheCompanionGrownAndClippedToItsScreen) {
  EXPECT_EQ(RobotDropTracker::frame(companion.frame, screen), panel);
  EXPECT_EQ(RobotDropTracker::frame({0, 0, 120, 150}, screen), (Rect{0, 0, 168, 198}));
  EXPECT_EQ(RobotDropTracker::frame({1340, 780, 120, 150}, screen), (Rect{1292, 732, 148, 168}));
  EXPECT_TRUE(RobotDropTracker::frame({2000, 100, 120, 150}, screen).isEmpty());
}

TEST(RobotDropTracker, AFileDragIsTrackedUntilTheButtonIsReleasedAndNeverAgain) {
  Fixture f;
  f.tracker.update(true, onCompanion, companion);
  EXPECT_FALSE(f.tracker.isTrackingFileDrag()) << "the drag under way at creation";

  f.session.startDrag({QUrl::fromLocalFile("/tmp/a.txt")});
  f.tracker.update(true, far, companion);
  EXPECT_TRUE(f.tracker.isTrackingFileDrag());
  EXPECT_EQ(f.tracker.panelFrame(), std::nullopt);
  const int reads = f.session.reads;
  f.tracker.update(true, {panel.minX() - 79, panel.midY()}, companion);
  EXPECT_EQ(f.tracker.panelFrame(), panel);
  f.tracker.update(true, {panel.minX() - 81, panel.midY()}, companion);
  EXPECT_EQ(f.tracker.panelFrame(), std::nullopt);
  EXPECT_TRUE(f.tracker.isTrackingFileDrag());
  EXPECT_EQ(f.session.reads, reads) << "a tracked drag is not read again";

  f.tracker.update(false, onCompanion, companion);
  EXPECT_FALSE(f.tracker.isTrackingFileDrag());
  EXPECT_EQ(f.tracker.panelFrame(), std::nullopt);
  f.tracker.update(true, onCompanion, companion);
  EXPECT_FALSE(f.tracker.isTrackingFileDrag()) << "the same drag after release";
  f.session.startDrag({QUrl::fromLocalFile("/tmp/b.txt")});
  f.tracker.update(true, onCompanion, companion);
  EXPECT_EQ(f.tracker.panelFrame(), panel);
  EXPECT_EQ(f.activity, (QList<bool>{true, false, true}));
}

TEST(RobotDropTracker, TextDragsAndAHiddenCompanionTrackNothing) {
  Fixture f;
  f.session.startDrag({});
  f.tracker.update(true, onCompanion, companion);
  f.tracker.update(true, onCompanion, companion);
  EXPECT_EQ(f.session.reads, 2) << "a drag without files is read at every step";
  f.session.startDrag({QUrl::fromLocalFile("/tmp/a.txt")});
  f.tracker.update(true, onCompanion, std::nullopt);
  EXPECT_FALSE(f.tracker.isTrackingFileDrag());
  EXPECT_EQ(f.tracker.panelFrame(), std::nullopt);
  EXPECT_TRUE(f.activity.isEmpty());
}

TEST(RobotDropTracker, FinishingEndsTheDragAtOnceAndANewDragWhileTrackingStaysOneActivity) {
  Fixture f;
  f.session.startDrag({QUrl::fromLocalFile("/tmp/a.txt")});
  f.tracker.update(true, onCompanion, companion);
  f.session.startDrag({QUrl::fromLocalFile("/tmp/b.txt")});
  f.tracker.update(true, onCompanion, companion);
  EXPECT_EQ(f.activity, (QList<bool>{true}));
  f.tracker.finish();
  EXPECT_EQ(f.activity, (QList<bool>{true, false}));
  f.tracker.update(true, onCompanion, companion);
  EXPECT_FALSE(f.tracker.isTrackingFileDrag());
  f.tracker.finish();
  EXPECT_EQ(f.activity, (QList<bool>{true, false}));
}

TEST(RobotDropTracker, WithoutAScreenThePanelIsUnclipped) {
  Fixture f;
  f.session.startDrag({QUrl::fromLocalFile("/tmp/a.txt")});
  f.tracker.update(true, {-100, 0}, RobotDropTracker::Companion{{-50, -50, 100, 100}, std::nullopt});
  EXPECT_EQ(f.tracker.panelFrame(), (Rect{-98, -98, 196, 196}));
}

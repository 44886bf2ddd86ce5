#include "launcher/ui/Pointer.h"
#include "launcher/ui/ShortcutButton.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ViewLayer.h"

#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

Shortcut item(const QString& note = QStringLiteral("Videos"), const QString& destination = {},
              const QString& label = QStringLiteral("Tube")) {
  return {QStringLiteral("tube"), label, ShortcutKind::web, destination, note, std::nullopt, std::nullopt, true};
}

/// How wide the label's text shows: from its first to its last lit column.
int inkedLabelWidth(ShortcutButton& button) {
  const QImage image = button.grab().toImage();
  const QRect band = pf::childFrameToQt(button.labelRect(), button.height()).toAlignedRect() & image.rect();
  const auto lightness = [&](int x) {
    int most = 0;
    for (int y = band.top(); y <= band.bottom(); ++y) most = std::max(most, qGray(image.pixel(x, y)));
    return most;
  };
  const int background = lightness(band.right());
  int first = -1;
  int last = -1;
  for (int x = band.left(); x <= band.right(); ++x) {
    if (lightness(x) < background + 40) continue;
    if (first < 0) first = x;
    last = x;
  }
  return first < 0 ? 0 : last - first + 1;
}

/// A small button in a shown panel, with every report written down in order.
class Button : public ::testing::Test {
 protected:
  void SetUp() override {
    panel.setFrame(pf::Rect(200, 200, 300, 200));
    button = new ShortcutButton(item(), false, nullptr);
    panel.setContentView(new QWidget);
    button->setParent(panel.contentView());
    button->setGeometry(10, 10, 110, 78);
    panel.orderFront();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    button->onPress = [this](bool on) { calls << (on ? "press" : "unpress"); };
    button->onDragBegin = [this](ShortcutButton*, pf::Point p) {
      calls << QStringLiteral("begin %1,%2").arg(p.x).arg(p.y);
      return acceptDrags;
    };
    button->onDragUpdate = [this](pf::Point) { calls << "update"; };
    button->onDragEnd = [this](pf::Point) { calls << "end"; };
    button->onContext = [this](ShortcutButton*, pf::Point) { calls << "context"; };
    QObject::connect(button, &ShortcutButton::clicked, [this] { calls << "click"; });
  }

  void press(QPointF at) { test::mouse(button, QEvent::MouseButtonPress, at); }
  void move(QPointF at) { test::mouse(button, QEvent::MouseMove, at); }
  void release(QPointF at) { test::mouse(button, QEvent::MouseButtonRelease, at); }

  pf::Panel panel;
  ShortcutButton* button = nullptr;
  QStringList calls;
  bool acceptDrags = true;
};

}  // namespace

TEST_F(Button, AStillPressReleasedInsideClicksAndOneThatMovedSixPointsNeverDoes) {
  press({20, 20});
  EXPECT_TRUE(button->isDown());
  move({25.9, 20});
  release({25.9, 20});
  EXPECT_FALSE(button->isDown());
  EXPECT_EQ(calls, (QStringList{"press", "unpress", "click"}));

  calls.clear();
  press({20, 20});
  move({26, 20});
  move({40, 30});
  release({40, 30});
  // The press point, in the window's y-up coordinates: (30, 200 - 30).
  EXPECT_EQ(calls, (QStringList{"press", "begin 30,170", "update", "update", "end", "unpress"}));

  calls.clear();
  acceptDrags = false;
  press({20, 20});
  move({30, 20});
  move({35, 20});
  release({20, 20});
  EXPECT_EQ(calls, (QStringList{"press", "begin 30,170", "unpress"}));

  calls.clear();
  button->onDragBegin = nullptr;
  press({20, 20});
  move({30, 20});
  release({20, 20});
  EXPECT_EQ(calls, (QStringList{"press", "unpress"}));
}

TEST_F(Button, OutsideReleasesCancelsContextClicksAndDisabledButtons) {
  press({20, 20});
  release({200, 20});
  EXPECT_EQ(calls, (QStringList{"press", "unpress"}));

  calls.clear();
  press({20, 20});
  button->cancelPointerGesture();
  move({60, 20});
  release({20, 20});
  EXPECT_EQ(calls, (QStringList{"press", "unpress"}));

  calls.clear();
  test::mouse(button, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::ControlModifier);
  test::mouse(button, QEvent::MouseButtonPress, {20, 20}, Qt::RightButton);
  EXPECT_EQ(calls, (QStringList{"context", "context"}));

  calls.clear();
  button->setEnabled(false);
  press({20, 20});
  release({20, 20});
  test::mouse(button, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::ControlModifier);
  QTest::mousePress(button, Qt::RightButton, {}, QPoint(20, 20));
  EXPECT_EQ(calls, (QStringList{"context"}));
}

TEST_F(Button, AButtonReleasedByItsOwnClickIsGoneSafely) {
  QPointer<ShortcutButton> watched(button);
  button->onPress = [this](bool on) {
    if (!on) delete button;
  };
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FALSE(watched);
  EXPECT_TRUE(calls.isEmpty());
  // A drop that rebuilds the launcher deletes the button inside its drag end.
  auto* dragged = new ShortcutButton(item(), false, nullptr, panel.contentView());
  dragged->setGeometry(10, 10, 110, 78);
  dragged->onDragBegin = [](ShortcutButton*, pf::Point) { return true; };
  dragged->onDragEnd = [dragged](pf::Point) { delete dragged; };
  test::mouse(dragged, QEvent::MouseButtonPress, {20, 20});
  test::mouse(dragged, QEvent::MouseMove, {40, 20});
  test::mouse(dragged, QEvent::MouseButtonRelease, {40, 20});
}

TEST(ShortcutButtonLayout, IconAndLabelStandAtTheirFractionalPlaces) {
  const struct {
    bool wide;
    QSize size;
    pf::Rect icon;
    pf::Rect label;
  } cases[] = {
      {false, {110, 78}, {39.5, 35, 31, 31}, {3, 10, 104, 19}},
      {true, {224, 50}, {14, 11, 28, 28}, {52, 15, 162, 20}},
      // Stretched wider than its proportions: k follows the height.
      {false, {220, 78}, {94.5, 35, 31, 31}, {3, 10, 214, 19}},
  };
  for (const auto& c : cases) {
    ShortcutButton button(item(), c.wide, nullptr);
    button.resize(c.size);
    EXPECT_EQ(button.iconRect(), c.icon);
    EXPECT_EQ(button.labelRect(), c.label);
    EXPECT_EQ(button.labelFontSize(), 13);
  }
}

TEST(ShortcutButtonText, TheToolTipJoinsTheNoteAndTheDestination) {
  EXPECT_EQ(ShortcutButton(item({}, {}), false, nullptr).toolTip(), "\nNot configured");
  ShortcutButton button(item("Videos", "https://tube.example/"), true, nullptr);
  EXPECT_EQ(button.toolTip(), "Videos\nhttps://tube.example/");
  EXPECT_EQ(button.accessibleName(), "Tube");
  EXPECT_EQ(button.accessibleDescription(), "Videos");
  // A web shortcut without an icon shows the globe, a template.
  ASSERT_TRUE(button.picture());
  EXPECT_TRUE(button.picture()->isTemplate());
  EXPECT_EQ(button.picture()->accessibilityDescription(), "globe");
}

TEST_F(Button, HoverLightsTheCard) {
  const QImage resting = button->grab().toImage();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(button, &enter);
  EXPECT_TRUE(button->isHovered());
  const QImage hovered = button->grab().toImage();
  EXPECT_NE(hovered, resting);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button, &leave);
  EXPECT_EQ(button->grab().toImage(), resting);
}

TEST(ShortcutButtonText, TheLabelKeepsItsFractionalSize) {
  const Shortcut long_ = item({}, {}, QStringLiteral("Shortcut to a folder of many holiday pictures"));
  ShortcutButton base(long_, true, nullptr);
  base.resize(900, 50);
  // 21 high: k = 0.42, a 5.46 point label, which a whole pixel size would make 5.
  ShortcutButton small(long_, true, nullptr);
  small.resize(900, 21);
  EXPECT_DOUBLE_EQ(small.labelFontSize(), 13 * 0.42);
  EXPECT_NEAR(inkedLabelWidth(small), 0.42 * inkedLabelWidth(base), 2);
}

TEST_F(Button, DrawsTheContentSmokeAroundItselfWhileTheEffectIsSmoke) {
  const auto smoke = [this] {
    const auto layer = pf::ViewLayer::of(button);
    return layer ? layer->sublayerNamed(QuibContentSmoke::layerName) : nullptr;
  };
  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), QStringLiteral("smoke"));
  button->repaint();
  ASSERT_NE(smoke(), nullptr);
  QWidget same;
  same.resize(button->size());
  QuibContentSmoke::update(&same, {pf::Rect(0, 0, button->width(), button->height())});
  EXPECT_EQ(smoke()->value(QuibContentSmoke::geometryKey),
            pf::ViewLayer::of(&same)->sublayerNamed(QuibContentSmoke::layerName)->value(QuibContentSmoke::geometryKey));

  pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), QStringLiteral("fire"));
  button->repaint();
  EXPECT_EQ(smoke(), nullptr);
  pf::UserDefaults::resetAll();
}

#include "platform/ui/LayerHost.h"
#include "platform/ui/ViewLayer.h"

#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using pf::Rect;
using pf::ViewLayer;

TEST(ViewLayer, IsMadeOnceAndFollowsTheWidgetsSize) {
  QWidget view;
  view.resize(100, 40);
  EXPECT_EQ(ViewLayer::of(&view), nullptr);
  const auto layer = ViewLayer::ensure(&view);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(ViewLayer::ensure(&view), layer);
  EXPECT_EQ(ViewLayer::of(&view), layer);
  EXPECT_EQ(layer->frame(), Rect(0, 0, 100, 40));
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.resize(300, 200);
  EXPECT_EQ(layer->frame(), Rect(0, 0, 300, 200));
  EXPECT_EQ(ViewLayer::ensure(nullptr), nullptr);
}

TEST(ViewLayer, StaysAboveLaterChildrenAndLetsClicksThrough) {
  QWidget view;
  view.resize(120, 60);
  ViewLayer::ensure(&view);
  auto* button = new QPushButton(&view);
  button->setGeometry(0, 0, 120, 60);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  auto* host = view.findChild<pf::LayerHost*>();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(view.children().last(), host);
  EXPECT_EQ(host->geometry(), view.rect());
  EXPECT_EQ(view.childAt(60, 30), button);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

namespace {

const pf::Color red = pf::Color::calibratedRGB(1, 0, 0, 1);
const pf::Color green = pf::Color::calibratedRGB(0, 1, 0, 1);

// A view that draws a blue square of `side` points in its middle, nothing else.
class Square final : public QWidget {
 public:
  Square(QWidget* parent, int side) : QWidget(parent), m_side(side) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(QRect((width() - m_side) / 2, (height() - m_side) / 2, m_side, m_side), Qt::blue);
  }

 private:
  int m_side;
};

// A white window holding one 80 x 80 view at (20, 20), read back as the screen shows it.
class OwnLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setAutoFillBackground(true);
    window.setPalette(QPalette(Qt::white));
    window.resize(120, 120);
    view = new Square(&window, 40);
    view->setGeometry(20, 20, 80, 80);
    layer = ViewLayer::ensure(view);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  // The window's pixel at (x, y), y down, once pending layer changes are shown.
  QColor at(int x, int y) {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return window.grab().toImage().pixelColor(x, y);
  }

  // A child widget painted all over the view.
  void fillWithChild(Qt::GlobalColor colour) {
    auto* child = new QWidget(view);
    child->setAutoFillBackground(true);
    child->setPalette(QPalette(colour));
    child->setGeometry(0, 0, 80, 80);
    child->show();
  }

  QWidget window;
  QWidget* view = nullptr;
  std::shared_ptr<pf::Layer> layer;
};

}  // namespace

TEST_F(OwnLayer, BackgroundLiesBeneathTheDrawingWithRoundedCorners) {
  layer->setBackgroundColor(red);
  layer->setCornerRadius(16);
  EXPECT_EQ(at(60, 60), QColor(Qt::blue));   // the drawing
  EXPECT_EQ(at(25, 60), QColor(Qt::red));    // the background around it
  EXPECT_EQ(at(21, 21), QColor(Qt::white));  // a rounded corner
  layer->setBackgroundColor(std::nullopt);
  EXPECT_EQ(at(25, 60), QColor(Qt::white));
}

TEST_F(OwnLayer, MasksToBoundsClipsTheViewAndItsChildrenToTheRoundedBounds) {
  fillWithChild(Qt::green);
  layer->setCornerRadius(20);
  EXPECT_EQ(at(21, 21), QColor(Qt::green));
  layer->setMasksToBounds(true);
  EXPECT_EQ(at(21, 21), QColor(Qt::white));
  EXPECT_EQ(at(60, 21), QColor(Qt::green));
  EXPECT_EQ(at(60, 60), QColor(Qt::green));
  layer->setMasksToBounds(false);
  EXPECT_EQ(at(21, 21), QColor(Qt::green));
}

TEST_F(OwnLayer, BorderLiesAboveTheDrawingAndTheChildren) {
  fillWithChild(Qt::blue);
  layer->setBorderWidth(3);
  layer->setBorderColor(green);
  EXPECT_EQ(at(21, 60), QColor(Qt::green));
  EXPECT_EQ(at(98, 60), QColor(Qt::green));
  EXPECT_EQ(at(60, 60), QColor(Qt::blue));
}

TEST_F(OwnLayer, ShadowIsCastByTheDrawingAndMovesUpWithPositiveOffsets) {
  layer->setShadowColor(red);
  layer->setShadowOpacity(1);
  layer->setShadowRadius(2);
  layer->setShadowOffset({0, -8});  // y up: below
  const QColor below = at(60, 85);  // under the square (40..80), inside the shadow
  EXPECT_GT(below.red(), 200);
  EXPECT_LT(below.green(), 120);
  EXPECT_EQ(at(60, 35), QColor(Qt::white));  // above the square: no shadow
  EXPECT_EQ(at(60, 60), QColor(Qt::blue));   // the drawing stays on top
  layer->setShadowOffset({0, 8});
  EXPECT_GT(at(60, 35).red(), 200);
  EXPECT_LT(at(60, 35).green(), 120);
  EXPECT_EQ(at(60, 85), QColor(Qt::white));
  layer->setShadowOffset({0, -30});  // beyond the view's own bounds (20..100)
  EXPECT_GT(at(60, 105).red(), 200);
  EXPECT_LT(at(60, 105).green(), 120);
  // Blurred with a deviation of half the radius: 6 points out from the
  // square's edge, one deviation, about 16% of the shadow is left.
  layer->setShadowOffset({0, 0});
  layer->setShadowRadius(12);
  EXPECT_NEAR(at(60, 86).green(), 214, 8);
  layer->setShadowOpacity(0);
  EXPECT_EQ(at(60, 35), QColor(Qt::white));
}

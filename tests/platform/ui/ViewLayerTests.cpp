#include "platform/ui/LayerHost.h"
#include "platform/ui/ViewLayer.h"

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

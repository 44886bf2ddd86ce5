#include "launcher/ui/DragHeader.h"

#include "launcher/ui/Pointer.h"
#include "platform/ui/Panel.h"
#include "widgets/GlassSurface.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

TEST(DragHeader, StartsADragOnlyBeyondFourPointsAndReportsTotalOffsets) {
  DragHeader header;
  header.resize(200, 48);
  QStringList calls;
  header.onDragStart = [&] { calls << "start"; };
  header.onDelta = [&](pf::Point d) { calls << QStringLiteral("delta %1,%2").arg(d.x).arg(d.y); };
  header.onDragEnd = [&](pf::Point) { calls << "end"; };

  test::mouse(&header, QEvent::MouseButtonPress, {50, 20});
  test::mouse(&header, QEvent::MouseMove, {54, 20});
  test::mouse(&header, QEvent::MouseButtonRelease, {54, 20});
  EXPECT_TRUE(calls.isEmpty()) << calls.join(", ").toStdString();

  test::mouse(&header, QEvent::MouseButtonPress, {50, 20});
  test::mouse(&header, QEvent::MouseMove, {53, 23});
  test::mouse(&header, QEvent::MouseMove, {60, 10});
  test::mouse(&header, QEvent::MouseButtonRelease, {60, 10});
  // Screen offsets are y up: moving the pointer up the screen gives a positive y.
  EXPECT_EQ(calls, (QStringList{"start", "delta 3,-3", "delta 10,10", "end"}));
}

TEST(DragHeader, ClicksFallThroughTheGlassDecorationAndTheHeadersChildrenAndHoverIsReported) {
  pf::Panel panel;
  panel.setFrame(pf::Rect(200, 200, 300, 200));
  auto* surface = new GlassSurface;
  panel.setContentView(surface);
  panel.orderFront();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  auto* button = new QPushButton(QStringLiteral("Below"), surface);
  button->setGeometry(100, 80, 100, 40);
  button->show();
  auto* header = new DragHeader(surface);
  header->setGeometry(0, 0, 300, 48);
  auto* title = new QLabel(QStringLiteral("Duvur"), header);
  title->setGeometry(10, 10, 100, 30);
  header->show();
  std::vector<bool> hovers;
  surface->onHover = [&](bool inside) { hovers.push_back(inside); };

  QSignalSpy clicks(button, &QPushButton::clicked);
  ASSERT_EQ(panel.childAt(150, 100), button);
  QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(150, 100));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_TRUE(title->testAttribute(Qt::WA_TransparentForMouseEvents));

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), surface->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(surface, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(surface, &leave);
  EXPECT_EQ(hovers, (std::vector<bool>{true, false}));
}

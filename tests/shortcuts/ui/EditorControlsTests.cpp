#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorBackdrop.h"
#include "shortcuts/ui/EditorDrawing.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(EditorBackdropTest, CardsScaleWithWidthAndStretchWithHeight) {
  const auto design = EditorBackdrop::cards({820, 640});
  EXPECT_EQ(design[0], pf::Rect(12, 300, 394, 280));
  EXPECT_EQ(design[1], pf::Rect(414, 300, 394, 280));
  EXPECT_EQ(design[2], pf::Rect(10, 9, 800, 247));
  const auto larger = EditorBackdrop::cards({920, 720});
  EXPECT_NEAR(larger[0].origin.x, 13.46, 0.005);
  EXPECT_NEAR(larger[0].size.width, 442.05, 0.005);
  EXPECT_EQ(larger[0].size.height, 360);
  EXPECT_NEAR(larger[1].origin.x, 464.49, 0.005);
  EXPECT_NEAR(larger[2].origin.x, 11.22, 0.005);
  EXPECT_NEAR(larger[2].size.width, 897.56, 0.005);
  EXPECT_EQ(larger[2].size.height, 247);
}

TEST(EditorActionButtonTest, FillAndGlowFollowStateAndTitle) {
  const struct {
    QString title;
    bool prominent;
    bool enabled;
    bool pressed;
    double opacity;
    bool glows;
  } cases[] = {
      {"Save", true, true, false, 1.0, false},      {"Activate", true, true, false, 1.0, true},
      {"Activate", false, true, false, 1.0, true},  {"Activate", true, false, false, 0.35, false},
      {"Save", true, false, false, 0.35, false},    {"Remove", false, true, true, 0.7, false},
  };
  for (const auto& c : cases) {
    EditorActionButton button(c.title);
    button.prominent = c.prominent;
    button.setEnabled(c.enabled);
    button.resize(95, 30);
    button.show();
    if (c.pressed) QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.opacity(), c.opacity) << c.title.toStdString();
    EXPECT_EQ(button.glows(), c.glows) << c.title.toStdString();
    EXPECT_FALSE(button.grab().isNull());
    if (c.pressed) QTest::mouseRelease(&button, Qt::LeftButton);
  }
}

TEST(ShortcutEditorWindowTest, EscapeGoesOnlyToItsHandler) {
  ShortcutEditorWindow window;
  window.show();
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_TRUE(window.isVisible());
  int escapes = 0;
  window.onEscape = [&] { ++escapes; };
  QTest::keyClick(&window, Qt::Key_Escape);
  QTest::keyClick(&window, Qt::Key_Period, Qt::ControlModifier);
  EXPECT_EQ(escapes, 2);
}

TEST(EditorBackdropTest, ClicksReachTheControlsBelowIt) {
  QWidget content;
  content.resize(820, 640);
  int clicks = 0;
  auto* button = new QPushButton(QStringLiteral("Below"), &content);
  button->setGeometry(20, 20, 100, 30);
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  auto* backdrop = new EditorBackdrop(&content);
  backdrop->setGeometry(content.rect());
  backdrop->raise();
  content.show();
  QWidget* hit = content.childAt(50, 35);
  ASSERT_EQ(hit, button);
  QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&content, QPoint(50, 35)));
  EXPECT_EQ(clicks, 1);
}

TEST(EditorDrawingTest, DarkeningBlendsEveryChannelTowardBlackAndKeepsAlpha) {
  const pf::Color darker = EditorDrawing::darkened(pf::Color::sRGB(0.2, 0.6, 1.0, 0.5), 0.35);
  EXPECT_DOUBLE_EQ(darker.red, 0.2 * 0.65);
  EXPECT_DOUBLE_EQ(darker.green, 0.6 * 0.65);
  EXPECT_DOUBLE_EQ(darker.blue, 0.65);
  EXPECT_DOUBLE_EQ(darker.alpha, 0.5);
}

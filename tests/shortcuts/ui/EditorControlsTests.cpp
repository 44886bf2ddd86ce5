#include "look/QuibTheme.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorAddPopup.h"
#include "shortcuts/ui/EditorBackdrop.h"
#include "shortcuts/ui/EditorDestinationField.h"
#include "shortcuts/ui/EditorDrawing.h"
#include "shortcuts/ui/EditorImageView.h"
#include "shortcuts/ui/ShortcutEditorControls.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"
#include "support/gfx/RecordingCanvas.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

TEST(EditorActionButtonTest, FillBorderAndGlowFollowStateAndTitle) {
  const pf::Color accent = QuibTheme::accent();
  const pf::Path path = pf::Path::roundedRect({3, 3, 89, 24}, 8, 8);
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
    SCOPED_TRACE(c.title.toStdString());
    EditorActionButton button(c.title);
    button.prominent = c.prominent;
    button.setEnabled(c.enabled);
    button.resize(95, 30);
    button.show();
    if (c.pressed) QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.opacity(), c.opacity);
    EXPECT_EQ(button.glows(), c.glows);
    test::RecordingCanvas canvas;
    button.drawFace(canvas);
    const pf::Color base = c.prominent ? accent : QuibTheme::card();
    const pf::Color edge = c.prominent ? accent : QuibTheme::border();
    std::vector<test::DrawCall> expected;
    if (c.glows) {
      test::DrawCall glow;
      glow.kind = test::DrawCall::Kind::stroke;
      glow.path = path;
      glow.color = accent;
      glow.lineWidth = 3;
      glow.shadow = test::DrawCall::Shadow{accent, 9, {}};
      glow.depth = 1;
      expected.push_back(glow);
    }
    test::DrawCall fill;
    fill.kind = test::DrawCall::Kind::linearGradient;
    fill.path = path;
    fill.gradient = {{base.withAlpha(c.opacity), EditorDrawing::darkened(base, 0.35).withAlpha(c.opacity)}, {}};
    fill.angle = 90;
    test::DrawCall border;
    border.kind = test::DrawCall::Kind::stroke;
    border.path = path;
    border.color = edge.withAlpha(c.opacity);
    border.lineWidth = 2;
    expected.push_back(fill);
    expected.push_back(border);
    EXPECT_EQ(canvas.drawn(), expected);
    if (c.pressed) QTest::mouseRelease(&button, Qt::LeftButton);
  }
}

TEST(EditorAddPopupTest, AnAccentCapsuleWhoseEdgeFadesWhenDisabled) {
  const pf::Color accent = QuibTheme::accent();
  for (const bool enabled : {true, false}) {
    EditorAddPopup popup({QStringLiteral("Add…"), QStringLiteral("Website")});
    popup.resize(96, 34);
    popup.setEnabled(enabled);
    test::RecordingCanvas canvas;
    popup.drawFace(canvas);
    const std::vector<test::DrawCall> drawn = canvas.drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].path, pf::Path::roundedRect({1, 1, 94, 32}, 8, 8));
    EXPECT_EQ(drawn[0].gradient.colors, (std::vector<pf::Color>{accent, EditorDrawing::darkened(accent, 0.35)}));
    EXPECT_EQ(drawn[1].path, drawn[0].path);
    EXPECT_EQ(drawn[1].color, accent.withAlpha(enabled ? 0.8 : 0.3));
    EXPECT_EQ(drawn[1].lineWidth, 2);
  }
  EXPECT_EQ(EditorAddPopup::label, QString::fromUtf8("\uFF0B Add\u2026 \u2304"));
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

TEST(ShortcutEditorControlsTest, EveryControlStandsAtItsDesignFrame) {
  QWidget content;
  content.resize(820, 640);
  const ShortcutEditorControls controls = ShortcutEditorControls::build(&content);
  const auto yUp = [](const QWidget* widget) {
    const QRect g = widget->geometry();
    return pf::Rect(g.x(), 640 - g.y() - g.height(), g.width(), g.height());
  };
  const struct {
    QWidget* control;
    pf::Rect frame;
    QString tooltip;
  } cases[] = {
      {controls.removeButton, {20, 264, 95, 30}, "Keep this shortcut in Not Active. Its destination stays saved."},
      {controls.upButton, {123, 264, 38, 30}, ""},
      {controls.downButton, {167, 264, 38, 30}, ""},
      {controls.activateButton, {422, 264, 95, 30}, ""},
      {controls.deleteButton, {586, 264, 90, 30},
       "Delete a custom shortcut from the catalog on Save. Stock shortcuts are permanent."},
      {controls.undoButton, {684, 264, 116, 30}, ""},
      {controls.chooseButton, {699, 162, 101, 30}, ""},
      {controls.chooseImageButton, {16, 45, 145, 30}, "PNG, JPEG, HEIC, TIFF, GIF or WebP. Stored locally after Save."},
      {controls.defaultImageButton, {169, 45, 135, 30}, ""},
      {controls.saveButton, {697, 20, 103, 32}, ""},
      {controls.cancelButton, {589, 20, 101, 32}, ""},
      {controls.addPopup, {707, 595, 96, 34}, ""},
      {controls.table, {20, 306, 378, 244}, ""},
      {controls.inactiveTable, {422, 306, 378, 244}, ""},
      {controls.nameField, {20, 164, 280, 28}, ""},
      {controls.destinationField, {320, 164, 480, 28}, ""},
      {controls.iconPopup, {16, 87, 244, 32}, ""},
      {controls.preview, {268, 85, 34, 34}, ""},
      {controls.countLabel, {390, 599, 300, 22}, ""},
      {controls.heading, {42, 226, 328, 26}, ""},
      {controls.kindLabel, {380, 226, 420, 22}, ""},
      {controls.emptyLabel, {320, 115, 480, 35}, ""},
      {controls.status, {320, 67, 480, 42}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(yUp(c.control), c.frame) << c.control->accessibleName().toStdString();
    EXPECT_EQ(c.control->toolTip(), c.tooltip) << c.control->accessibleName().toStdString();
  }
  QStringList titles;
  for (const QLabel* label : content.findChildren<QLabel*>())
    if (!label->text().isEmpty()) titles << label->text() + QStringLiteral(" @ ") + QString::number(yUp(label).minY());
  EXPECT_EQ(titles, (QStringList{"Your shortcuts @ 602",
                                 "Manage the apps and websites your companion can quickly access. @ 580",
                                 "Active @ 553", "Not Active @ 553", "Shortcut details @ 226", "Name @ 197",
                                 "Destination @ 197", "Icon @ 123"}));
}

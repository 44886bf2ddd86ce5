#include "widgets/DesignFrames.h"

#include "platform/core/QtGeometry.h"
#include "platform/ui/ViewStyle.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using pf::Rect;

namespace {

Rect frameOf(const QWidget* widget) {
  return pf::childFrameToYUp(widget->geometry(), widget->parentWidget()->height());
}

}  // namespace

// Frames are drawn up y up from the parent's bottom left, against the height
// the parent has when the view is placed, so a view placed again after the
// parent grew keeps its distance from the bottom.
TEST(DesignFrames, PlacesAViewAtItsYUpFrameInItsParentAsTheParentStands) {
  QWidget parent;
  parent.resize(400, 300);
  auto* view = DesignFrames::place(new QWidget, &parent, {20, 16, 100, 32});
  EXPECT_EQ(view->parentWidget(), &parent);
  EXPECT_EQ(view->geometry(), QRect(20, 252, 100, 32));
  EXPECT_EQ(frameOf(view), (Rect{20, 16, 100, 32}));

  parent.resize(400, 500);
  DesignFrames::place(view, &parent, {20, 16, 100, 32});
  EXPECT_EQ(view->geometry(), QRect(20, 452, 100, 32));
}

TEST(DesignFrames, LabelsShowTheirTextAsWrittenAndButtonsLeaveReturnAlone) {
  QWidget parent;
  parent.resize(400, 300);
  const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
  struct Case {
    DesignFrames::TextStyle style;
    Qt::Alignment alignment;
  };
  for (const Case& c : {Case{{.pixelSize = 13}, Qt::AlignLeft | Qt::AlignVCenter},
                        Case{{.pixelSize = 12, .color = orange, .wraps = true, .weight = QFont::Bold},
                             Qt::AlignLeft | Qt::AlignTop}}) {
    QLabel* label = DesignFrames::label(&parent, QStringLiteral("<b>a & b</b>"), {22, 40, 200, 40}, c.style);
    EXPECT_EQ(frameOf(label), (Rect{22, 40, 200, 40}));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->wordWrap(), c.style.wraps);
    EXPECT_EQ(label->alignment(), c.alignment);
    EXPECT_EQ(label->font().pixelSize(), int(c.style.pixelSize));
    EXPECT_EQ(label->font().weight(), c.style.weight);
    EXPECT_EQ(pf::ViewStyle::color(label, pf::ViewStyle::ColorRole::text), c.style.color);
  }
  QPushButton* button = DesignFrames::button(&parent, QStringLiteral("Save"), {22, 16, 100, 32});
  EXPECT_FALSE(button->autoDefault());
  EXPECT_FALSE(button->isDefault());
  EXPECT_EQ(frameOf(button), (Rect{22, 16, 100, 32}));
}

#include "widgets/GlassWindow.h"

#include "look/QuibSkin.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "widgets/ContentWindowSizing.h"
#include "widgets/DesignFrames.h"
#include "widgets/GlassSurface.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

using pf::Rect;
using pf::Size;

namespace {

const Size base{400, 300};
const Rect textFrame{20, 60, 360, 200};
const Rect buttonFrame{20, 16, 100, 32};

Rect frameOf(const QWidget* widget) {
  return pf::childFrameToYUp(widget->geometry(), widget->parentWidget()->height());
}

}  // namespace

TEST(GlassWindow, IsTitledGlassAtItsBaseSizeUntilArrangedThenGrowsItsStretchFrameAndRemembersTheUsersSize) {
  pf::UserDefaults::resetAll();
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  GlassWindow glass(QStringLiteral("Notes"), base);
  EXPECT_EQ(glass.window()->windowTitle(), QStringLiteral("Notes"));
  EXPECT_EQ(pf::ViewStyle::appearance(glass.window()), QuibSkin::appearance());
  EXPECT_EQ(glass.window()->contentView(), glass.content());
  EXPECT_EQ(glass.content()->size(), QSize(400, 300));

  auto* text = DesignFrames::place(new QPlainTextEdit, glass.content(), textFrame);
  auto* button = DesignFrames::button(glass.content(), QStringLiteral("Save"), buttonFrame);
  int layouts = 0;
  glass.arrange({.stretchFrame = textFrame,
                 .key = QStringLiteral("notes"),
                 .defaults = &defaults,
                 .minimum = base,
                 .initial = {400, 400},
                 .onLayout = [&] { ++layouts; }});
  EXPECT_EQ(glass.window()->contentSize(), (Size{400, 400}));
  glass.window()->show();
  // The first sizing is laid out like every later one.
  EXPECT_GT(layouts, 0);
  EXPECT_EQ(frameOf(text), (Rect{20, 60, 360, 300}));
  EXPECT_EQ(frameOf(button), buttonFrame);

  glass.window()->setContentSize({400, 500});
  EXPECT_EQ(frameOf(text), (Rect{20, 60, 360, 400}));
  EXPECT_FALSE(defaults.dictionary(ContentWindowSizing::keyPrefix + QStringLiteral("notes")).has_value())
      << "only a size the user gives is remembered";
}

TEST(GlassWindow, TakesItsWindowWithIt) {
  QPointer<pf::Window> window;
  {
    GlassWindow glass(QStringLiteral("Notes"), base, std::make_unique<pf::Window>());
    window = glass.window();
    glass.arrange({.key = QStringLiteral("notes"), .minimum = base, .initial = base});
    ASSERT_TRUE(window);
  }
  EXPECT_FALSE(window);
}

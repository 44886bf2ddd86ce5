#include "platform/ui/ViewStyle.h"

#include "platform/gfx/Contrast.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using pf::Appearance;
using pf::Color;
using pf::ViewStyle;

TEST(ViewStyle, AppearanceIsOwnedOrInheritedAndCanBeReset) {
  QWidget window;
  auto* view = new QWidget(&window);
  auto* label = new QLabel(view);
  EXPECT_EQ(ViewStyle::appearance(&window), std::nullopt);
  EXPECT_EQ(ViewStyle::effectiveAppearance(label), Appearance::light);

  ViewStyle::setAppearance(&window, Appearance::dark);
  EXPECT_EQ(ViewStyle::appearance(&window), Appearance::dark);
  EXPECT_EQ(ViewStyle::appearance(label), std::nullopt);
  EXPECT_EQ(ViewStyle::effectiveAppearance(label), Appearance::dark);
  EXPECT_LT(label->palette().color(QPalette::Window).lightness(), 100);
  EXPECT_GT(label->palette().color(QPalette::WindowText).lightness(), 200);

  ViewStyle::setAppearance(view, Appearance::light);
  EXPECT_EQ(ViewStyle::effectiveAppearance(label), Appearance::light);
  EXPECT_LT(label->palette().color(QPalette::WindowText).lightness(), 100);

  ViewStyle::setAppearance(view, std::nullopt);
  EXPECT_EQ(ViewStyle::appearance(view), std::nullopt);
  EXPECT_EQ(ViewStyle::effectiveAppearance(label), Appearance::dark);
  EXPECT_GT(label->palette().color(QPalette::WindowText).lightness(), 200);
}

TEST(ViewStyle, ColoursAreKeptExactlyAsGivenAndShown) {
  QWidget window;
  auto* label = new QLabel(&window);
  auto* button = new QPushButton(&window);
  // Equal as QColors, told apart by their colour space.
  const Color calibrated = Color::calibratedRGB(0.2, 0.4, 0.6, 1);
  const Color srgb = Color::sRGB(0.2, 0.4, 0.6, 1);
  ViewStyle::setColor(label, ViewStyle::ColorRole::text, calibrated);
  ViewStyle::setColor(button, ViewStyle::ColorRole::bezel, srgb);
  ViewStyle::setColor(label, ViewStyle::ColorRole::tint, srgb);
  EXPECT_EQ(ViewStyle::color(label, ViewStyle::ColorRole::text), calibrated);
  EXPECT_NE(ViewStyle::color(label, ViewStyle::ColorRole::text), srgb);
  EXPECT_EQ(ViewStyle::color(button, ViewStyle::ColorRole::bezel), srgb);
  EXPECT_EQ(ViewStyle::color(label, ViewStyle::ColorRole::tint), srgb);
  EXPECT_EQ(ViewStyle::color(button, ViewStyle::ColorRole::text), std::nullopt);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor::fromRgbF(0.2f, 0.4f, 0.6f));
  EXPECT_EQ(button->palette().color(QPalette::Button), QColor::fromRgbF(0.2f, 0.4f, 0.6f));

  // A new appearance keeps the view's own colours over it.
  ViewStyle::setAppearance(label, Appearance::dark);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor::fromRgbF(0.2f, 0.4f, 0.6f));

  ViewStyle::setColor(label, ViewStyle::ColorRole::text, std::nullopt);
  EXPECT_EQ(ViewStyle::color(label, ViewStyle::ColorRole::text), std::nullopt);
  EXPECT_GT(label->palette().color(QPalette::WindowText).lightness(), 200);
}

// Fields, buttons, menus, lists, selections and tool tips of either
// appearance show their text at 4.5:1 on its ground.
TEST(ViewStyle, EveryPalettesTextReadsOnItsGround) {
  const struct {
    const char* name;
    QPalette::ColorRole ink, ground;
    int lighter = 100;  // how much lighter the style paints the ground
  } pairs[] = {
      {"field", QPalette::Text, QPalette::Base},
      {"placeholder", QPalette::PlaceholderText, QPalette::Base},
      {"menu", QPalette::Text, QPalette::Base, 108},
      {"window", QPalette::WindowText, QPalette::Window},
      {"button", QPalette::ButtonText, QPalette::Button, 124},
      {"selection", QPalette::HighlightedText, QPalette::Highlight},
      {"tool tip", QPalette::ToolTipText, QPalette::ToolTipBase},
  };
  const auto rgba = [](const QColor& c) { return pf::Rgba{c.redF(), c.greenF(), c.blueF(), 1}; };
  for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
    const QPalette palette = ViewStyle::palette(appearance);
    for (const auto& pair : pairs) {
      const QColor ground = palette.color(pair.ground).lighter(pair.lighter);
      EXPECT_GE(pf::Contrast::ratio(rgba(palette.color(pair.ink)), rgba(ground)), pf::Contrast::text)
          << pair.name << (appearance == Appearance::dark ? " dark" : " light");
    }
  }
}

// Menus, lists and dialogs with no window of their own to follow wear the
// application's appearance, and a label colour is shown as each appearance
// gives it, again whenever an ancestor's appearance changes.
TEST(ViewStyle, TheApplicationsAppearanceReachesOwnerlessWidgetsAndLabelColoursFollowTheirWindow) {
  ViewStyle::setDefaultAppearance(Appearance::dark);
  QMenu menu;
  EXPECT_EQ(ViewStyle::effectiveAppearance(&menu), Appearance::dark);
  EXPECT_EQ(menu.palette().color(QPalette::Base), ViewStyle::palette(Appearance::dark).color(QPalette::Base));

  QWidget window;
  ViewStyle::setAppearance(&window, Appearance::light);
  auto* label = new QLabel(new QWidget(&window));
  ViewStyle::setColor(label, ViewStyle::ColorRole::text, Color::system(QStringLiteral("secondaryLabelColor")));
  EXPECT_LT(label->palette().color(QPalette::WindowText).lightness(), 50);
  ViewStyle::setAppearance(&window, Appearance::dark);
  EXPECT_GT(label->palette().color(QPalette::WindowText).lightness(), 200);

  ViewStyle::setDefaultAppearance(Appearance::light);
  QCoreApplication::processEvents();  // Qt tells open widgets of a new palette on the next turn
  EXPECT_EQ(menu.palette().color(QPalette::Base), ViewStyle::palette(Appearance::light).color(QPalette::Base));
}

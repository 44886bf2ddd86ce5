#include "platform/ui/ViewStyle.h"

#include <QLabel>
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

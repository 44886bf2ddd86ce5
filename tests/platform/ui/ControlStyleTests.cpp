#include "platform/ui/ControlStyle.h"

#include "platform/gfx/Contrast.h"
#include "platform/ui/ViewStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOption>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using pf::Appearance;
using pf::Contrast;
using pf::ViewStyle;

namespace {

pf::Rgba rgba(const QColor& c) { return {c.redF(), c.greenF(), c.blueF(), 1}; }

/// A window of `appearance` painted in `ground` (a glass of that appearance),
/// drawn with the program's style.
class Styled : public ::testing::Test {
 protected:
  void SetUp() override { QApplication::setStyle(new pf::ControlStyle); }
  void TearDown() override { QApplication::setStyle(QStringLiteral("Fusion")); }

  std::unique_ptr<QWidget> window(Appearance appearance, const QColor& ground) {
    auto made = std::make_unique<QWidget>();
    ViewStyle::setAppearance(made.get(), appearance);
    QPalette palette = made->palette();
    palette.setColor(QPalette::Window, ground);
    made->setPalette(palette);
    made->setAutoFillBackground(true);
    made->resize(240, 120);
    return made;
  }

  static QImage shot(QWidget* window) { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

/// The share of the pixels on the rim of `rect` in `image` that stand out from `ground` by `ratio`.
double outstandingRim(const QImage& image, const QRect& rect, const QColor& ground, double ratio) {
  int shown = 0, all = 0;
  const auto count = [&](int x, int y) {
    ++all;
    if (Contrast::ratio(rgba(image.pixelColor(x, y)), rgba(ground)) >= ratio) ++shown;
  };
  for (int x = rect.left() + 3; x <= rect.right() - 3; ++x) {
    // The edge lies on the rect's outermost line or the one within it.
    const bool top = Contrast::ratio(rgba(image.pixelColor(x, rect.top())), rgba(ground)) >= ratio;
    const bool bottom = Contrast::ratio(rgba(image.pixelColor(x, rect.bottom())), rgba(ground)) >= ratio;
    count(x, top ? rect.top() : rect.top() + 1);
    count(x, bottom ? rect.bottom() : rect.bottom() - 1);
  }
  return all ? double(shown) / all : 0;
}

}  // namespace

// On dark and on light glass, the edge of every kind of control stands out
// at 3:1 all along its rim.
TEST_F(Styled, EveryControlsEdgeStandsOutFromTheGlass) {
  const struct {
    const char* name;
    std::function<QWidget*(QWidget*)> make;
    std::function<QRect(QWidget*)> rim;
  } controls[] = {
      {"check box", [](QWidget* w) { return new QCheckBox(w); },
       [](QWidget* c) {
         QStyleOptionButton option;
         option.initFrom(c);
         return c->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, c);
       }},
      {"field", [](QWidget* w) { return new QLineEdit(w); }, [](QWidget* c) { return c->rect(); }},
      {"button", [](QWidget* w) { return new QPushButton(QStringLiteral("Edit…"), w); },
       [](QWidget* c) { return c->rect(); }},
      {"pop-up", [](QWidget* w) {
         auto* box = new QComboBox(w);
         box->addItem(QStringLiteral("All"));
         return box;
       },
       [](QWidget* c) { return c->rect(); }},
  };
  for (const auto& [appearance, ground] : {std::pair{Appearance::dark, QColor(0x0a, 0x10, 0x1e)},
                                           std::pair{Appearance::light, QColor(0xd9, 0xe8, 0xfb)}}) {
    for (const auto& control : controls) {
      const auto host = window(appearance, ground);
      QWidget* made = control.make(host.get());
      made->setGeometry(20, 20, 140, 30);
      made->ensurePolished();
      const QRect rim = control.rim(made).translated(made->pos());
      EXPECT_GE(outstandingRim(shot(host.get()), rim, ground, Contrast::edge), 0.9)
          << control.name << (appearance == Appearance::dark ? " on dark glass" : " on light glass");
    }
  }
}

// Edges and rims are quieter than text: each lies between the text colour
// and what it is drawn toward.
TEST(ControlStyle, EdgesAndRimsLieBetweenTheTextAndTheirGround) {
  const auto between = [](const QColor& c, const QColor& a, const QColor& b) {
    const double l = Contrast::luminance(rgba(c)), la = Contrast::luminance(rgba(a)), lb = Contrast::luminance(rgba(b));
    return l > std::min(la, lb) && l < std::max(la, lb);
  };
  const QColor green(48, 209, 88);
  for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
    const QPalette palette = ViewStyle::palette(appearance);
    const QColor text = palette.color(QPalette::WindowText);
    EXPECT_TRUE(between(pf::ControlStyle::edgeColor(palette), text, palette.color(QPalette::Window)));
    EXPECT_TRUE(between(pf::ControlStyle::tintedRim(green, palette), green, text));
  }
}

// A button given a bezel colour shows its title at 4.5:1 on a face of that
// colour; disabled, face and title fade toward the glass.
TEST_F(Styled, ATintedButtonsTitleReadsOnItsFaceAndFadesWhenDisabled) {
  const QColor ground(0x0a, 0x10, 0x1e);
  const auto host = window(Appearance::dark, ground);
  auto* button = new QPushButton(QStringLiteral("New…"), host.get());
  button->setGeometry(20, 20, 160, 40);
  ViewStyle::setColor(button, ViewStyle::ColorRole::bezel, pf::Color::system(QStringLiteral("systemGreen")));
  ViewStyle::setColor(button, ViewStyle::ColorRole::text, pf::Color::system(QStringLiteral("white")));
  const QRect inside = button->geometry().adjusted(4, 4, -4, -4);

  const auto faceAndTitle = [&] {
    const QImage image = shot(host.get());
    // The face is the colour at the inside's corner; the title its lightest pixel.
    const QColor face = image.pixelColor(inside.topLeft());
    QColor title = face;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
      for (int x = inside.left(); x <= inside.right(); ++x)
        if (image.pixelColor(x, y).lightness() > title.lightness()) title = image.pixelColor(x, y);
    return std::pair{face, title};
  };
  const auto [face, title] = faceAndTitle();
  EXPECT_GT(face.green(), face.red() + 40);  // still green
  EXPECT_GE(Contrast::ratio(rgba(title), rgba(face)), Contrast::text);

  button->setEnabled(false);
  const auto [fadedFace, fadedTitle] = faceAndTitle();
  EXPECT_LT(Contrast::ratio(rgba(fadedFace), rgba(ground)), Contrast::ratio(rgba(face), rgba(ground)));
  EXPECT_LT(fadedTitle.lightness(), title.lightness() - 60);
}

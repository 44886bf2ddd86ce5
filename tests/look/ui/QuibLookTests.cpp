#include "look/ui/OverlayFixture.h"
#include "look/ui/QuibLook.h"
#include "look/ui/QuibNeonBorder.h"

#include "look/QuibTheme.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"
#include "reminders/ui/ReminderGlowButton.h"
#include "widgets/GlassSurface.h"

#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using pf::Color;
using Role = pf::ViewStyle::ColorRole;

namespace {

const Color green = Color::calibratedRGB(0.12, 0.82, 0.42, 1.0);
const Color elsewhere = Color::calibratedRGB(0.3, 0.3, 0.3, 1.0);

template <typename View>
View* add(QWidget* parent, Role role, const Color& color) {
  auto* view = new View(parent);
  pf::ViewStyle::setColor(view, role, color);
  return view;
}

std::optional<Color> colorOf(const QWidget* view, Role role) { return pf::ViewStyle::color(view, role); }

}  // namespace

class LookChange : public OverlayFixture {
 protected:
  void SetUp() override {
    OverlayFixture::SetUp();
    choose("none");
    glass = new GlassSurface;
    window->setContentView(glass);
  }

  /// A second window, its content a glass surface, shown or not.
  std::unique_ptr<pf::Window> glassWindow(bool shown, const QString& title = {}) {
    auto w = std::make_unique<pf::Window>();
    w->setContentView(title.isEmpty() ? static_cast<QWidget*>(new GlassSurface) : new QWidget);
    w->setWindowTitle(title);
    w->setFrame(pf::Rect(100, 100, 200, 150));
    if (shown) w->show();
    return w;
  }

  GlassSurface* glass = nullptr;
};

TEST_F(LookChange, AThemeChangeSwapsOldPaletteColoursWithinTheCall) {
  const Color accent = QuibTheme::accent(), border = QuibTheme::border(), text = QuibTheme::text();
  auto* field = add<QLineEdit>(glass, Role::text, accent);
  auto* label = add<QLabel>(glass, Role::text, border);
  auto* plain = add<QLabel>(glass, Role::text, elsewhere);
  auto* white = add<QLabel>(glass, Role::text, text);
  auto* button = add<QPushButton>(glass, Role::bezel, accent);
  const auto layer = pf::ViewLayer::ensure(plain);
  layer->setBackgroundColor(QuibTheme::card());
  layer->setBorderColor(accent);
  window->show();
  QuibNeonBorder::update(glass);

  QuibLook::select(QuibColorTheme::green);

  EXPECT_EQ(colorOf(field, Role::text), green);
  EXPECT_EQ(colorOf(label, Role::text), green.withAlpha(0.6));
  EXPECT_EQ(colorOf(plain, Role::text), elsewhere);
  EXPECT_EQ(colorOf(white, Role::text), text);
  EXPECT_EQ(colorOf(button, Role::bezel), green);
  EXPECT_EQ(layer->backgroundColor(), QuibTheme::card());
  EXPECT_EQ(layer->borderColor(), green);
  const auto outline = std::dynamic_pointer_cast<pf::ShapeLayer>(
      pf::ViewLayer::of(glass)->sublayerNamed(QuibNeonBorder::layerName));
  EXPECT_EQ(outline->strokeColor(), green) << "the glass's outline glows in the new accent";
}

TEST_F(LookChange, TintsFollowOnlyOnGlowButtonsAndImagesRightUnderTheContent) {
  const Color accent = QuibTheme::accent();
  auto* glow = new ReminderGlowButton(QStringLiteral("Done"), new QWidget(new QWidget(glass)));
  auto* custom = new ReminderGlowButton(QStringLiteral("Snooze"), glass);
  custom->setTint(elsewhere);
  auto* image = add<QLabel>(glass, Role::tint, accent);
  auto* deepImage = add<QLabel>(new QWidget(glass), Role::tint, accent);
  EXPECT_EQ(glow->tint(), accent);

  QuibLook::select(QuibColorTheme::green);

  EXPECT_EQ(glow->tint(), green);
  EXPECT_EQ(custom->tint(), elsewhere);
  EXPECT_EQ(colorOf(image, Role::tint), green);
  EXPECT_EQ(colorOf(deepImage, Role::tint), accent);
}

TEST_F(LookChange, TheFirstOfTwoEqualEntriesDecides) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QStringLiteral("pearlSpace"));
  const QuibTheme::Palette old = QuibTheme::palette();
  ASSERT_EQ(QuibTheme::accent(), QuibTheme::highlight());
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QStringLiteral("classic"));
  const QuibTheme::Palette now = QuibTheme::palette();
  EXPECT_EQ(QuibTheme::substituted(old[4], old, now), QuibTheme::accent());
  EXPECT_EQ(QuibTheme::substituted(elsewhere, old, now), elsewhere);
  EXPECT_EQ(QuibTheme::substituted(std::optional<Color>(), old, now), std::nullopt);
}

TEST_F(LookChange, ASkinChangeResetsAppearancesButNotTheColourPanels) {
  pf::Window colorPanel;
  colorPanel.setContentView(new QColorDialog);
  pf::ViewStyle::setAppearance(&colorPanel, pf::Appearance::light);
  auto* inner = new QWidget(glass);
  pf::ViewStyle::setAppearance(inner, pf::Appearance::dark);
  auto* inheriting = new QWidget(glass);

  QuibLook::selectSkin(QuibSkin::pearlSpace);

  EXPECT_EQ(pf::ViewStyle::appearance(window.get()), pf::Appearance::light);
  EXPECT_EQ(pf::ViewStyle::appearance(inner), pf::Appearance::light);
  EXPECT_EQ(pf::ViewStyle::appearance(inheriting), std::nullopt);
  QuibLook::selectSkin(QuibSkin::robotLab);
  EXPECT_EQ(pf::ViewStyle::appearance(window.get()), pf::Appearance::dark);
  EXPECT_EQ(pf::ViewStyle::appearance(&colorPanel), pf::Appearance::light);
}

TEST_F(LookChange, AnEffectChangeSwitchesVisibleGlassAndSettingsOverlaysOnceLater) {
  window->show();
  const auto hidden = glassWindow(false);
  const auto shownGlass = glassWindow(true);
  const auto settings = glassWindow(true, QStringLiteral("Wendle Settings"));
  const auto other = glassWindow(true, QStringLiteral("Other"));

  QuibLook::selectEffect(QuibBorderEffect::frost);
  EXPECT_EQ(QuibSmokeOverlay::of(settings.get()), nullptr) << "the settings window waits for the later pass";
  settle();
  ASSERT_NE(overlay(), nullptr);
  EXPECT_EQ(overlay()->builds(), 1);
  ASSERT_NE(QuibSmokeOverlay::of(settings.get()), nullptr);
  EXPECT_EQ(QuibSmokeOverlay::of(settings.get())->builds(), 1);
  ASSERT_NE(QuibSmokeOverlay::of(shownGlass.get()), nullptr);
  EXPECT_EQ(QuibSmokeOverlay::of(shownGlass.get())->builds(), 1);
  const QuibSmokeOverlay* hiddenOverlay = QuibSmokeOverlay::of(hidden.get());
  EXPECT_TRUE(!hiddenOverlay || !hiddenOverlay->panel()->isVisible()) << "nothing shows around a hidden window";
  EXPECT_EQ(QuibSmokeOverlay::of(other.get()), nullptr);

  QuibLook::selectEffect(QuibBorderEffect::none);
  settle();
  EXPECT_EQ(overlay(), nullptr);
  EXPECT_EQ(QuibSmokeOverlay::of(settings.get()), nullptr);
  EXPECT_EQ(QuibSmokeOverlay::of(shownGlass.get()), nullptr);
}

TEST_F(LookChange, ACustomColourIsStoredAsThreeComponentsAndSelected) {
  QuibLook::setCustomColor(Color::sRGB(1, 0.5, 0.25, 0.4), true);
  EXPECT_EQ(pf::UserDefaults::standard().array(QStringLiteral("customBackgroundRGB")),
            (QVariantList{1.0, 0.5, 0.25}));
  EXPECT_EQ(QuibTheme::background(), QuibBackground::custom);
  EXPECT_EQ(QuibTheme::navy(), Color::sRGB(1, 0.5, 0.25, 1));

  auto* label = add<QLabel>(glass, Role::text, QuibTheme::accent());
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
    QuibLook::setCustomColor(Color::sRGB(bad, 0.5, 0.25), false);
    EXPECT_FALSE(pf::UserDefaults::standard().object(QStringLiteral("customAccentRGB")));
    EXPECT_EQ(QuibTheme::current(), QuibColorTheme::blue);
  }
  QuibLook::setCustomColor(Color::calibratedWhite(0.5), false);
  EXPECT_EQ(pf::UserDefaults::standard().array(QStringLiteral("customAccentRGB")), (QVariantList{0.5, 0.5, 0.5}));
  EXPECT_EQ(colorOf(label, Role::text), Color::sRGB(0.5, 0.5, 0.5)) << "the old accent became the custom one";
}

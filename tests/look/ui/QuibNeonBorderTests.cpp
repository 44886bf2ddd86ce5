#include "look/ui/OverlayFixture.h"
#include "look/ui/QuibNeonBorder.h"

#include "look/QuibTheme.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/ui/FrameClock.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"

#include <QTest>

using pf::Rect;

namespace {

std::vector<std::shared_ptr<pf::Layer>> outlines(const QWidget& view) {
  std::vector<std::shared_ptr<pf::Layer>> out;
  for (const auto& l : pf::ViewLayer::of(&view)->sublayers()) {
    if (l->name() == QuibNeonBorder::layerName) out.push_back(l);
  }
  return out;
}

std::shared_ptr<pf::ShapeLayer> outline(const QWidget& view) {
  const auto all = outlines(view);
  return all.empty() ? nullptr : std::dynamic_pointer_cast<pf::ShapeLayer>(all.back());
}

}  // namespace

class NeonBorder : public OverlayFixture {
 protected:
  void SetUp() override {
    OverlayFixture::SetUp();
    choose("none");
    view.resize(100, 40);
  }
  QWidget view;
};

TEST_F(NeonBorder, OneOutlineKeepsTheRadiusItWasMadeWith) {
  QuibNeonBorder::update(&view, 21);
  QuibNeonBorder::update(&view, 12);
  ASSERT_EQ(outlines(view).size(), 1u);
  const auto line = outline(view);
  EXPECT_EQ(line->cornerRadius(), 21);
  EXPECT_EQ(line->frame(), Rect(0, 0, 100, 40));
  EXPECT_EQ(line->path(), pf::Path::roundedRect(Rect(3, 3, 94, 34), 21, 21));
  EXPECT_EQ(line->path().controlBounds(), Rect(3, 3, 94, 34));
}

TEST_F(NeonBorder, GlowsInTheAccentAndFollowsATheme) {
  QuibNeonBorder::update(&view);
  const auto line = outline(view);
  EXPECT_EQ(line->cornerRadius(), 12);
  EXPECT_EQ(line->strokeColor(), QuibTheme::accent());
  EXPECT_EQ(line->fillColor(), std::nullopt);
  EXPECT_EQ(line->lineWidth(), 1.5);
  EXPECT_EQ(line->shadowColor(), QuibTheme::accent());
  EXPECT_FLOAT_EQ(line->shadowOpacity(), 0.75f);
  EXPECT_EQ(line->shadowRadius(), 7);
  EXPECT_EQ(line->shadowOffset(), (pf::Size{0, 0}));
  EXPECT_FLOAT_EQ(line->opacity(), 0.55f);

  const pf::Color blue = QuibTheme::accent();
  pf::UserDefaults::standard().set(QStringLiteral("colorTheme"), QStringLiteral("green"));
  view.resize(160, 90);
  QuibNeonBorder::update(&view, 12);
  EXPECT_NE(QuibTheme::accent(), blue);
  EXPECT_EQ(line->strokeColor(), QuibTheme::accent());
  EXPECT_EQ(line->path().controlBounds(), Rect(3, 3, 154, 84));
}

TEST_F(NeonBorder, BreathesWithoutRestartingAndRestsWhenMotionIsReduced) {
  QuibNeonBorder::update(&view, 12);
  const auto line = outline(view);
  const auto breath = std::dynamic_pointer_cast<const pf::BasicAnimation>(line->animation("breathe"));
  ASSERT_NE(breath, nullptr);
  EXPECT_EQ(breath->keyPath, "opacity");
  EXPECT_EQ(std::get<double>(*breath->fromValue), 0.25);
  EXPECT_EQ(std::get<double>(*breath->toValue), 0.9);
  EXPECT_EQ(breath->duration, 3.5);
  EXPECT_TRUE(breath->autoreverses);
  EXPECT_EQ(breath->repeatCount, pf::Animation::repeatForever);
  EXPECT_EQ(breath->timingFunction, pf::TimingFunction::easeInEaseOut());
  QuibNeonBorder::update(&view, 12);
  EXPECT_EQ(line->animation("breathe"), breath);

  pf::Accessibility::overrideReduceMotion(true);
  QuibNeonBorder::update(&view, 12);
  EXPECT_EQ(line->animation("breathe"), nullptr);
  EXPECT_FLOAT_EQ(line->opacity(), 0.55f);
  pf::Accessibility::overrideReduceMotion(false);
  QuibNeonBorder::update(&view, 12);
  EXPECT_NE(line->animation("breathe"), nullptr);
}

TEST_F(NeonBorder, BreathesOnScreenTwoAndAHalfTimesASecond) {
  QuibNeonBorder::update(&view, 12);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  settle();
  EXPECT_EQ(pf::FrameClock::shared().interval(), 400);
}

TEST_F(NeonBorder, ALayerOfAnotherKindWithTheNameDoesNotMultiplyOutlines) {
  auto impostor = pf::Layer::make();
  impostor->setName(QuibNeonBorder::layerName);
  pf::ViewLayer::ensure(&view)->addSublayer(impostor);
  for (int i = 0; i < 3; ++i) QuibNeonBorder::update(&view, 12);
  const auto all = outlines(view);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0], impostor);
  EXPECT_EQ(all[1]->kind(), pf::Layer::Kind::shape);
}

TEST_F(NeonBorder, ShowsOnScreenAroundTheView) {
  pf::Accessibility::overrideReduceMotion(true);
  pf::ViewStyle::setAppearance(&view, pf::Appearance::light);
  QuibNeonBorder::update(&view, 6);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  settle();
  const QImage shot = view.grab().toImage();
  // The blue line over the light background takes red out on the left edge only.
  const QColor line = shot.pixelColor(3, 20), middle = shot.pixelColor(50, 20);
  EXPECT_LT(line.red(), middle.red() - 60);
  EXPECT_GE(line.blue(), middle.blue());
}

TEST_F(NeonBorder, AppliesTheBorderEffectToAWindowsContentView) {
  choose("fire");
  window->show();
  QuibNeonBorder::update(window->contentView(), 12);
  EXPECT_NE(overlay(), nullptr);
  QWidget* inner = new QWidget(window->contentView());
  choose("none");
  QuibNeonBorder::update(inner, 12);  // a subview: the effect stays
  EXPECT_NE(overlay(), nullptr);
  QuibNeonBorder::update(window->contentView(), 12);
  EXPECT_EQ(overlay(), nullptr);
}

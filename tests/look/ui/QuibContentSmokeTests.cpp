#include "look/ui/OverlayFixture.h"
#include "look/ui/QuibContentSmoke.h"

#include "platform/gfx/ShapeLayer.h"
#include "platform/ui/ViewLayer.h"

#include <QWidget>

using pf::Rect;

namespace {

std::shared_ptr<pf::Layer> smokeOf(const QWidget& view) {
  const auto layer = pf::ViewLayer::of(&view);
  return layer ? layer->sublayerNamed(QuibContentSmoke::layerName) : nullptr;
}

std::vector<int> puffsPerSide(const pf::Layer& ring, const Rect& r) {
  std::vector<int> counts(4, 0);  // bottom, right, top, left
  for (const auto& puff : ring.sublayers()) {
    const pf::Point p = puff->position();
    if (p.y == 8) ++counts[0];
    if (p.x == 8 + r.width()) ++counts[1];
    if (p.y == 8 + r.height()) ++counts[2];
    if (p.x == 8) ++counts[3];
  }
  return counts;
}

}  // namespace

class ContentSmoke : public OverlayFixture {
 protected:
  void SetUp() override {
    OverlayFixture::SetUp();
    choose("smoke");
    view.resize(300, 200);
  }
  QWidget view;
};

TEST_F(ContentSmoke, OnlyTheSmokeEffectKeepsALayer) {
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  ASSERT_NE(smokeOf(view), nullptr);
  choose("fire");
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  EXPECT_EQ(smokeOf(view), nullptr);
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  EXPECT_EQ(smokeOf(view), nullptr);
}

TEST_F(ContentSmoke, RebuildsOnlyWhenTheRectanglesOrReducedMotionChange) {
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  const auto first = smokeOf(view);
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  EXPECT_EQ(smokeOf(view), first) << "the same rectangles rebuild nothing";

  view.resize(400, 250);
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  EXPECT_EQ(smokeOf(view), first) << "a resize alone keeps the old layer";
  EXPECT_EQ(first->frame(), Rect(0, 0, 300, 200));

  QuibContentSmoke::update(&view, {Rect(11, 10, 100, 40)});
  const auto moved = smokeOf(view);
  EXPECT_NE(moved, first);
  EXPECT_EQ(moved->frame(), Rect(0, 0, 400, 250));

  pf::Accessibility::overrideReduceMotion(true);
  QuibContentSmoke::update(&view, {Rect(11, 10, 100, 40)});
  EXPECT_NE(smokeOf(view), moved);
  EXPECT_EQ(pf::ViewLayer::of(&view)->sublayers().size(), 1u) << "the old layer is replaced, not kept";
}

TEST_F(ContentSmoke, GeometryRecordsTheRectanglesAndTheMotionSetting) {
  QuibContentSmoke::update(&view, {});
  EXPECT_EQ(smokeOf(view)->value(QuibContentSmoke::geometryKey), "false");
  EXPECT_TRUE(smokeOf(view)->sublayers().empty());
  pf::Accessibility::overrideReduceMotion(true);
  QuibContentSmoke::update(&view, {Rect(0, 0.5, 10, 20), Rect(1, 2, 3, 4)});
  EXPECT_EQ(smokeOf(view)->value(QuibContentSmoke::geometryKey), "{{0, 0.5}, {10, 20}}{{1, 2}, {3, 4}}true");
}

TEST_F(ContentSmoke, PuffsPerSideFollowTheSideLength) {
  const struct {
    Rect rect;
    std::vector<int> sides;  // bottom, right, top, left
  } cases[] = {
      {Rect(10, 10, 100, 40), {3, 2, 3, 2}},
      {Rect(0, 0, 1000, 60), {38, 2, 38, 2}},
      {Rect(0, 0, 10, 10), {2, 2, 2, 2}},
      {Rect(0, 0, 52, 78), {2, 3, 2, 3}},
  };
  for (const auto& c : cases) {
    QuibContentSmoke::update(&view, {c.rect});
    const auto ring = smokeOf(view)->sublayers().at(0);
    EXPECT_EQ(puffsPerSide(*ring, c.rect), c.sides) << c.rect.width();
  }
}

TEST_F(ContentSmoke, ARingOfPuffsOnTheOutline) {
  QuibContentSmoke::update(&view, {Rect(10, 20, 100, 40)});
  const auto ring = smokeOf(view)->sublayers().at(0);
  EXPECT_EQ(ring->frame(), Rect(2, 12, 116, 56));
  const auto mask = std::dynamic_pointer_cast<pf::ShapeLayer>(ring->mask());
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->fillRule(), pf::FillRule::evenOdd);
  pf::Path ringPath = pf::Path::rect(Rect(0, 0, 116, 56));
  ringPath.addPath(pf::Path::roundedRect(Rect(12, 12, 92, 32), 10, 10));
  EXPECT_EQ(mask->path(), ringPath);

  const auto& puffs = ring->sublayers();
  // Bottom (three puffs), right (two), top (three), then left (two).
  EXPECT_EQ(puffs[0]->position(), (pf::Point{8 + (0.5 / 3) * 100, 8}));
  EXPECT_EQ(puffs[3]->position(), (pf::Point{108, 8 + 10}));
  EXPECT_EQ(puffs[5]->position(), (pf::Point{8 + (0.5 / 3) * 100, 48}));
  EXPECT_EQ(puffs[9]->position(), (pf::Point{8, 8 + 30}));
  EXPECT_EQ(puffs[0]->bounds(), Rect(0, 0, 36, 36));
  EXPECT_FLOAT_EQ(puffs[0]->opacity(), 0.55f);
  EXPECT_FALSE(puffs[0]->contents().isNull());

  const auto drift = std::dynamic_pointer_cast<const pf::AnimationGroup>(puffs[2]->animation("drift"));
  ASSERT_NE(drift, nullptr);
  EXPECT_DOUBLE_EQ(drift->duration, 4.5 + 0.6 * 2);
  EXPECT_DOUBLE_EQ(drift->timeOffset, 0.8 * 2);
  EXPECT_TRUE(std::isinf(drift->repeatCount));
  const auto position = std::dynamic_pointer_cast<const pf::BasicAnimation>(drift->animations.at(0));
  const pf::Point at = puffs[2]->position();
  EXPECT_EQ(position->toValue, pf::AnimationValue(pf::Point{at.x + 5 * std::sin(2), at.y + 7}));
}

TEST_F(ContentSmoke, ReducedMotionLeavesThePuffsStill) {
  pf::Accessibility::overrideReduceMotion(true);
  QuibContentSmoke::update(&view, {Rect(10, 10, 100, 40)});
  const auto ring = smokeOf(view)->sublayers().at(0);
  EXPECT_EQ(ring->sublayers().size(), 10u);
  for (const auto& puff : ring->sublayers()) {
    EXPECT_TRUE(puff->animations().empty());
    EXPECT_FLOAT_EQ(puff->opacity(), 0.55f);
  }
}

#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/LayerDump.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/gfx/Transaction.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pf;

TEST(Layer, PlatformDefaults) {
  auto layer = Layer::make();
  EXPECT_EQ(layer->anchorPoint(), (Point{0.5, 0.5}));
  EXPECT_EQ(layer->opacity(), 1.0f);
  EXPECT_EQ(layer->shadowOpacity(), 0.0f);
  EXPECT_EQ(layer->shadowRadius(), 3.0);
  EXPECT_EQ(layer->shadowOffset(), (Size{0, -3}));
  EXPECT_EQ(layer->shadowColor(), Color::calibratedRGB(0, 0, 0, 1));
  auto shape = ShapeLayer::make();
  EXPECT_EQ(shape->fillColor(), Color::calibratedRGB(0, 0, 0, 1));
  EXPECT_FALSE(shape->strokeColor());
  EXPECT_EQ(shape->lineWidth(), 1.0);
  EXPECT_EQ(shape->strokeEnd(), 1.0);
  EXPECT_EQ(shape->lineCap(), ShapeLayer::LineCap::butt);
  EXPECT_EQ(shape->lineJoin(), ShapeLayer::LineJoin::miter);
  EXPECT_EQ(GradientLayer::make()->type(), GradientLayer::Type::axial);
}

TEST(Layer, OpacityIsSinglePrecision) {
  auto layer = Layer::make();
  layer->setOpacity(0.7 * 0.95);
  EXPECT_EQ(layer->opacity(), static_cast<float>(0.7 * 0.95));
}

TEST(Layer, FrameCombinesPositionAnchorAndBounds) {
  auto layer = Layer::make();
  layer->setAnchorPoint({0.5, 0.04});
  layer->setFrame(Rect(10, 20, 100, 50));
  EXPECT_EQ(layer->bounds(), Rect(0, 0, 100, 50));
  EXPECT_EQ(layer->position(), (Point{60, 22}));
  EXPECT_EQ(layer->frame(), Rect(10, 20, 100, 50));
}

TEST(Layer, SublayersKeepOrderAndMoveBetweenTrees) {
  auto root = Layer::make();
  auto a = Layer::make(), b = Layer::make(), c = Layer::make();
  a->setName("a");
  b->setName("b");
  c->setName("c");
  root->addSublayer(a);
  root->addSublayer(b);
  root->insertSublayer(c, 0);
  ASSERT_EQ(root->sublayers().size(), 3u);
  EXPECT_EQ(root->sublayers()[0], c);
  EXPECT_EQ(root->sublayerNamed("b"), b);
  EXPECT_EQ(b->superlayer(), root.get());

  auto other = Layer::make();
  other->addSublayer(b);
  EXPECT_EQ(root->sublayers().size(), 2u);
  EXPECT_EQ(b->superlayer(), other.get());

  root->addSublayer(root);  // a cycle is refused
  a->addSublayer(root);
  EXPECT_EQ(root->superlayer(), nullptr);

  root->removeAllSublayers();
  EXPECT_TRUE(root->sublayers().empty());
  EXPECT_EQ(a->superlayer(), nullptr);
}

TEST(Layer, AnimationsByKeyReplaceAndKeepIdentity) {
  AnimationClock::setTimeSource([] { return 5.0; });
  auto layer = Layer::make();
  BasicAnimation breathe("opacity");
  breathe.fromValue = 0.25;
  breathe.toValue = 0.9;
  layer->addAnimation(breathe, "breathe");
  layer->addAnimation(breathe);  // no key: kept but not found by key
  const auto first = layer->animation("breathe");
  ASSERT_TRUE(first);
  EXPECT_EQ(layer->animation("breathe"), first);
  EXPECT_EQ(layer->animations().front().addedAt, 5.0);

  breathe.toValue = 1.0;  // the layer runs its own copy
  EXPECT_EQ(std::get<double>(*static_cast<const BasicAnimation&>(*first).toValue), 0.9);

  KeyframeAnimation pulse("opacity");
  layer->addAnimation(pulse, "pulse");
  layer->addAnimation(breathe, "breathe");
  EXPECT_NE(layer->animation("breathe"), first);
  EXPECT_EQ(layer->animationKeys(), (QStringList{"pulse", "breathe"}));
  layer->removeAnimation("breathe");
  EXPECT_FALSE(layer->animation("breathe"));
  EXPECT_EQ(layer->animations().size(), 2u);
  // Removing what is not there changes nothing, so nothing is told.
  int changes = 0;
  layer->setOnChange([&] { ++changes; });
  layer->removeAnimation("breathe");
  EXPECT_EQ(changes, 0);
  layer->removeAnimation("pulse");
  EXPECT_EQ(changes, 1);
  AnimationClock::setTimeSource({});
}

TEST(Layer, ValuesAndMasks) {
  auto layer = Layer::make();
  layer->setValue("geometry", "{{0, 0}, {10, 10}}false");
  EXPECT_EQ(layer->value("geometry"), QString("{{0, 0}, {10, 10}}false"));
  EXPECT_FALSE(layer->value("other"));

  auto mask = ShapeLayer::make();
  auto sibling = Layer::make();
  sibling->addSublayer(mask);
  layer->setMask(mask);
  EXPECT_EQ(mask->superlayer(), nullptr);
  EXPECT_TRUE(sibling->sublayers().empty());
}

TEST(Layer, ContentRevisionCountsOnlyDrawnChanges) {
  auto shape = ShapeLayer::make();
  const auto start = shape->contentRevision();
  shape->setPosition({4, 4});
  shape->setOpacity(0.5);
  EXPECT_EQ(shape->contentRevision(), start);
  shape->setStrokeEnd(0.5);
  shape->setStrokeEnd(0.5);  // unchanged: no new revision
  EXPECT_EQ(shape->contentRevision(), start + 1);
  shape->setShadowOpacity(0.75);
  EXPECT_EQ(shape->contentRevision(), start + 2);
}

TEST(Transaction, BatchesChangeNotificationsPerTree) {
  auto root = Layer::make();
  auto child = ShapeLayer::make();
  root->addSublayer(child);
  int calls = 0;
  root->setOnChange([&] { ++calls; });

  child->setLineWidth(3);
  EXPECT_EQ(calls, 1);
  {
    Transaction outer;
    {
      Transaction inner;
      root->removeAllSublayers();
      for (int i = 0; i < 20; ++i) root->addSublayer(Layer::make());
      child->setLineWidth(4);  // no longer in the tree
    }
    EXPECT_EQ(calls, 1);
    root->setOpacity(0.5);
    EXPECT_TRUE(Transaction::isOpen());
  }
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(Transaction::isOpen());
}

// The parts of a tree built in one go move in step, however long the building
// takes: what they morph or fade through then changes at the same moments.
TEST(Transaction, AnimationsAddedInItBeginWhenItBegan) {
  double now = 2;
  AnimationClock::setTimeSource([&] { return now; });
  auto layer = Layer::make();
  BasicAnimation fade("opacity");
  {
    Transaction outer;
    now = 3;
    {
      Transaction inner;
      layer->addAnimation(fade, "inner");
    }
    now = 4;
    layer->addAnimation(fade, "outer");
  }
  now = 5;
  layer->addAnimation(fade, "after");
  std::vector<double> added;
  for (const auto& entry : layer->animations()) added.push_back(entry.addedAt);
  EXPECT_EQ(added, (std::vector<double>{2, 2, 5}));
  AnimationClock::setTimeSource({});
}

TEST(Transaction, ForgetsLayersDestroyedBeforeItEnds) {
  int calls = 0;
  {
    Transaction t;
    auto root = Layer::make();
    root->setOnChange([&] { ++calls; });
    root->setOpacity(0.2);
  }
  EXPECT_EQ(calls, 0);
}

namespace {

std::shared_ptr<Layer> sampleTree(double toOpacity) {
  auto root = Layer::make();
  root->setName("root");
  root->setValue("geometry", "false");
  auto mask = ShapeLayer::make();
  mask->setPath(Path::rect(Rect(0, 0, 10, 10)));
  mask->setFillRule(ShapeLayer::FillRule::evenOdd);
  root->setMask(mask);
  auto glow = GradientLayer::make();
  glow->setType(GradientLayer::Type::radial);
  glow->setColors({Color::calibratedRGB(1, 0.3, 0, 0.3), Color::calibratedRGB(0, 0, 0, 0)});
  root->addSublayer(glow);
  AnimationGroup group;
  KeyframeAnimation fade("opacity");
  fade.values = {0.0, toOpacity, 0.0};
  fade.keyTimes = {0, 0.5, 1};
  group.animations = {fade.clone()};
  group.duration = 4.5;
  group.repeatCount = Animation::repeatForever;
  glow->addAnimation(group, "borderVFX");
  return root;
}

}  // namespace

TEST(LayerDump, EqualTreesGiveEqualTextsAndDifferencesShow) {
  const QString a = dump(*sampleTree(0.8));
  EXPECT_EQ(a, dump(*sampleTree(0.8)));
  EXPECT_NE(a, dump(*sampleTree(0.7)));
  EXPECT_TRUE(a.startsWith("layer \"root\""));
  EXPECT_TRUE(a.contains("  value \"geometry\" = \"false\"\n"));
  EXPECT_TRUE(a.contains("  mask: shape"));
  EXPECT_TRUE(a.contains("rule=evenOdd"));
  EXPECT_TRUE(
      a.contains("    animation \"borderVFX\" duration=4.5 begin=0 offset=0 repeat=inf autoreverses=no timing=linear\n"
                 "      animation - \"opacity\" duration=0"));
  EXPECT_TRUE(a.contains("mode=linear values=[0, 0.8, 0] keyTimes=[0, 0.5, 1]"));

  // Defaults stay out of the text; a border, a clip to the bounds and a full shadow show.
  auto plain = Layer::make();
  EXPECT_FALSE(dump(*plain).contains("border"));
  EXPECT_FALSE(dump(*plain).contains("shadow"));
  plain->setBorderWidth(2);
  plain->setMasksToBounds(true);
  plain->setShadowOpacity(1);
  const QString dressed = dump(*plain);
  EXPECT_TRUE(dressed.contains(" border=("));
  EXPECT_TRUE(dressed.contains("width 2)"));
  EXPECT_TRUE(dressed.contains(" masksToBounds"));
  EXPECT_TRUE(dressed.contains(" shadow=("));
}

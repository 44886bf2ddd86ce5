#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/LayerContent.h"
#include "platform/gfx/ShapeLayer.h"

#include <functional>
#include <gtest/gtest.h>

using namespace pf;

namespace {

const Color red = Color::calibratedRGB(1, 0, 0, 1);
const Color green = Color::calibratedRGB(0, 1, 0, 1);
const Color blue = Color::calibratedRGB(0, 0, 1, 1);

}  // namespace

TEST(LayerContentBounds, HoldWhatIsDrawnNotTheWholeLayer) {
  auto shape = ShapeLayer::make();
  Path path;
  path.moveTo({10, 10});
  path.lineTo({30, 10});
  shape->setPath(path);
  shape->setStrokeColor(red);
  shape->setLineWidth(2);
  shape->setFrame(Rect(0, 0, 200, 200));  // bounds far larger than the line, with no background
  LayerContent content = LayerContent::of(*shape, modelPresentation(*shape));
  EXPECT_FALSE(content.localBounds().contains(QPointF(150, 150)));
  // Outlined, a stroke is held tightly rather than by its longest possible miter.
  EXPECT_GT(content.localBounds().height(), 12);
  EXPECT_FALSE(content.hasShadow());  // a shadow of opacity 0 is none
  content.outlineStroke();
  EXPECT_LE(content.localBounds().height(), 5);
  EXPECT_TRUE(content.localBounds().contains(QRectF(10, 9, 20, 2)));
}

TEST(LayerContentVisibility, OnlyWhatWouldLeaveAMarkIsDrawn) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Layer>()> make;
    bool visible;
    bool shadow;
  };
  const Color clear = Color::calibratedRGB(1, 0, 0, 0);
  const auto shape = [](Path path, std::function<void(ShapeLayer&)> style) {
    auto s = ShapeLayer::make();
    s->setFrame(Rect(0, 0, 20, 20));
    s->setPath(path);
    style(*s);
    return std::shared_ptr<Layer>(s);
  };
  const auto plain = [](std::function<void(Layer&)> style) {
    auto l = Layer::make();
    l->setFrame(Rect(0, 0, 20, 20));
    style(*l);
    return l;
  };
  const Path box = Path::rect(Rect(2, 2, 10, 10));
  const Case cases[] = {
      {"a filled path", [&] { return shape(box, [](ShapeLayer& s) { s.setFillColor(red); }); }, true, false},
      {"a filled empty path", [&] { return shape(Path(), [](ShapeLayer& s) { s.setFillColor(red); }); }, false, false},
      {"a stroked empty path",
       [&] {
         return shape(Path(), [](ShapeLayer& s) {
           s.setFillColor(std::nullopt);
           s.setStrokeColor(red);
           s.setLineWidth(3);
         });
       },
       false, false},
      {"a clear fill", [&] { return shape(box, [&](ShapeLayer& s) { s.setFillColor(clear); }); }, false, false},
      {"a stroke",
       [&] {
         return shape(box, [](ShapeLayer& s) {
           s.setFillColor(std::nullopt);
           s.setStrokeColor(red);
           s.setLineWidth(1);
         });
       },
       true, false},
      {"a stroke of no width",
       [&] {
         return shape(box, [](ShapeLayer& s) {
           s.setFillColor(std::nullopt);
           s.setStrokeColor(red);
           s.setLineWidth(0);
         });
       },
       false, false},
      {"a stroke ending where it starts",
       [&] {
         return shape(box, [](ShapeLayer& s) {
           s.setFillColor(std::nullopt);
           s.setStrokeColor(red);
           s.setStrokeStart(0.5);
           s.setStrokeEnd(0.5);
         });
       },
       false, false},
      {"a shadowed fill",
       [&] {
         return shape(box, [](ShapeLayer& s) {
           s.setFillColor(red);
           s.setShadowOpacity(0.5);
         });
       },
       true, true},
      {"a shadow of a clear colour",
       [&] {
         return shape(box, [&](ShapeLayer& s) {
           s.setFillColor(red);
           s.setShadowOpacity(0.5);
           s.setShadowColor(clear);
         });
       },
       true, false},
      {"the shadow of an empty path",
       [&] {
         return shape(Path(), [](ShapeLayer& s) {
           s.setFillColor(red);
           s.setShadowOpacity(1);
         });
       },
       false, false},
      {"a background", [&] { return plain([](Layer& l) { l.setBackgroundColor(blue); }); }, true, false},
      {"a background of no area",
       [&] {
         return plain([](Layer& l) {
           l.setBackgroundColor(blue);
           l.setBounds(Rect(0, 0, 20, 0));
         });
       },
       false, false},
      {"a border",
       [&] {
         return plain([](Layer& l) {
           l.setBorderWidth(2);
           l.setBorderColor(green);
         });
       },
       true, false},
      {"a border of a clear colour",
       [&] {
         return plain([&](Layer& l) {
           l.setBorderWidth(2);
           l.setBorderColor(clear);
         });
       },
       false, false},
      {"a border of no width", [&] { return plain([](Layer& l) { l.setBorderColor(green); }); }, false, false},
      {"nothing", [&] { return plain([](Layer&) {}); }, false, false},
      {"a gradient",
       [] {
         auto g = GradientLayer::make();
         g->setFrame(Rect(0, 0, 20, 20));
         g->setColors({red, blue});
         return std::shared_ptr<Layer>(g);
       },
       true, false},
      {"a gradient of no colours",
       [] {
         auto g = GradientLayer::make();
         g->setFrame(Rect(0, 0, 20, 20));
         return std::shared_ptr<Layer>(g);
       },
       false, false},
  };
  for (const auto& c : cases) {
    const auto layer = c.make();
    const LayerContent content = LayerContent::of(*layer, modelPresentation(*layer));
    EXPECT_EQ(content.isVisible(), c.visible) << c.name;
    EXPECT_EQ(content.hasShadow(), c.shadow) << c.name;
    EXPECT_EQ(content.shadowReach() > 0, c.shadow) << c.name;
  }
}

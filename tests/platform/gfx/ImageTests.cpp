#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace pf;

namespace {

// A 20 x 10 drawing whose left half is red and right half empty.
Image halfRed() {
  return Image({20, 10}, [](QPainter& p, const QRectF& r) { p.fillRect(QRectF(r.x(), r.y(), r.width() / 2, r.height()), Qt::red); });
}

}  // namespace

TEST(Image, TemplatesTakeTheTintAndLeaveWhatIsBeneath) {
  struct Case {
    const char* name;
    bool isTemplate;
    std::optional<Color> tint;
    QColor drawn;
  };
  const Case cases[] = {
      {"a picture keeps its colours", false, std::nullopt, Qt::red},
      {"a tint does not touch a picture", false, Color::calibratedRGB(0, 1, 0, 1), Qt::red},
      {"a template takes the tint", true, Color::calibratedRGB(0, 1, 0, 1), Qt::green},
  };
  for (const auto& c : cases) {
    Image image = halfRed();
    image.setTemplate(c.isTemplate);
    QImage target(40, 20, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::blue);
    {
      QPainter p(&target);
      image.draw(p, QRectF(0, 0, 40, 20), c.tint);
    }
    EXPECT_EQ(target.pixelColor(5, 10), c.drawn) << c.name;
    EXPECT_EQ(target.pixelColor(35, 10), QColor(Qt::blue)) << c.name;
    const QImage alone = image.rendered(QSize(40, 20), c.tint);
    EXPECT_EQ(alone.pixelColor(5, 10), c.drawn) << c.name;
    EXPECT_EQ(alone.pixelColor(35, 10).alpha(), 0) << c.name;
  }
}

TEST(Image, BitmapsAndFittingKeepProportions) {
  QImage bitmap(40, 20, QImage::Format_ARGB32_Premultiplied);
  bitmap.setDevicePixelRatio(2);
  EXPECT_EQ(Image::fromBitmap(bitmap).size(), (Size{20, 10}));
  EXPECT_EQ(aspectFitted({20, 10}, QRectF(0, 0, 100, 100)), QRectF(0, 25, 100, 50));
  EXPECT_EQ(aspectFitted({10, 20}, QRectF(0, 0, 100, 100)), QRectF(25, 0, 50, 100));
  EXPECT_TRUE(aspectFitted({0, 10}, QRectF(0, 0, 100, 100)).isEmpty());
  EXPECT_EQ(aspectFitted({100, 0.5}, QRectF(0, 0, 100, 100)), QRectF(0, 49.75, 100, 0.5));  // a hairline stays
  EXPECT_TRUE(Image().rendered(QSize(4, 4)).pixelColor(1, 1).alpha() == 0);
}
